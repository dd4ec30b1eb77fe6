// Start-up: which services exist, in which order, which are process-wide, and what the windows do
// at launch, on reopening and on each showing.
#include "app/PendrelApp.h"
#include "app/MainWindow.h"
#include "app/MenuBarExtra.h"
#include "automation/AutomationStore.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/UserDefaults.h"
#include "shell/Permissions.h"
#include "shell/RunModeManager.h"
#include "shell/UpdaterManager.h"
#include "shell/views/ContentView.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"
#include "vault/SecureNotesStore.h"
#include "vitals/AppState.h"
#include "vitals/KeepAwakeManager.h"
#include "vitals/PerformanceAutopilot.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPointer>

TEST(PendrelApp, CreatesEveryServiceOnceInOrderWithSevenProcessWide) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    EXPECT_EQ(app.creationOrder(), QStringList({"AppState",
                                                "TamsoAssistant",
                                                "SpotlightSearch",
                                                "RunModeManager",
                                                "UpdaterManager",
                                                "DuplicateFinder",
                                                "SimilarPhotoFinder",
                                                "LargeFilesScanner",
                                                "SecureNotesStore",
                                                "Permissions",
                                                "HealthCheck",
                                                "FolderTree",
                                                "DiskCleanupScanner",
                                                "DevCleanupScanner",
                                                "MailCleanupScanner",
                                                "ScreenshotCleanupScanner",
                                                "StorageGrowthScanner",
                                                "DiskMapScanner",
                                                "FolderOrganizer",
                                                "AppUninstaller",
                                                "TweaksService",
                                                "StartupItems",
                                                "ScreenState",
                                                "AutomationStore",
                                                "PerformanceAutopilot",
                                                "KeepAwakeManager"}));
    const Services& s = app.services();
    EXPECT_EQ(s.runMode, RunModeManager::shared());
    EXPECT_EQ(s.updater, UpdaterManager::shared());
    EXPECT_EQ(s.secureNotes, SecureNotesStore::shared());
    EXPECT_EQ(s.permissions, Permissions::shared());
    EXPECT_EQ(s.automation, AutomationStore::shared());
    EXPECT_EQ(s.autopilot, PerformanceAutopilot::shared());
    EXPECT_EQ(s.keepAwake, KeepAwakeManager::shared());

    // A second app object (as after a restart of the scenes) shares the seven and owns the rest.
    PendrelApp again(PendrelApp::Options{.useSystemTray = false});
    EXPECT_EQ(again.services().keepAwake, s.keepAwake);
    EXPECT_NE(again.services().appState, s.appState);
    EXPECT_NE(again.services().screen, s.screen);
}

TEST(PendrelApp, TheVitalsServiceSamplesThroughTheGivenSampler) {
    auto samples = std::make_shared<FakeSamplerState>();
    SystemSnapshot fixed;
    fixed.memTotalBytes = 8'000'000'000;
    samples->set(fixed);
    PendrelApp app(PendrelApp::Options{
        .useSystemTray = false,
        .vitals = {.makeSampler = FakeSnapshotSampler::factory(samples), .intervalMs = 3'600'000}});
    const AppState* vitals = app.services().appState;
    ASSERT_TRUE(testsupport::waitFor([&] { return vitals->hasFirstSample(); }));
    EXPECT_EQ(vitals->snapshot().memTotalBytes, 8'000'000'000u);
    EXPECT_EQ(samples->samplersMade.load(), 1);
}

TEST(PendrelApp, OnlyTheFirstShowingOfTheMainWindowRunsTheStartAction) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    MainWindow* window = app.mainWindow();
    window->show();
    EXPECT_EQ(app.wireAutomationCount(), 1);
    AutomationStore* store = app.services().automation;
    EXPECT_EQ(store->diskCleaner(), app.services().diskCleaner);
    EXPECT_EQ(store->appState(), app.services().appState);
    const QTimer* first = store->scheduleTimer();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isActive());
    EXPECT_EQ(first->interval(), AutomationStore::kCheckIntervalMs);
    const int remaining = first->remainingTime();
    window->hide();
    window->show();
    window->close();
    window->show();
    EXPECT_EQ(app.wireAutomationCount(), 1);
    EXPECT_EQ(store->scheduleTimer(), first);
    EXPECT_TRUE(first->isActive());
    EXPECT_LE(first->remainingTime(), remaining) << "the timer was started again";
    window->hide();
}

TEST(PendrelApp, MainWindowIsNamedMainHasItsMinimumAndUpdatesCannotBeChecked) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    MainWindow* window = app.mainWindow();
    EXPECT_EQ(window->objectName(), "main");
    EXPECT_EQ(window->windowTitle(), "Home") << "the title follows the section shown";
    window->show();
    window->resize(200, 200);
    QApplication::processEvents();
    // The minimum is the content's: the menu bar comes on top of it, never out of it.
    EXPECT_GE(window->contentView()->width(), 940);
    EXPECT_GE(window->contentView()->height(), 620);
    EXPECT_GT(window->height(), 620);
    auto* checkForUpdates = Find::part<QAction>(window, "checkForUpdates");
    EXPECT_EQ(checkForUpdates->text(), QString::fromUtf8("Check for Updates…"));
    EXPECT_FALSE(checkForUpdates->isEnabled());
    UpdaterManager::shared()->setAutomaticallyChecks(true);
    EXPECT_FALSE(checkForUpdates->isEnabled());
    window->hide();
}

TEST(PendrelApp, AWindowOpenedAgainAfterClosingStartsOnHomeWithFreshContent) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    MainWindow* window = app.mainWindow();
    window->show();
    window->contentView()->selectSection("performance");
    QPointer<ContentView> first = window->contentView();

    // Hiding (as at launch in the menu-bar modes) keeps the content as it is.
    window->hide();
    window->show();
    EXPECT_EQ(window->contentView(), first.data());
    EXPECT_EQ(window->contentView()->selectedSection(), "performance");

    window->close();
    app.openMainWindow();
    EXPECT_TRUE(first.isNull()) << "the closed window's content is gone at once";
    EXPECT_EQ(window->contentView()->selectedSection(), "dashboard");
    EXPECT_EQ(window->windowTitle(), "Home");
    EXPECT_GE(window->contentView()->minimumWidth(), 940);
    window->contentView()->selectSection("about");
    EXPECT_EQ(window->windowTitle(), "About") << "the new content drives the title";
    window->hide();
}

TEST(PendrelApp, WithoutATrayTheWindowIsShownAndClosingItQuitsWhateverTheMode) {
    RunModeManager::shared()->setMode(RunMode::MenuBar);
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    EXPECT_FALSE(app.hasMenuBarExtra());
    app.launch();
    EXPECT_TRUE(app.mainWindow()->isVisible()) << "otherwise the app could not be reached";
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
    app.mainWindow()->hide();
    app.handleReopen();
    EXPECT_TRUE(app.mainWindow()->isVisible());
    app.mainWindow()->hide();
}

TEST(PendrelApp, ReopenWithAVisibleWindowChangesNothing) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    app.mainWindow()->show();
    const int shows = app.wireAutomationCount();
    app.handleMessage("reopen");
    EXPECT_EQ(app.wireAutomationCount(), shows);
    app.mainWindow()->hide();
}

TEST(PendrelApp, ReopenLooksAtTheAppsOwnWindowsOnly) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    // An XEmbed tray icon is a shown top-level widget of its own; it is no way into the app.
    QWidget trayIconWindow;
    trayIconWindow.show();
    app.handleMessage("reopen");
    EXPECT_TRUE(app.mainWindow()->isVisible());
    app.mainWindow()->hide();
}

// What the label shows, and that it reads on any tray, is in TrayLabelTest.

TEST(MenuBarExtra, TheInkFollowsTheDesktopNotTheAppsAppearance) {
    // The offscreen desktop is light; an app set to Dark still draws dark ink for its tray.
    UserDefaults::standard().setValue(ThemeKeys::Appearance, QStringLiteral("Dark"));
    QApplication::processEvents();
    ASSERT_TRUE(Themed::shared().isDark());
    EXPECT_EQ(MenuBarExtra::defaultInk(), MenuBarExtra::inkFor(false));
    UserDefaults::standard().remove(ThemeKeys::Appearance);
}
