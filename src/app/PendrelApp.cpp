#include "app/PendrelApp.h"

#include "app/MainWindow.h"
#include "app/MenuBarExtra.h"
#include "app/SettingsWindow.h"

#include "apps/AppUninstaller.h"
#include "apps/StartupItems.h"
#include "apps/TweaksService.h"
#include "assistant/SpotlightSearch.h"
#include "assistant/TamsoAssistant.h"
#include "automation/AutomationStore.h"
#include "cleaning/CleanupScanner.h"
#include "cleaning/LargeFilesScanner.h"
#include "developer/FileCompare.h"
#include "duplicates/DuplicateFinder.h"
#include "duplicates/SimilarPhotoFinder.h"
#include "home/HeadroomText.h"
#include "home/HealthCheck.h"
#include "platform/AccountName.h"
#include "platform/Clock.h"
#include "platform/DesktopEntry.h"
#include "platform/DesktopTrayHost.h"
#include "platform/FileRevealer.h"
#include "platform/HomeLayout.h"
#include "platform/LinuxDocumentText.h"
#include "platform/NotificationCenter.h"
#include "platform/PendrelTimelineStore.h"
#include "platform/RunningApplications.h"
#include "platform/ToolRunner.h"
#include "platform/UnavailableLanguageModel.h"
#include "shell/FinderExtensionBridge.h"
#include "shell/Permissions.h"
#include "shell/RunModeManager.h"
#include "shell/ScreenState.h"
#include "shell/UpdaterManager.h"
#include "storage/DiskMapScanner.h"
#include "storage/DiskTrend.h"
#include "storage/FolderOrganizer.h"
#include "storage/FolderTree.h"
#include "storage/StorageGrowthScanner.h"
#include "ui-kit/TextSizeCommands.h"
#include "vault/SecureNotesStore.h"
#include "vitals/AppState.h"
#include "vitals/KeepAwakeManager.h"
#include "vitals/PerformanceAutopilot.h"

#include <QApplication>
#include <QTimer>

template <typename T, typename... Args> T* PendrelApp::own(const char* name, Args&&... args) {
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = object.get();
    m_owned.push_back(std::move(object));
    m_creationOrder.append(QString::fromLatin1(name));
    return raw;
}

template <typename T> T* PendrelApp::adopt(std::unique_ptr<T> object) {
    T* raw = object.get();
    m_owned.push_back(std::move(object));
    return raw;
}

template <typename T> T* PendrelApp::shared(const char* name) {
    m_creationOrder.append(QString::fromLatin1(name));
    return T::shared();
}

PendrelApp::PendrelApp() : PendrelApp(Options{}) {}

PendrelApp::PendrelApp(Options options) : m_options(options) {
    Services& s = m_services;
    // Not services: the home's paths and the tools (measuring, one Trash) the finders and
    // cleaners share.
    const HomeLayout layout = HomeLayout::fromEnvironment();
    const CleanupScanner::Deps cleaningTools = CleanupScanner::Deps::system(layout);
    // The model backend is no service of the list; the assistant needs it from the start.
    s.languageModel = adopt(std::make_unique<UnavailableLanguageModel>());
    s.appState = own<AppState>("AppState", m_options.vitals);
    s.assistant = own<TamsoAssistant>(
        "TamsoAssistant",
        TamsoAssistant::Deps{
            .timeline = *PendrelTimelineStore::shared(),
            .model = *s.languageModel,
            .notifications = NotificationCenter::defaultCenter(),
            .autopilot = &PerformanceAutopilot::shared,
            .applications = RunningApplications::system(),
            .home = layout,
            .measure = cleaningTools.measure,
            // The health check's score, with no junk
            // counted, as the assistant asks it.
            .headroom =
                [](const SystemSnapshot& snapshot) {
                    const HeadroomText::Headroom h = HeadroomText::headroom(snapshot, 0);
                    return TamsoAssistant::Headroom{h.title, h.detail, h.findings};
                },
        });
    s.search = own<SpotlightSearch>("SpotlightSearch", layout.home());
    s.runMode = shared<RunModeManager>("RunModeManager");
    s.updater = shared<UpdaterManager>("UpdaterManager");
    s.duplicateFinder = own<DuplicateFinder>("DuplicateFinder", cleaningTools.trash);
    s.similarFinder = own<SimilarPhotoFinder>("SimilarPhotoFinder", cleaningTools.trash);
    s.largeFiles = own<LargeFilesScanner>("LargeFilesScanner", cleaningTools.trash);
    s.secureNotes = shared<SecureNotesStore>("SecureNotesStore");
    s.permissions = shared<Permissions>("Permissions");
    s.health = own<HealthCheck>("HealthCheck", layout,
                                HealthCheck::Deps{.measure = cleaningTools.measure,
                                                  .clock = m_options.clock,
                                                  .walkerThreads = 0});
    s.folderTree = own<FolderTree>("FolderTree", layout.home());
    s.diskCleaner = own<DiskCleanupScanner>("DiskCleanupScanner", layout, cleaningTools);
    s.devCleaner = own<DevCleanupScanner>("DevCleanupScanner", layout, cleaningTools);
    s.mailCleaner = own<MailCleanupScanner>("MailCleanupScanner", layout, cleaningTools);
    s.screenshotCleaner =
        own<ScreenshotCleanupScanner>("ScreenshotCleanupScanner", layout, cleaningTools);
    s.storageGrowth = own<StorageGrowthScanner>("StorageGrowthScanner", layout);
    s.diskMap = own<DiskMapScanner>("DiskMapScanner", DiskMapScanner::requestFor(layout));
    s.folderOrganizer = own<FolderOrganizer>("FolderOrganizer", layout);
    s.uninstaller = own<AppUninstaller>("AppUninstaller",
                                        AppUninstaller::Deps::system(layout, cleaningTools.trash));
    // The defaults stand-in is installed beside the app.
    s.tweaks = own<TweaksService>("TweaksService", std::make_shared<ProcessToolRunner>(),
                                  QCoreApplication::applicationDirPath() +
                                      QStringLiteral("/pendrel-defaults"));
    s.startupItems = own<StartupItems>(
        "StartupItems", layout, StartupItems::Deps::system(qgetenv("XDG_CONFIG_DIRS")),
        cleaningTools.trash,
        DesktopEntry::messagesLocale(qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")));
    s.screen = own<ScreenState>("ScreenState");
    s.automation = shared<AutomationStore>("AutomationStore");
    s.autopilot = shared<PerformanceAutopilot>("PerformanceAutopilot");
    s.keepAwake = shared<KeepAwakeManager>("KeepAwakeManager");
    s.fileCompare = adopt(std::make_unique<FileCompare>(*s.screen, *s.languageModel,
                                                        std::make_shared<LinuxDocumentText>()));
    m_revealer = std::make_unique<FileManagerRevealer>();
    s.fileRevealer = m_revealer.get();
    s.diskTrend = adopt(std::make_unique<DiskTrend>(*s.appState, CacheFolder::standard(),
                                                    std::make_shared<SystemClock>()));
    if (!m_options.clock)
        m_options.clock = std::make_shared<SystemClock>();
    if (!m_options.account)
        m_options.account = std::make_shared<PasswdAccountName>();
    s.clock = m_options.clock.get();
    s.account = m_options.account.get();

    m_textSize = new TextSizeCommands(this);
    m_trayGone.setSingleShot(true);
    connect(&m_trayGone, &QTimer::timeout, this, [this] {
        if (!hasMenuBarExtra() && !anyWindowShown())
            openMainWindow();
    });
}

PendrelApp::~PendrelApp() {
    // Windows go before the services they show.
    m_menuBar.reset();
    m_settings.reset();
    m_main.reset();
    // The process-wide store may outlive this app object; it must not point into it.
    m_services.automation->setDiskCleaner(nullptr);
    m_services.automation->setDevCleaner(nullptr);
    m_services.automation->setScreenshotCleaner(nullptr);
    m_services.automation->setAppState(nullptr);
    while (!m_owned.empty())
        m_owned.pop_back(); // reverse creation order
}

MainWindow* PendrelApp::mainWindow() {
    if (!m_main) {
        m_main = std::make_unique<MainWindow>(m_services, m_textSize);
        connect(m_main.get(), &MainWindow::shown, this, &PendrelApp::wireAutomation);
        connect(m_main.get(), &MainWindow::settingsRequested, this, &PendrelApp::openSettings);
        connect(m_main.get(), &MainWindow::quitRequested, qApp, &QApplication::quit);
    }
    return m_main.get();
}

SettingsWindow* PendrelApp::settingsWindow() {
    if (!m_settings) {
        m_settings = std::make_unique<SettingsWindow>(m_services.runMode, m_services.updater);
        m_textSize->attachTo(m_settings.get());
    }
    return m_settings.get();
}

void PendrelApp::launch() {
    MainWindow* window = mainWindow();
    if (m_options.useSystemTray) {
        m_trayHost = m_options.trayHost;
        if (!m_trayHost) {
            m_ownTrayHost = std::make_unique<DesktopTrayHost>();
            m_trayHost = m_ownTrayHost.get();
        }
        connect(m_trayHost, &TrayHost::availabilityChanged, this, &PendrelApp::onTrayAvailability);
    }
    syncMenuBarExtra();
    connect(m_services.runMode, &RunModeManager::modeChanged, this, &PendrelApp::updateQuitPolicy);
    updateQuitPolicy();

    // Applying the stored mode brings the login item in line at every launch.
    m_services.runMode->apply();
    if (m_services.runMode->mode() == RunMode::WindowOnly || !hasMenuBarExtra()) {
        window->show();
    } else {
        // The window stays back; the start action still runs once so scheduled rules work.
        wireAutomation();
    }
}

void PendrelApp::syncMenuBarExtra() {
    const bool wanted = m_trayHost && m_trayHost->isAvailable();
    if (wanted && !m_menuBar) {
        // Only the desktop's own tray gets a real icon; a test's tray gets the rest.
        MenuBarExtra::Options options{.systemTray = m_ownTrayHost != nullptr};
        m_menuBar = std::make_unique<MenuBarExtra>(m_services, options);
        m_textSize->attachTo(m_menuBar->panel());
        connect(m_menuBar.get(), &MenuBarExtra::openMainWindowRequested, this,
                &PendrelApp::openMainWindow);
        connect(m_menuBar.get(), &MenuBarExtra::quitRequested, qApp, &QApplication::quit);
        qInfo("Pendrel: the menu-bar extra is in the tray");
    } else if (!wanted && m_menuBar) {
        m_menuBar.reset();
        qInfo("Pendrel: the tray went away");
    }
}

void PendrelApp::onTrayAvailability(bool available) {
    syncMenuBarExtra();
    updateQuitPolicy();
    // Whether a window is still up is asked when the grace time is over.
    if (available)
        m_trayGone.stop();
    else
        m_trayGone.start(std::max(0, m_options.trayGoneGraceMs));
}

bool PendrelApp::anyWindowShown() const {
    // Only the app's own windows count: an XEmbed tray icon is a top-level widget of its own,
    // and the panel is a popup that closes at the next click.
    return (m_main && m_main->isVisible()) || (m_settings && m_settings->isVisible());
}

void PendrelApp::updateQuitPolicy() {
    qApp->setQuitOnLastWindowClosed(m_services.runMode->quitsAfterLastWindowClosed() ||
                                    !hasMenuBarExtra());
}

void PendrelApp::wireAutomation() {
    // Once per process: a window reopened from the tray must not restart the schedule's timer
    // or run another pass over the due rules.
    if (m_wireCount > 0)
        return;
    ++m_wireCount;
    AutomationStore* store = m_services.automation;
    store->setDiskCleaner(m_services.diskCleaner);
    store->setDevCleaner(m_services.devCleaner);
    store->setScreenshotCleaner(m_services.screenshotCleaner);
    store->setAppState(m_services.appState);
    store->start();
    // Both run on the main thread after the action has returned, independently of each other.
    QPointer<AutomationStore> weak(store);
    QTimer::singleShot(0, store, [weak] {
        if (weak)
            weak->requestNotificationPermission();
    });
    QTimer::singleShot(0, store, [weak] {
        if (weak)
            weak->checkDueAtLaunch();
    });
}

void PendrelApp::openMainWindow() {
    MainWindow* window = mainWindow();
    window->show();
    window->raise();
    window->activateWindow();
}

void PendrelApp::openSettings() {
    SettingsWindow* window = settingsWindow();
    window->show();
    window->raise();
    window->activateWindow();
}

void PendrelApp::handleReopen() {
    if (!anyWindowShown())
        openMainWindow();
}

void PendrelApp::handleMessage(const QString& message) {
    qInfo("Pendrel: a later launch handed over \"%s\"", qPrintable(message));
    if (message == QLatin1String("reopen") || message.isEmpty()) {
        handleReopen();
        return;
    }
    openUrl(QUrl(message));
}

void PendrelApp::openUrl(const QUrl& url) {
    FinderExtensionBridge::handle(url, [this] { openMainWindow(); });
}
