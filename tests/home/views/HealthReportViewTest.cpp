#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeSnapshotSampler.h"
#include "home/HomeTestSupport.h"
#include "support/TestSupport.h"

#include "home/views/HealthReportView.h"
#include "platform/NotificationCenter.h"
#include "support/Find.h"
#include "vitals/AppState.h"

#include <gtest/gtest.h>
#include <memory>
#include <QLabel>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

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

} // namespace
