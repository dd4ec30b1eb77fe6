#include "automation/AutomationStore.h"

#include "cleaning/CleanupScanner.h"
#include "vitals/AppState.h"

AutomationStore* AutomationStore::shared() {
    static AutomationStore* instance = new AutomationStore;
    return instance;
}

void AutomationStore::setDiskCleaner(DiskCleanupScanner* s) {
    m_disk = s;
}
void AutomationStore::setDevCleaner(DevCleanupScanner* s) {
    m_dev = s;
}
void AutomationStore::setScreenshotCleaner(ScreenshotCleanupScanner* s) {
    m_shots = s;
}
void AutomationStore::setAppState(AppState* s) {
    m_appState = s;
}

DiskCleanupScanner* AutomationStore::diskCleaner() const {
    return m_disk.data();
}
DevCleanupScanner* AutomationStore::devCleaner() const {
    return m_dev.data();
}
ScreenshotCleanupScanner* AutomationStore::screenshotCleaner() const {
    return m_shots.data();
}
AppState* AutomationStore::appState() const {
    return m_appState.data();
}

void AutomationStore::start() {
    m_timer = std::make_unique<QTimer>();
    m_timer->setInterval(kCheckIntervalMs);
    QPointer<AutomationStore> self(this);
    connect(m_timer.get(), &QTimer::timeout, this, [self] {
        if (self)
            self->checkDue();
    });
    m_timer->start();
}

void AutomationStore::requestNotificationPermission() {}

void AutomationStore::checkDueAtLaunch() {
    checkDue();
}

void AutomationStore::checkDue() {}
