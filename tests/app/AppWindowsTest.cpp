// The app's other windows: the settings window's size and place on its screen, the text-size
// keys wherever the user is, and the menu-bar extra following the desktop's tray.
#include "app/MainWindow.h"
#include "app/MenuBarExtra.h"
#include "app/PendrelApp.h"
#include "app/SettingsWindow.h"
#include "fakes/FakeTrayHost.h"
#include "platform/UserDefaults.h"
#include "shell/RunModeManager.h"
#include "shell/views/SettingsView.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "ui-kit/TextSizeCommands.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

// Records the window's geometry at the moment it is shown.
struct ShowGeometry : QObject {
    QRect atShow;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            atShow = static_cast<QWidget*>(watched)->geometry();
        return false;
    }
};

void setStep(int step) {
    UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(step));
    QApplication::processEvents();
}

qint64 storedStep() {
    return UserDefaults::standard().value(ThemeKeys::FontSize).toInteger(-1);
}

SettingsView* form(const SettingsWindow* settings) {
    return Find::part<SettingsView>(settings, "settingsView");
}

// How far the settings form scrolls; 0 when it fits.
int scrollRange(const SettingsWindow* settings) {
    return Find::part<QScrollArea>(settings, "settingsScroll")->verticalScrollBar()->maximum();
}

} // namespace

TEST(SettingsWindow, IsFittedBeforeItIsShownAndStaysOnItsScreenAtEveryTextSize) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    SettingsWindow* settings = app.settingsWindow();
    // The offscreen screen is 800 × 800: the form fits at the smaller sizes, not at the biggest.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (int step : {0, 2, 4}) {
        setStep(step);
        ShowGeometry spy;
        settings->installEventFilter(&spy);
        app.openSettings();
        const QRect shown = spy.atShow;
        settings->removeEventFilter(&spy);
        EXPECT_TRUE(screen.contains(shown)) << step;
        QTest::qWait(200); // the frame is known and every late fit has run
        // A slow build (a sanitizer's) may take longer for the late fit: wait for it, boundedly.
        testsupport::waitFor([&] { return screen.contains(settings->frameGeometry()); }, 5000);
        EXPECT_TRUE(screen.contains(settings->frameGeometry())) << step;
        const bool fits =
            form(settings)->heightForWidth(SettingsView::kWidth) < screen.height() - 40;
        if (fits) {
            // The height it came up with is its height: nothing is fitted after the fact.
            EXPECT_EQ(settings->geometry(), shown) << step;
            EXPECT_EQ(settings->width(), SettingsView::kWidth) << "no scroll bar when it fits";
            EXPECT_EQ(scrollRange(settings), 0) << step;
        } else {
            EXPECT_GT(scrollRange(settings), 0) << step;
        }
        settings->hide();
    }
    setStep(2);
}

TEST(SettingsWindow, ALowScreenGetsAScrollingFormInsideItsWorkArea) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    SettingsWindow* settings = app.settingsWindow();
    setStep(4);
    app.openSettings();
    // A wide, low work area below a top panel, like a 1440 × 900 screen with a tall panel.
    const QRect low(0, 24, 1440, 420);
    QApplication::processEvents();
    settings->fitInto(low);
    EXPECT_TRUE(low.contains(settings->frameGeometry())) << "frame reaches past the work area";
    EXPECT_LE(settings->height(), low.height());
    EXPECT_GT(scrollRange(settings), 0) << "the rest scrolls";

    // Placed near the bottom of a taller area, a form that grows is moved up, not cut off.
    const QRect tall(0, 0, 1440, 900);
    setStep(0);
    settings->fitInto(tall);
    settings->move(settings->x(), tall.bottom() - settings->frameGeometry().height());
    setStep(4);
    settings->fitInto(tall);
    EXPECT_TRUE(tall.contains(settings->frameGeometry()));
    settings->hide();
    setStep(2);
}

// Counts what reaches a widget: here the layout requests that a fit of its own would cause.
struct LayoutRequests : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
};

TEST(SettingsWindow, FitsOnlyWhenTheFormChangesAndThenFallsQuiet) {
    // Opening fits before the showing and, where the shown form or the frame differs, once
    // more: never a third time, at any text size.
    for (int step : {-1, 4}) { // -1: a new user's, nothing stored
        PendrelApp fresh(PendrelApp::Options{.useSystemTray = false});
        if (step < 0) {
            UserDefaults::standard().remove(ThemeKeys::FontSize);
            QApplication::processEvents();
        } else {
            setStep(step);
        }
        int opening = 0;
        QObject::connect(fresh.settingsWindow(), &SettingsWindow::fitted,
                         [&opening] { ++opening; });
        fresh.openSettings();
        QTest::qWait(400); // shown, the late frame fit done
        EXPECT_LE(opening, 2) << step;
        fresh.settingsWindow()->hide();
    }

    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    SettingsWindow* settings = app.settingsWindow();
    setStep(2);
    int fits = 0;
    QObject::connect(settings, &SettingsWindow::fitted, [&fits] { ++fits; });
    app.openSettings();
    QTest::qWait(400); // shown, the late frame fit done
    EXPECT_LE(fits, 2) << "opening fits before the showing and once the frame is known";

    // Left open, nothing changes, so nothing is fitted or laid out again.
    LayoutRequests requests;
    form(settings)->installEventFilter(&requests);
    fits = 0;
    QTest::qWait(300);
    EXPECT_EQ(fits, 0);
    EXPECT_EQ(requests.count, 0) << "the window keeps laying itself out";

    // A text size change is one fit.
    setStep(4);
    QTest::qWait(300);
    EXPECT_EQ(fits, 1);
    settings->removeEventFilter(&requests);
    settings->hide();
    setStep(2);
}

TEST(TextSizeKeys, WorkInTheSettingsWindowWithTheMainWindowClosed) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    setStep(2);
    ASSERT_FALSE(app.mainWindow()->isVisible());
    app.openSettings();
    SettingsWindow* settings = app.settingsWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(settings));
    QTest::keyClick(settings, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(storedStep(), 3);
    QTest::keyClick(form(settings), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(storedStep(), 2);
    QTest::keyClick(settings, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(settings, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(storedStep(), 2);
    settings->hide();

    // The main window and its View menu use the very same commands: one key, one step.
    MainWindow* window = app.mainWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(storedStep(), 3);
    window->hide();
    setStep(2);
}

// The settings window reads as a window named by its title, and Escape or Ctrl+W closes it from
// wherever the focus is in the form.
TEST(SettingsWindow, IsNamedAndClosesWithEscapeOrControlW) {
    SettingsWindow settings(nullptr, nullptr);
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&settings);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->role(), QAccessible::Window);
    EXPECT_EQ(read->text(QAccessible::Name), "Pendrel Settings");

    settings.show();
    ASSERT_TRUE(settings.isVisible());
    QTest::keyClick(form(&settings), Qt::Key_Escape);
    EXPECT_FALSE(settings.isVisible());
    settings.show();
    QTest::keyClick(form(&settings), Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(settings.isVisible());
    settings.show();
    QTest::keyClick(form(&settings), Qt::Key_W);
    EXPECT_TRUE(settings.isVisible());
    settings.hide();
}

struct TrayTest : ::testing::Test {
    FakeTrayHost tray{false};
    std::unique_ptr<PendrelApp> app;

    void launch(RunMode mode) {
        RunModeManager::shared()->setMode(mode);
        app = std::make_unique<PendrelApp>(
            PendrelApp::Options{.trayHost = &tray, .trayGoneGraceMs = 0});
        app->launch();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->hide();
        app.reset();
        RunModeManager::shared()->setMode(RunMode::MenuBar);
    }
};

TEST_F(TrayTest, ATrayThatComesAfterLaunchIsUsedAndTheNoTrayRulesEnd) {
    launch(RunMode::MenuBar);
    EXPECT_FALSE(app->hasMenuBarExtra());
    EXPECT_TRUE(app->mainWindow()->isVisible()) << "without a tray the window is the way in";
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());

    tray.setAvailable(true);
    ASSERT_TRUE(app->hasMenuBarExtra());
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed()) << "the menu-bar mode holds now";
    EXPECT_FALSE(app->menuBarExtra()->icon().isNull());

    // A later change of mode follows what is there now.
    RunModeManager::shared()->setMode(RunMode::WindowOnly);
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
    RunModeManager::shared()->setMode(RunMode::Login);
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
}

TEST_F(TrayTest, ATrayThatGoesAwayBringsTheWindowBackSoTheAppStaysReachable) {
    tray.setAvailable(true);
    launch(RunMode::MenuBar);
    ASSERT_TRUE(app->hasMenuBarExtra());
    EXPECT_FALSE(app->mainWindow()->isVisible()) << "the menu-bar mode keeps the window back";

    tray.setAvailable(false);
    EXPECT_FALSE(app->hasMenuBarExtra());
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
    EXPECT_TRUE(testsupport::waitFor([&] { return app->mainWindow()->isVisible(); }));

    // Back again: the icon returns, and with a window open nothing else changes.
    tray.setAvailable(true);
    EXPECT_TRUE(app->hasMenuBarExtra());
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
}

TEST_F(TrayTest, ATrayBackWithinTheGraceTimeLeavesTheWindowAlone) {
    tray.setAvailable(true);
    RunModeManager::shared()->setMode(RunMode::MenuBar);
    app = std::make_unique<PendrelApp>(
        PendrelApp::Options{.trayHost = &tray, .trayGoneGraceMs = 200});
    app->launch();
    tray.setAvailable(false);
    tray.setAvailable(true); // a panel restarting
    QTest::qWait(300);
    EXPECT_FALSE(app->mainWindow()->isVisible());
    EXPECT_TRUE(app->hasMenuBarExtra());
}

TEST_F(TrayTest, TheTextSizeKeysWorkInTheMenuBarPanel) {
    tray.setAvailable(true);
    launch(RunMode::MenuBar);
    setStep(2);
    app->menuBarExtra()->togglePanel();
    QWidget* panel = app->menuBarExtra()->panel();
    ASSERT_TRUE(panel->isVisible());
    // Opening asks for the panel's activation; its keys work once the window system gave it.
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    QTest::keyClick(panel, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(storedStep(), 3);
    setStep(2);
}

// The panel is a window of the app to assistive technology, found from the application's root
// as the main window is, and it closes as a popup does: on Escape and when it loses activation.
TEST_F(TrayTest, TheMenuBarPanelIsReachedFromTheAppAndClosesAsAPopup) {
    tray.setAvailable(true);
    launch(RunMode::MenuBar);
    MenuBarExtra* extra = app->menuBarExtra();
    extra->togglePanel();
    QWidget* panel = extra->panel();
    ASSERT_TRUE(panel->isVisible());

    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(root, nullptr);
    bool found = false;
    for (int i = 0; i < root->childCount(); ++i)
        found = found || root->child(i)->object() == panel;
    EXPECT_TRUE(found) << "the panel is not among the application's accessible windows";

    QTest::keyClick(panel, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());

    QTest::qWait(400); // past the guard that keeps a closing click from reopening it
    extra->togglePanel();
    ASSERT_TRUE(panel->isVisible());
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(panel, &deactivate);
    EXPECT_FALSE(panel->isVisible());
}
