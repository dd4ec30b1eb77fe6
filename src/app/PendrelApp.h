#pragma once

#include "shell/Services.h"

#include <memory>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <vector>

class FileRevealer;
class MainWindow;
class SettingsWindow;
class MenuBarExtra;

// The root of the running app: creates every long-lived service once, in a fixed order, owns
// the ones that are not process-wide, and puts up the three scenes (main window, settings
// window, menu-bar extra). It also decides what happens at launch, on reopening and when the
// last window closes, following the run mode.
class PendrelApp : public QObject {
    Q_OBJECT
public:
    struct Options {
        // False for offscreen rendering and tests: no tray icon is put up.
        bool useSystemTray = true;
    };

    PendrelApp();
    explicit PendrelApp(Options options);
    ~PendrelApp() override;

    const Services& services() const { return m_services; }
    // Type names in the order the services were created.
    const QStringList& creationOrder() const { return m_creationOrder; }

    // Puts up the scenes and applies the run mode (shows or keeps back the main window).
    void launch();

    MainWindow* mainWindow();
    SettingsWindow* settingsWindow();
    MenuBarExtra* menuBarExtra() const { return m_menuBar.get(); }

    // True when a system tray can host the menu-bar extra. Without one the main window is the
    // only way in, so it is always shown and closing it quits, whatever the run mode.
    bool hasMenuBarExtra() const;

    // The main window's start action: links the automation store to the services its rules
    // drive, restarts its timer, asks for notification permission and checks due rules.
    void wireAutomation();
    int wireAutomationCount() const { return m_wireCount; }

    // Brings the main window back when no window is visible; does nothing otherwise.
    void handleReopen();
    void openMainWindow();
    void openSettings();
    // A message handed over by a later launch: a pendrel:// URL or "reopen".
    void handleMessage(const QString& message);
    void openUrl(const QUrl& url);

private:
    template <typename T, typename... Args> T* own(const char* name, Args&&... args);
    template <typename T> T* shared(const char* name);
    // Owns an object that is not one of the catalog's services (kept out of creationOrder).
    template <typename T> T* adopt(std::unique_ptr<T> object);
    void updateQuitPolicy();

    Options m_options;
    Services m_services;
    QStringList m_creationOrder;
    std::vector<std::unique_ptr<QObject>> m_owned;
    std::unique_ptr<FileRevealer> m_revealer;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<SettingsWindow> m_settings;
    std::unique_ptr<MenuBarExtra> m_menuBar;
    int m_wireCount = 0;
};
