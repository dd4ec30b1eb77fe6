#include "fakes/FakeAccountName.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeSnapshotSampler.h"
#include "home/HomeTestSupport.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "support/FindPage.h"
#include "support/TestSupport.h"

#include "home/views/AttentionSection.h"
#include "home/views/DashboardHeaderCard.h"
#include "home/views/DashboardView.h"
#include "home/views/FullDiskAccessCard.h"
#include "home/views/GlanceSection.h"
#include "home/views/GuidedReviewEntryCard.h"
#include "home/views/GuidedReviewSheet.h"
#include "home/views/RecommendationCardView.h"
#include "home/views/RefreshButton.h"
#include "platform/NotificationCenter.h"
#include "shell/Permissions.h"
#include "shell/ScreenState.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbolButton.h"
#include "vitals/AppState.h"

#include <gtest/gtest.h>
#include <memory>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using namespace hometest;
using P = ThermalSnapshot::Pressure;

namespace {

class DashboardViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        appState = std::make_unique<AppState>(FakeSnapshotSampler::appStateOptions(samples));
        measure = std::make_shared<FakeCategoryMeasure>();
        health = std::make_unique<HealthCheck>(
            HomeLayout::forHome(testsupport::freshDir("home")),
            HealthCheck::Deps{.measure = measure, .clock = clock, .walkerThreads = 1});
        clock->set(QDateTime(QDate(2026, 6, 1), QTime(15, 30), Qt::LocalTime));
    }

    void publish(const SystemSnapshot& s) {
        samples->set(s);
        QSignalSpy spy(appState.get(), &AppState::snapshotChanged);
        appState->sampleAndPublish();
        ASSERT_TRUE(testsupport::waitFor([&] { return spy.count() > 0; }));
    }

    void check() {
        health->refreshJunk();
        health->refreshBigFiles();
        ASSERT_TRUE(testsupport::waitFor([&] { return !health->isChecking(); }));
    }

    std::unique_ptr<DashboardView> makeView() {
        auto view = std::make_unique<DashboardView>(*appState, permissions, *health, screen, *clock,
                                                    account);
        view->resize(1000, 900);
        view->show();
        QCoreApplication::processEvents();
        return view;
    }

    // Three cards: memory act, storage act, heat watch.
    SystemSnapshot troubled() {
        SystemSnapshot s = sample(0.95, 0.05, 10, P::Serious);
        s.topProcesses = {memoryUser("Xcode", 9'000'000'000)};
        return s;
    }

    std::shared_ptr<FakeSamplerState> samples = std::make_shared<FakeSamplerState>();
    std::unique_ptr<AppState> appState;
    Permissions permissions{[] { return true; }};
    std::shared_ptr<FakeCategoryMeasure> measure;
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    FakeAccountName account{" Ana Lima"};
    std::unique_ptr<HealthCheck> health;
    ScreenState screen;
};

// The recommendation cards on show, in the grid's order.
QList<RecommendationCardView*> cardViews(const DashboardView& view) {
    QList<RecommendationCardView*> cards;
    for (auto* card : Find::part<QWidget>(view, "recGrid")
                          ->findChildren<RecommendationCardView*>(Qt::FindDirectChildrenOnly)) {
        if (!card->isHidden())
            cards.append(card);
    }
    return cards;
}

// The glance tile of this title.
GlanceTileView* glanceTile(const DashboardView& view, const QString& title) {
    return Find::part<GlanceTileView>(Find::part<GlanceSection>(view, "glanceSection"),
                                      "glance-" + title);
}

TEST_F(DashboardViewTest, WaitsForTheFirstSampleThenGreets) {
    auto view = makeView();
    EXPECT_TRUE(Find::showing(*view, "readingVitals"));
    EXPECT_FALSE(Find::part<QWidget>(*view, "dashboardHeader")->isVisible());

    publish(sample());
    EXPECT_FALSE(Find::showing(*view, "readingVitals"));
    EXPECT_EQ(Find::part<QLabel>(*view, "greeting")->text(), "Good afternoon, Ana");
    EXPECT_EQ(Find::part<QLabel>(*view, "statusText")->text(), "Your Mac is healthy.");
    EXPECT_EQ(Find::part<QLabel>(*view, "countLine")->text(),
              "Live vitals look good. Complete today's check for the full picture.");
    EXPECT_FALSE(Find::part<QLabel>(*view, "lastChecked")->isVisible());
    EXPECT_TRUE(Find::part<QWidget>(*view, "attentionEmpty")->isVisible());
    EXPECT_TRUE(Find::part<QPushButton>(*view, "checkNow")->isVisible());
    EXPECT_EQ(Find::part<QLabel>(glanceTile(*view, "Storage"), "glanceTitle")->text(), "Storage");
    EXPECT_EQ(Find::part<AskTamsoStrip>(*view, "dashboardAsk")->question(),
              "Is there anything I should do about my Mac today?");
}

// One reading decides the header, its description, the card under it and the tiles: a busy
// processor with no thermal reading is neither "good" vitals nor "comfortable" thermals anywhere.
TEST_F(DashboardViewTest, TheHeaderAgreesWithTheTilesBesideIt) {
    publish(sample(0.5, 0.5, 100, P::Unknown));
    auto view = makeView();
    EXPECT_EQ(Find::part<QLabel>(glanceTile(*view, "Performance"), "glanceMessage")->text(),
              "Your Mac is working hard.");
    EXPECT_EQ(Find::part<QLabel>(glanceTile(*view, "Temperature"), "glanceMessage")->text(),
              "Thermal status is unavailable.");
    EXPECT_EQ(Find::part<QLabel>(*view, "statusText")->text(), "Your Mac needs a review.");
    EXPECT_EQ(Find::part<QLabel>(*view, "countLine")->text(),
              "Live vitals need attention. Complete today's check for the full picture.");
    EXPECT_EQ(Find::part<QLabel>(*view, "attentionEmptyTitle")->text(), "Complete today's check");
    EXPECT_EQ(Find::part<QLabel>(*view, "attentionEmptyMessage")->text(),
              "Live vitals need attention. Check temporary files and large files for the full "
              "picture.");
    EXPECT_TRUE(Find::part<QWidget>(*view, "dashboardHeader")
                    ->toolTip()
                    .contains("Thermal status unavailable"));
    EXPECT_FALSE(
        Find::part<QWidget>(*view, "dashboardHeader")->toolTip().contains("Thermals comfortable"));

    // With today's check done and nothing to clean, the card still does not call the Mac fine.
    check();
    EXPECT_EQ(Find::part<QLabel>(*view, "countLine")->text(),
              "Live vitals need attention; run a check for a fuller diagnosis.");
    EXPECT_EQ(Find::part<QLabel>(*view, "attentionEmptyTitle")->text(), "Nothing to clean today.");
    EXPECT_EQ(Find::part<QLabel>(*view, "attentionEmptyMessage")->text(),
              "Live vitals need attention; the tiles below say why.");

    publish(sample());
    EXPECT_EQ(Find::part<QLabel>(*view, "statusText")->text(), "Your Mac is healthy.");
    EXPECT_EQ(Find::part<QLabel>(*view, "attentionEmptyTitle")->text(), "Nothing needs you today.");
    EXPECT_EQ(Find::part<QLabel>(*view, "attentionEmptyMessage")->text(),
              "Everything Pendrel checked looks good.");
}

TEST_F(DashboardViewTest, CheckNowRunsBothMeasurementsAndEndsAllClear) {
    publish(sample());
    auto view = makeView();
    QSemaphore gate;
    measure->setHook([&](const CleanCategory&, const CancelToken&) { gate.acquire(); });
    QTest::mouseClick(Find::part<QPushButton>(*view, "checkNow"), Qt::LeftButton);
    EXPECT_TRUE(health->junk().isChecking());
    EXPECT_TRUE(health->bigFiles().isChecking());
    EXPECT_TRUE(Find::part<RefreshButton>(*view, "attentionRefresh")->isChecking());
    EXPECT_FALSE(Find::part<RefreshButton>(*view, "attentionRefresh")->isEnabled());
    EXPECT_FALSE(Find::part<QPushButton>(*view, "checkNow")->isEnabled());
    gate.release(8);
    ASSERT_TRUE(testsupport::waitFor([&] { return !health->isChecking(); }));

    EXPECT_EQ(Find::part<RefreshButton>(*view, "attentionRefresh")->text(), "Refresh");
    EXPECT_EQ(Find::part<QLabel>(*view, "attentionEmptyTitle")->text(), "Nothing needs you today.");
    EXPECT_FALSE(Find::part<QPushButton>(*view, "checkNow")->isVisible());
    EXPECT_EQ(Find::part<QLabel>(*view, "countLine")->text(), "Nothing needs you today.");
    EXPECT_TRUE(Find::part<QLabel>(*view, "lastChecked")->isVisible());
    EXPECT_FALSE(view->attention()->reviewEntry()->isVisible());
}

TEST_F(DashboardViewTest, ACardsButtonWritesTheScreenStateBeforeOpeningItsSection) {
    measure->setResult("caches", {2'000'000'000, 40, {}});
    check();
    publish(sample());
    screen.setDiskMode(DiskMode::Mail);
    auto view = makeView();
    const QList<RecommendationCardView*> cards = cardViews(*view);
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(Find::part<QLabel>(cards.front(), "recTitle")->text(),
              "2 GB can be safely recovered");

    QStringList events;
    QObject context;
    NotificationCenter::defaultCenter().observe(
        Notifications::OpenSection, &context,
        [&](const QString& id) { events << id + " in " + rawValue(screen.diskMode()); });
    QTest::mouseClick(Find::part<QPushButton>(cards.front(), "recAction"), Qt::LeftButton);
    EXPECT_EQ(events, QStringList({"disk in system"}));
}

TEST_F(DashboardViewTest, GuidedReviewWalksTheCards) {
    publish(troubled());
    auto view = makeView();
    EXPECT_EQ(Find::part<QLabel>(*view, "countLine")->text(),
              "Pendrel found 3 things worth your attention today.");
    GuidedReviewEntryCard* entry = view->attention()->reviewEntry();
    ASSERT_TRUE(entry->isVisible());
    EXPECT_EQ(entry->button()->text(), "Start guided review");

    GuidedReviewSheet* sheet = view->reviewSheet();
    QTest::mouseClick(entry->button(), Qt::LeftButton);
    ASSERT_TRUE(sheet->isVisible());
    // A dialog of the screen's window: no minimise or maximise, the close button named.
    EXPECT_EQ(sheet->windowType(), Qt::Dialog);
    EXPECT_FALSE(sheet->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    ASSERT_TRUE(sheet->windowHandle());
    EXPECT_EQ(sheet->windowHandle()->transientParent(), view->window()->windowHandle());
    EXPECT_EQ(Find::part<QKSymbolButton>(sheet, "reviewClose")->accessibleName(), "Close");
    EXPECT_TRUE(testsupport::accessibilityProblems(sheet).isEmpty())
        << testsupport::accessibilityProblems(sheet).join('\n').toStdString();
    EXPECT_EQ(Find::part<QLabel>(sheet, "reviewStepHeader")->text(), "Recommendation 1 of 3");
    EXPECT_EQ(Find::part<QProgressBar>(sheet, "reviewProgress")->value(), 1);
    EXPECT_EQ(Find::part<QProgressBar>(sheet, "reviewProgress")->maximum(), 3);
    EXPECT_EQ(Find::part<QLabel>(sheet, "reviewTitle")->text(),
              "Xcode is putting pressure on memory");

    QTest::mouseClick(sheet->skipButton(), Qt::LeftButton);
    QTest::mouseClick(sheet->skipButton(), Qt::LeftButton);
    EXPECT_EQ(Find::part<QLabel>(sheet, "reviewStepHeader")->text(), "Recommendation 3 of 3");
    QTest::mouseClick(sheet->skipButton(), Qt::LeftButton);
    EXPECT_TRUE(Find::showing(*sheet, "reviewFinished"));
    QTest::mouseClick(sheet->doneButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(entry->button()->text(), "Start guided review");

    // Acting on the first card closes the sheet and opens its section.
    QStringList opened;
    QObject context;
    NotificationCenter::defaultCenter().observe(Notifications::OpenSection, &context,
                                                [&](const QString& id) { opened << id; });
    QTest::mouseClick(entry->button(), Qt::LeftButton);
    EXPECT_EQ(Find::part<QLabel>(sheet, "reviewStepHeader")->text(), "Recommendation 1 of 3");
    QTest::mouseClick(Find::part<QPushButton>(sheet, "reviewAction"), Qt::LeftButton);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(opened, QStringList({"performance"}));
    EXPECT_EQ(Find::part<QLabel>(entry, "guidedEntryTitle")->text(), "Continue today's review");
    EXPECT_EQ(entry->button()->text(), "Continue");

    // Continuing resumes at card 2; closing there and continuing shows card 2 again.
    QTest::mouseClick(entry->button(), Qt::LeftButton);
    EXPECT_EQ(Find::part<QLabel>(sheet, "reviewStepHeader")->text(), "Recommendation 2 of 3");
    QTest::mouseClick(Find::part<QKSymbolButton>(sheet, "reviewClose"), Qt::LeftButton);
    EXPECT_FALSE(sheet->isVisible());
    QTest::mouseClick(entry->button(), Qt::LeftButton);
    EXPECT_EQ(Find::part<QLabel>(sheet, "reviewStepHeader")->text(), "Recommendation 2 of 3");

    // The list shrinks to one card while the sheet is open: it shows the finished view.
    QTest::mouseClick(sheet->skipButton(), Qt::LeftButton);
    publish(sample(0.95));
    publish([] {
        SystemSnapshot s = sample(0.95);
        s.topProcesses = {memoryUser("Xcode", 9'000'000'000)};
        return s;
    }());
    EXPECT_TRUE(Find::showing(*sheet, "reviewFinished"));
    sheet->reject(); // Escape
    EXPECT_FALSE(view->review().showing);
    EXPECT_EQ(entry->button()->text(), "Start guided review");
}

// A check started from the keyboard keeps the user's place: disabling the pressed button must not
// send the focus on down the page (to the question field), and it comes back, ringed, at the end.
TEST_F(DashboardViewTest, ACheckStartedFromTheKeyboardKeepsTheFocusOnItsButton) {
    publish(sample());
    auto view = makeView();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    auto* section = Find::part<QWidget>(*view, "attentionSection");
    QSemaphore gate;
    measure->setHook([&](const CleanCategory&, const CancelToken&) { gate.acquire(); });
    for (const char* name : {"checkNow", "attentionRefresh"}) {
        SCOPED_TRACE(name);
        auto* button = Find::part<QPushButton>(*view, name);
        ASSERT_TRUE(button->isVisible());
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
        ASSERT_TRUE(health->isChecking());
        EXPECT_EQ(QApplication::focusWidget(), section);
        EXPECT_EQ(section->accessibleName(), "What deserves your attention");
        gate.release(8);
        ASSERT_TRUE(testsupport::waitFor([&] { return !health->isChecking(); }));
        // "Check now" goes once a check has completed; the header's button takes the focus back
        EXPECT_EQ(QApplication::focusWidget(), Find::part<QPushButton>(*view, "attentionRefresh"));
    }
    // moved on by the user meanwhile, the focus stays where the user took it
    auto* refresh = Find::part<QPushButton>(*view, "attentionRefresh");
    refresh->setFocus(Qt::TabFocusReason);
    QTest::keyClick(refresh, Qt::Key_Space);
    ASSERT_TRUE(health->isChecking());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* chosen = QApplication::focusWidget();
    ASSERT_NE(chosen, section);
    gate.release(8);
    ASSERT_TRUE(testsupport::waitFor([&] { return !health->isChecking(); }));
    EXPECT_EQ(QApplication::focusWidget(), chosen);
}

// Tab goes down the page as it reads: the cards, made after the rest of the page once the check
// has found them, come before the guided review under them and the tiles further down.
TEST_F(DashboardViewTest, TabReachesTheCardsInReadingOrder) {
    publish(troubled());
    auto view = makeView();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    const QList<RecommendationCardView*> cards = cardViews(*view);
    ASSERT_EQ(cards.size(), 3);

    QList<QWidget*> stops;
    Find::part<QWidget>(*view, "attentionRefresh")->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 40 && !stops.contains(QApplication::focusWidget()); ++i) {
        stops << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const auto at = [&](QWidget* w) { return stops.indexOf(w); };
    const qsizetype entry = at(view->attention()->reviewEntry()->button());
    ASSERT_GE(entry, 0);
    qsizetype previous = 0;
    for (RecommendationCardView* card : cards) {
        const qsizetype place = at(Find::part<QWidget>(card, "recAction"));
        EXPECT_GT(place, previous) << Find::part<QLabel>(card, "recTitle")->text().toStdString();
        previous = place;
    }
    EXPECT_LT(previous, entry) << "a card comes after the guided review under it";
}

// Every switch of section builds a new home screen: the review's place must outlive it.
TEST_F(DashboardViewTest, AReviewLeftToActOnACardContinuesOnTheNextHomeScreen) {
    publish(troubled());
    auto first = makeView();
    QTest::mouseClick(first->attention()->reviewEntry()->button(), Qt::LeftButton);
    QTest::mouseClick(Find::part<QPushButton>(first->reviewSheet(), "reviewAction"),
                      Qt::LeftButton);
    EXPECT_EQ(screen.guidedStep(), 1);
    first.reset();

    auto second = makeView();
    GuidedReviewEntryCard* entry = second->attention()->reviewEntry();
    EXPECT_FALSE(second->reviewSheet()->isVisible());
    EXPECT_EQ(Find::part<QLabel>(entry, "guidedEntryTitle")->text(), "Continue today's review");
    EXPECT_EQ(entry->button()->text(), "Continue");
    QTest::mouseClick(entry->button(), Qt::LeftButton);
    EXPECT_EQ(Find::part<QLabel>(second->reviewSheet(), "reviewStepHeader")->text(),
              "Recommendation 2 of 3");
}

TEST_F(DashboardViewTest, FullDiskAccessCardFollowsTheRecheck) {
    Permissions missing([] { return false; });
    publish(sample());
    auto view =
        std::make_unique<DashboardView>(*appState, missing, *health, screen, *clock, account);
    view->resize(1000, 900);
    view->show();
    auto* card = Find::part<FullDiskAccessCard>(*view, "fullDiskAccessCard");
    card->setProbe([] { return false; }); // this machine would always say granted
    ASSERT_TRUE(card->isVisible());
    QTest::mouseClick(Find::part<QPushButton>(card, "recheckFullDiskAccess"),
                      Qt::LeftButton); // still not granted here
    EXPECT_TRUE(card->isVisible());
    missing.setHasFullDiskAccess(true);
    EXPECT_FALSE(card->isVisible());

    auto granted = makeView();
    EXPECT_FALSE(Find::part<QWidget>(*granted, "fullDiskAccessCard")->isVisible());
}

} // namespace
