// The main window's content: navigation by notification and by row, the assistant hand-off,
// the storage-hub mode, the title, and building screens only when their section is shown.
#include "MainWindowTestSupport.h"
#include "ShownScreen.h"

#include "app/FeatureScreens.h"
#include "app/MainWindow.h"
#include "app/PendrelApp.h"
#include "platform/NotificationCenter.h"
#include "shell/QKFeature.h"
#include "shell/views/AboutView.h"
#include "shell/views/SidebarRow.h"
#include "shell/views/SidebarView.h"
#include "ui-kit/QKClampedText.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

void post(const QString& name, const QString& payload) {
    NotificationCenter::defaultCenter().post(name, payload);
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct ContentViewTest : ::testing::Test, ContentViewFixture {
    // The view again, over screens made by `make`, shown at the size of a small window.
    void showWithScreens(decltype(ContentView::Deps::makeScreen) make) {
        ContentView::Deps options;
        options.defaults = &defaults;
        options.makeScreen = std::move(make);
        Services services;
        services.appState = &appState;
        services.assistant = &assistant;
        services.screen = &screen;
        view = std::make_unique<ContentView>(services, options);
        view->resize(1000, 700);
        view->show();
    }
};

} // namespace

TEST_F(ContentViewTest, StartsOnHomeAndBuildsOnlyTheScreenShown) {
    EXPECT_EQ(view->selectedSection(), "dashboard");
    EXPECT_EQ(view->title(), "Home");
    EXPECT_EQ(built, QStringList({"dashboard"}));
    ASSERT_NE(shownScreen(*view), nullptr);
    EXPECT_EQ(shownScreen(*view)->objectName(), "screen-dashboard");

    QPointer<QWidget> home = shownScreen(*view);
    view->selectSection("about");
    view->selectSection("about");
    EXPECT_EQ(built, QStringList({"dashboard", "about"}));
    flushDeletes();
    EXPECT_TRUE(home.isNull()) << "the screen left behind is dropped";

    // Coming back builds the screen afresh.
    view->selectSection("dashboard");
    EXPECT_EQ(built.count("dashboard"), 2);
}

TEST_F(ContentViewTest, OpenSectionAcceptsCatalogIdsOnly) {
    QSignalSpy titles(view.get(), &ContentView::titleChanged);
    post(Notifications::OpenSection, "no-such-section");
    post(Notifications::OpenSection, "Folders");        // a legacy title
    post(Notifications::OpenSection, "Browse Storage"); // a title
    post(Notifications::OpenSection, "");
    EXPECT_EQ(view->selectedSection(), "dashboard");
    EXPECT_EQ(built.size(), 1);
    EXPECT_EQ(titles.count(), 0);

    post(Notifications::OpenSection, "folders");
    EXPECT_EQ(view->selectedSection(), "folders");
    EXPECT_EQ(view->title(), "Browse Storage");
    ASSERT_EQ(titles.count(), 1);
    EXPECT_EQ(titles.at(0).at(0).toString(), "Browse Storage");
    EXPECT_TRUE(sidebarRow(*view, "folders")->isSelected());
    EXPECT_FALSE(sidebarRow(*view, "dashboard")->isSelected());
}

TEST_F(ContentViewTest, ASelectionThatNamesNothingShowsHome) {
    view->selectSection("folders");
    view->selectSection("nonsense");
    EXPECT_EQ(view->selectedSection(), "nonsense");
    EXPECT_EQ(view->selectedFeature().id, "dashboard");
    EXPECT_EQ(view->title(), "Home");
    EXPECT_EQ(shownScreen(*view)->objectName(), "screen-dashboard");
    for (SidebarRow* row : sidebarRows(*view))
        EXPECT_FALSE(row->isSelected()) << row->featureId().toStdString();
}

TEST_F(ContentViewTest, AskingHandsTheQuestionOverLaterWithTheContextOfTheScreenItCameFrom) {
    publish(memorySample(6, 10));
    view->selectSection("disk");
    screen.setDiskMode(DiskMode::System);

    QElapsedTimer clock;
    clock.start();
    post(Notifications::AskTamso, "Why is my disk full?");
    EXPECT_EQ(view->selectedSection(), "tamso") << "the assistant is selected at once";
    EXPECT_EQ(askCount, 0) << "the question waits";

    ASSERT_TRUE(testsupport::waitFor([&] { return askCount == 1; }, 3000));
    EXPECT_GE(clock.elapsed(), ContentView::kAskDelayMs - 10);
    const AskCall& call = *lastAsk;
    EXPECT_EQ(call.question, "Why is my disk full?");
    EXPECT_EQ(call.context, (TamsoScreenContext{"disk", "Storage", QString("Safe cleanup")}));
    EXPECT_EQ(call.snapshot.memUsedBytes, 6u);
    EXPECT_EQ(call.snapshot.memTotalBytes, 10u);
}

TEST_F(ContentViewTest, AskingFromASectionWithoutSubModesGivesNoDetailAndEmptyTextAsksNothing) {
    view->selectSection("vault");
    post(Notifications::AskTamso, "  "); // not trimmed here: blanks are a question
    ASSERT_TRUE(testsupport::waitFor([&] { return askCount == 1; }, 3000));
    EXPECT_EQ(lastAsk->context, (TamsoScreenContext{"vault", "Privacy", std::nullopt}));

    view->selectSection("dashboard");
    post(Notifications::AskTamso, "");
    EXPECT_EQ(view->selectedSection(), "tamso");
    QTest::qWait(ContentView::kAskDelayMs * 2);
    EXPECT_EQ(askCount, 1);
}

TEST_F(ContentViewTest, SubModeTitlesFollowTheSectionsOwnState) {
    screen.setAppsPane(AppsPane::Uninstall);
    screen.setDevPane(DevPane::Models);
    screen.setDiskMode(DiskMode::Growth);
    EXPECT_EQ(ContentView::subModeTitle("uninstaller", screen), QString("Uninstall"));
    EXPECT_EQ(ContentView::subModeTitle("devclean", screen), QString("AI models"));
    EXPECT_EQ(ContentView::subModeTitle("disk", screen), QString("Where did it go?"));
    EXPECT_EQ(ContentView::subModeTitle("duplicates", screen), std::nullopt);
}

TEST_F(ContentViewTest, AnUnknownStorageModeSelectsTheHubAndLeavesItsMode) {
    screen.setDiskMode(DiskMode::Mail);
    post(Notifications::OpenDiskMode, "Screenshots");
    EXPECT_EQ(view->selectedSection(), "disk");
    EXPECT_EQ(screen.diskMode(), DiskMode::Mail);

    view->selectSection("dashboard");
    post(Notifications::OpenDiskMode, "diskMap");
    EXPECT_EQ(view->selectedSection(), "disk");
    EXPECT_EQ(screen.diskMode(), DiskMode::DiskMap);
}

TEST_F(ContentViewTest, ClickingARowSelectsItsSection) {
    view->show();
    SidebarRow* about = sidebarRow(*view, "about");
    QTest::mouseClick(about, Qt::LeftButton);
    EXPECT_EQ(view->selectedSection(), "about");
    EXPECT_TRUE(about->isSelected());
    EXPECT_TRUE(about->isChecked()) << "assistive technology reads the selected row as checked";
    // Clicking the selected row again keeps it selected.
    QTest::mouseClick(about, Qt::LeftButton);
    EXPECT_TRUE(about->isSelected());
    EXPECT_EQ(built.count("about"), 1);
}

TEST_F(ContentViewTest, AScreenMayNavigateAwayFromInsideItsOwnHandler) {
    showWithScreens([](const QString& id, QWidget* parent) -> QWidget* {
        auto* button = new QPushButton(id, parent);
        QObject::connect(button, &QPushButton::clicked, [] {
            NotificationCenter::defaultCenter().post(Notifications::OpenSection, "about");
        });
        return button;
    });
    QPointer<QWidget> home = shownScreen(*view);
    QTest::mouseClick(qobject_cast<QPushButton*>(home.data()), Qt::LeftButton);
    EXPECT_EQ(view->selectedSection(), "about");
    flushDeletes();
    EXPECT_TRUE(home.isNull());
}

// A screen that sends the user on from the keyboard hands the focus to the screen it opens, at
// its first control, not to whatever follows the card; a row chosen in the sidebar keeps it.
TEST_F(ContentViewTest, TheFocusFollowsAScreenThatNavigatesAway) {
    showWithScreens([](const QString& id, QWidget* parent) -> QWidget* {
        auto* screen = new QWidget(parent);
        screen->setObjectName("screen-" + id);
        auto* label = new QLabel(id, screen); // takes no focus: the first stop is the button
        auto* go = new QPushButton(id, screen);
        go->setObjectName("go");
        label->move(0, 0);
        go->move(0, 40);
        QObject::connect(go, &QPushButton::clicked, [] {
            NotificationCenter::defaultCenter().post(Notifications::OpenSection, "about");
        });
        return screen;
    });
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));

    auto* go = Find::part<QPushButton>(*shownScreen(*view), "go");
    go->setFocus(Qt::TabFocusReason);
    QTest::keyClick(go, Qt::Key_Space);
    ASSERT_EQ(view->selectedSection(), "about");
    QWidget* about = shownScreen(*view);
    ASSERT_EQ(about->objectName(), "screen-about");
    EXPECT_EQ(QApplication::focusWidget(), Find::part<QPushButton>(*about, "go"));

    SidebarRow* home = sidebarRow(*view, "dashboard");
    home->setFocus(Qt::TabFocusReason);
    QTest::keyClick(home, Qt::Key_Space);
    ASSERT_EQ(view->selectedSection(), "dashboard");
    EXPECT_EQ(QApplication::focusWidget(), home);
}

TEST_F(ContentViewTest, TheStatusLineFollowsEverySnapshot) {
    SidebarView* sidebar = sidebarOf(*view);
    auto* status = Find::part<QKClampedText>(sidebar, "statusHeadline");
    const QColor green = sidebar->statusDotColor();
    publish(memorySample(90, 100));
    EXPECT_NE(sidebar->statusDotColor(), green);
    EXPECT_EQ(status->text(), memorySample(90, 100).headline());
    EXPECT_EQ(status->toolTip(), status->text());
    publish(memorySample(85, 100));
    EXPECT_EQ(sidebar->statusDotColor(), green) << "exactly 0.85 is not above 0.85";
}

TEST(MainWindowTitle, FollowsTheSectionShown) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    MainWindow* window = app.mainWindow();
    EXPECT_EQ(window->windowTitle(), "Home");
    NotificationCenter::defaultCenter().post(Notifications::OpenSection, "about");
    EXPECT_EQ(window->windowTitle(), "About");
    EXPECT_NE(qobject_cast<AboutView*>(shownScreen(*window->contentView())), nullptr);
    window->contentView()->selectSection("nonsense");
    EXPECT_EQ(window->windowTitle(), "Home");
}

TEST(FeatureScreensAbout, TheAboutRecordBuildsTheAboutScreen) {
    const Services none;
    std::unique_ptr<QWidget> screen(FeatureScreens::build("about", none));
    EXPECT_NE(qobject_cast<AboutView*>(screen.get()), nullptr);
}
