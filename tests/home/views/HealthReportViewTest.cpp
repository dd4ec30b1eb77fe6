#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeSnapshotSampler.h"
#include "home/HomeTestSupport.h"
#include "support/TestSupport.h"

#include "home/views/HealthReportView.h"
#include "platform/NotificationCenter.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "ui-kit/QKFocusRing.h"
#include "vitals/AppState.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace hometest;

namespace {

class HealthReportViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        appState = std::make_unique<AppState>(FakeSnapshotSampler::appStateOptions(samples));
        health = std::make_unique<HealthCheck>(
            HomeLayout::forHome(testsupport::freshDir("home")),
            HealthCheck::Deps{.measure = measure, .clock = nullptr, .walkerThreads = 1});
    }

    void publish(const SystemSnapshot& s) {
        samples->set(s);
        QSignalSpy spy(appState.get(), &AppState::snapshotChanged);
        appState->sampleAndPublish();
        ASSERT_TRUE(testsupport::waitFor([&] { return spy.count() > 0; }));
    }

    std::unique_ptr<HealthReportView> makeView() {
        auto view = std::make_unique<HealthReportView>(*appState, *health);
        view->resize(900, 800);
        view->show();
        QCoreApplication::processEvents();
        return view;
    }

    std::shared_ptr<FakeSamplerState> samples = std::make_shared<FakeSamplerState>();
    std::unique_ptr<AppState> appState;
    std::shared_ptr<FakeCategoryMeasure> measure = std::make_shared<FakeCategoryMeasure>();
    std::unique_ptr<HealthCheck> health;
};

TEST_F(HealthReportViewTest, StartsTheCheckOnlyOncePerRun) {
    publish(sample());
    auto first = makeView();
    EXPECT_TRUE(health->isChecking());
    EXPECT_EQ(Find::part<QLabel>(*first, "reportRecovery")->text(), "Nothing flagged yet");
    ASSERT_TRUE(testsupport::waitFor([&] { return !health->isChecking(); }));
    const int measured = int(measure->measured().size());
    first.reset();

    auto second = makeView();
    EXPECT_FALSE(health->isChecking());
    EXPECT_EQ(measure->measured().size(), measured);
}

// The recommendation rows' sentences, in order.
QStringList recommendations(const HealthReportView& view) {
    QStringList texts;
    for (const QLabel* text : Find::parts<QLabel>(view, "recommendationText"))
        texts << text->text();
    return texts;
}

TEST_F(HealthReportViewTest, RecommendationsFollowTheCheckAndOpenTheirSection) {
    measure->setResult("logs", {3'000'000, 9, {}});
    // Held until the view has been looked at before the check ends; shared with the measuring
    // threads, which may outlive a failed assertion.
    auto gate = std::make_shared<QSemaphore>();
    measure->setHook([gate](const CleanCategory&, const CancelToken&) { gate->acquire(); });
    publish(sample(0.5, 0.5, 10));
    auto view = makeView();
    EXPECT_EQ(recommendations(*view), QStringList({"Nothing urgent. Your Mac looks healthy."}));
    EXPECT_TRUE(Find::parts<QPushButton>(*view, "recommendationOpen").isEmpty());
    gate->release(1000);

    ASSERT_TRUE(testsupport::waitFor([&] { return !health->isChecking(); }));
    EXPECT_EQ(Find::part<QLabel>(*view, "reportRecovery")->text(), "3 MB");
    EXPECT_EQ(recommendations(*view), QStringList({"Clear 3 MB of safe temporary files."}));
    ASSERT_EQ(Find::parts<QPushButton>(*view, "recommendationOpen").size(), 1);

    QStringList opened;
    QObject context;
    NotificationCenter::defaultCenter().observe(Notifications::OpenSection, &context,
                                                [&](const QString& id) { opened << id; });
    QTest::mouseClick(Find::parts<QPushButton>(*view, "recommendationOpen").front(),
                      Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({"disk"}));
    EXPECT_EQ(Find::part<QLabel>(*view, "reportScore")->text(), "100");
    EXPECT_EQ(Find::part<QLabel>(*view, "reportPerformance")->text(), "Good");
}

// The page scrolls by Tab through its "Open" buttons, so it is no stop of its own while it holds
// one; each button's name says what it opens, heard without its row.
TEST_F(HealthReportViewTest, TheOpenButtonsAreTheTabStopsAndSayWhatTheyOpen) {
    QKFocusRing::watchScrollAreas();
    measure->setResult("logs", {3'000'000, 9, {}});
    publish(sample(0.5, 0.5, 10));
    auto view = makeView();
    auto* scroll = view->findChild<QScrollArea*>();
    ASSERT_TRUE(scroll);
    EXPECT_EQ(scroll->focusPolicy() & Qt::TabFocus, Qt::TabFocus) << "nothing else to reach yet";

    ASSERT_TRUE(testsupport::waitFor([&] { return !health->isChecking(); }));
    QCoreApplication::processEvents();
    const QList<QPushButton*> open = Find::parts<QPushButton>(*view, "recommendationOpen");
    ASSERT_EQ(open.size(), 1);
    EXPECT_NE(scroll->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(open.front());
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(QAccessible::Name), "Open Storage");
}

// Where the page itself is the Tab stop, its ring stands 3:1 apart from what is beside it even
// when the report fills a card on a backdrop of another colour, as a section of the window does.
TEST_F(HealthReportViewTest, ThePagesRingStandsApartFromABackdropBesideIt) {
    QKFocusRing::watchScrollAreas();
    publish(sample(0.5, 0.5, 10));
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette backdrop = window.palette();
    backdrop.setColor(QPalette::Window, QColor(0x6f, 0x8c, 0xe0));
    window.setPalette(backdrop);
    auto* card = new QWidget(&window);
    card->setAutoFillBackground(true);
    QPalette surface = card->palette();
    surface.setColor(QPalette::Window, QColor(0xf0, 0xf2, 0xf5));
    card->setPalette(surface);
    auto* around = new QVBoxLayout(&window);
    around->setContentsMargins(8, 8, 8, 8);
    around->addWidget(card);
    auto* inside = new QVBoxLayout(card);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->addWidget(new HealthReportView(*appState, *health, card));
    window.resize(900, 1000);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(testsupport::waitFor([&] { return !health->isChecking(); }));
    auto* scroll = window.findChild<QScrollArea*>();
    ASSERT_TRUE(scroll);
    ASSERT_FALSE(scroll->verticalScrollBar()->isVisible()) << "the report fits: nothing beside it";
    ASSERT_EQ(scroll->focusPolicy() & Qt::TabFocus, Qt::TabFocus);

    // The window gave the page the focus as it opened, not by keyboard: take it back first.
    scroll->clearFocus();
    QCoreApplication::processEvents();
    const QRect place = QRect(scroll->mapTo(&window, QPoint(0, 0)), scroll->size())
                            .adjusted(-3, -3, 3, 3)
                            .intersected(window.rect());
    const QImage plain = window.grab(place).toImage();
    window.setAttribute(Qt::WA_KeyboardFocusChange);
    scroll->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_TRUE(scroll->hasFocus());
    const testsupport::RingSides sides =
        testsupport::ringSides(plain, window.grab(place).toImage(), 3.0);
    // Each side of the ring seen, and no more than one in eight of its pixels faint (its corners).
    EXPECT_GE(sides.seen, 4 * std::min(scroll->width(), scroll->height()));
    EXPECT_LE(sides.faint * 8, sides.seen + sides.faint);
}

} // namespace
