#pragma once

#include <memory>
#include <QObject>
#include <QPointer>
#include <QTimer>

class DiskCleanupScanner;
class DevCleanupScanner;
class ScreenshotCleanupScanner;
class AppState;

// The scheduled cleanup rules. One process-wide instance. The main window links it to the
// services its rules drive (weakly: it never keeps them alive) and starts its timer each time
// the window comes on screen.
class AutomationStore : public QObject {
    Q_OBJECT
public:
    static constexpr int kCheckIntervalMs = 300 * 1000;

    explicit AutomationStore(QObject* parent = nullptr) : QObject(parent) {}
    static AutomationStore* shared();

    void setDiskCleaner(DiskCleanupScanner* s);
    void setDevCleaner(DevCleanupScanner* s);
    void setScreenshotCleaner(ScreenshotCleanupScanner* s);
    void setAppState(AppState* s);

    DiskCleanupScanner* diskCleaner() const;
    DevCleanupScanner* devCleaner() const;
    ScreenshotCleanupScanner* screenshotCleaner() const;
    AppState* appState() const;

    // Replaces any earlier schedule timer with a new repeating one, so repeated calls leave one.
    void start();
    const QTimer* scheduleTimer() const { return m_timer.get(); }

    // Asks for permission to show notifications; a refusal is ignored.
    void requestNotificationPermission();
    // Runs every enabled rule whose day has come and that has not run today.
    void checkDueAtLaunch();
    void checkDue();

private:
    QPointer<DiskCleanupScanner> m_disk;
    QPointer<DevCleanupScanner> m_dev;
    QPointer<ScreenshotCleanupScanner> m_shots;
    QPointer<AppState> m_appState;
    std::unique_ptr<QTimer> m_timer;
};
