#include "fakes/FakeMemoryBlockAllocator.h"
#include "fakes/FakeSnapshotSampler.h"
#include "support/TestSupport.h"
#include "vitals/AppState.h"
#include "vitals/SystemStatsSampler.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>

using testsupport::waitFor;

namespace {

// Timer ticks every millisecond, Refresh and free-memory requests from the main thread, all at
// once, for a while.
void hammer(AppState& app, int rounds) {
    for (int i = 0; i < rounds; ++i) {
        app.sampleAndPublish();
        if (i % 40 == 0)
            app.freeMemory();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
}

bool settled(
    const AppState& app, const std::function<bool()>& extra = [] { return true; }) {
    return waitFor([&] { return !app.isFreeingMemory() && extra(); }, 10'000);
}

} // namespace

TEST(AppStateStress, RealSamplerOnAFixtureMachine) {
    auto allocator = std::make_shared<FakeMemoryBlockAllocator>();
    AppState::Options options;
    options.intervalMs = 1;
    options.makeSampler = [allocator] {
        SamplerEnvironment env;
        env.procRoot = testsupport::fixture("vitals/laptop/proc");
        env.sysRoot = testsupport::fixture("vitals/laptop/sys");
        env.homePath = testsupport::home();
        env.allocator = allocator; // never real memory in a test
        return std::make_unique<SystemStatsSampler>(env);
    };
    AppState app(options);
    hammer(app, 400);
    ASSERT_TRUE(settled(app));
    EXPECT_TRUE(app.hasFirstSample());
    EXPECT_LE(app.memoryHistory().size(), AppState::historyLimit);
    EXPECT_EQ(app.memoryHistory().size(), app.diskUsedHistory().size());
    EXPECT_EQ(app.snapshot().batteryPercent, 87);
    EXPECT_EQ(app.snapshot().thermal.fans.size(), 2);
}

TEST(AppStateStress, SamplesNeverOverlap) {
    auto state = std::make_shared<FakeSamplerState>();
    state->setMake([](int, int n) {
        SystemSnapshot s;
        s.memFreeBytes = quint64(n);
        return s;
    });
    AppState::Options options;
    options.intervalMs = 1;
    options.makeSampler = FakeSnapshotSampler::factory(state);
    {
        AppState app(options);
        hammer(app, 2000);
        ASSERT_TRUE(settled(app));
        EXPECT_GT(state->samples, 1);
        EXPECT_GE(state->relieves, 1);
    }
    EXPECT_EQ(state->mostBusy, 1);
    EXPECT_EQ(state->busy, 0);
}

TEST(AppStateStress, DestroyedWithWorkInFlight) {
    auto state = std::make_shared<FakeSamplerState>();
    for (int i = 0; i < 30; ++i) {
        AppState::Options options;
        options.intervalMs = 1;
        options.makeSampler = FakeSnapshotSampler::factory(state);
        auto app = std::make_unique<AppState>(options);
        app->sampleAndPublish();
        app->freeMemory();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        app.reset();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(state->busy, 0);
    EXPECT_EQ(state->mostBusy, 1);
}
