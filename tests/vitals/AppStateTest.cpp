#include "vitals/AppState.h"
#include "fakes/FakeSnapshotSampler.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <thread>

using testsupport::waitFor;

namespace {

struct Rig {
    std::shared_ptr<FakeSamplerState> state = std::make_shared<FakeSamplerState>();
    std::unique_ptr<AppState> app;

    explicit Rig(bool start = false, int intervalMs = 60'000) {
        AppState::Options options;
        options.makeSampler = FakeSnapshotSampler::factory(state);
        options.intervalMs = intervalMs;
        options.startSampling = start;
        app = std::make_unique<AppState>(options);
    }
    // Refresh and wait until the sample is applied.
    void refresh() {
        const qsizetype before = app->memoryHistory().size();
        const int samples = state->samples;
        app->sampleAndPublish();
        ASSERT_TRUE(waitFor([&] {
            return state->samples > samples &&
                   (app->memoryHistory().size() != before || before == AppState::historyLimit) &&
                   app->snapshot().memFreeBytes == quint64(state->samples.load());
        }));
    }
};

// Memory point n/1000, disk point 1 − n/1000 for sample n.
SystemSnapshot numbered(int, int n) {
    SystemSnapshot s;
    s.memTotalBytes = 1000;
    s.memFreeBytes = quint64(n);
    s.diskTotalBytes = 1000;
    s.diskFreeBytes = n;
    return s;
}

} // namespace

TEST(AppState, StartsEmptyAndUnsampled) {
    Rig rig;
    const AppState& app = *rig.app;
    EXPECT_EQ(app.snapshot().memTotalBytes, SystemSnapshot::physicalMemoryBytes());
    EXPECT_EQ(app.snapshot().memUsedBytes, 0u);
    EXPECT_FALSE(app.hasFirstSample());
    EXPECT_FALSE(app.isFreeingMemory());
    EXPECT_FALSE(app.lastFreedBytes());
    EXPECT_TRUE(app.memoryHistory().isEmpty() && app.diskUsedHistory().isEmpty());
    EXPECT_EQ(rig.state->samplersMade, 1); // the long-lived sampler
    EXPECT_EQ(app.property("hasFirstSample"), QVariant(false));
}

TEST(AppState, FirstSampleAtStartThenEveryTick) {
    Rig rig(false, 30);
    rig.state->setMake(numbered);
    QSignalSpy first(rig.app.get(), &AppState::hasFirstSampleChanged);
    rig.app->start();
    ASSERT_TRUE(waitFor([&] { return rig.app->hasFirstSample(); }));
    EXPECT_EQ(first.count(), 1);
    ASSERT_TRUE(waitFor([&] { return rig.app->memoryHistory().size() >= 4; }));
    EXPECT_EQ(first.count(), 1); // set once, never again
    EXPECT_EQ(rig.app->memoryHistory().size(), rig.app->diskUsedHistory().size());
    EXPECT_EQ(rig.state->samplersMade, 1); // periodic samples share one sampler
}

TEST(AppState, HistoriesKeepTheLatestSixty) {
    Rig rig;
    rig.state->setMake(numbered);
    QSignalSpy snapshots(rig.app.get(), &AppState::snapshotChanged);
    for (int i = 0; i < 61; ++i)
        rig.refresh();
    const QList<double> memory = rig.app->memoryHistory();
    ASSERT_EQ(memory.size(), 60);
    EXPECT_DOUBLE_EQ(memory.front(), 0.002); // the first point (0.001) is gone
    EXPECT_DOUBLE_EQ(memory.back(), 0.061);
    EXPECT_DOUBLE_EQ(rig.app->diskUsedHistory().back(), 1 - 0.061);
    for (int i = 0; i < 39; ++i)
        rig.refresh();
    EXPECT_EQ(rig.app->memoryHistory().size(), 60);
    EXPECT_EQ(rig.app->diskUsedHistory().size(), 60);
    EXPECT_EQ(snapshots.count(), 100);
    EXPECT_TRUE(rig.app->hasFirstSample());
}

TEST(AppState, HistoryPointsWithZeroTotals) {
    Rig rig;
    rig.state->setMake([](int, int n) {
        SystemSnapshot s;
        s.memTotalBytes = 0;
        s.memFreeBytes = quint64(n);
        s.diskTotalBytes = 0;
        s.diskFreeBytes = 5;
        return s;
    });
    rig.refresh();
    EXPECT_EQ(rig.app->memoryHistory(), QList<double>({0.0}));
    EXPECT_EQ(rig.app->diskUsedHistory(), QList<double>({0.0}));
}

TEST(AppState, RequestsDuringASampleCoalesce) {
    Rig rig;
    rig.state->setMake(numbered);
    rig.state->holdSamples = true;
    rig.app->sampleAndPublish();
    ASSERT_TRUE(waitFor([&] { return rig.state->busy == 1; }));
    for (int i = 0; i < 50; ++i)
        rig.app->sampleAndPublish(); // timer ticks and Refresh while the first one runs
    rig.state->gate.release(10);
    ASSERT_TRUE(waitFor([&] { return rig.app->memoryHistory().size() == 2; }));
    QTest::qWait(100);
    EXPECT_EQ(rig.state->samples, 2); // the running one and one for all that waited
    EXPECT_EQ(rig.app->memoryHistory().size(), 2);
    EXPECT_EQ(rig.state->mostBusy, 1);
}

TEST(AppState, FreeMemoryTwiceRunsOnceAndLeavesHistoriesAlone) {
    Rig rig;
    rig.state->setMake(numbered);
    rig.refresh(); // memFree 1 published, one history point
    rig.state->setMake([](int sampler, int n) {
        SystemSnapshot s = numbered(sampler, n);
        s.memFreeBytes = 501;
        s.cpuPercent = sampler == 0 ? 50 : 0;
        return s;
    });
    rig.state->holdRelieve = true;
    QSignalSpy freeing(rig.app.get(), &AppState::isFreeingMemoryChanged);
    rig.app->freeMemory();
    rig.app->freeMemory();
    EXPECT_TRUE(rig.app->isFreeingMemory());
    EXPECT_FALSE(rig.app->lastFreedBytes());
    rig.state->gate.release();
    ASSERT_TRUE(waitFor([&] { return !rig.app->isFreeingMemory(); }));
    EXPECT_EQ(rig.state->relieves, 1);
    EXPECT_EQ(rig.state->samplersMade, 2); // a fresh sampler for the run
    EXPECT_EQ(rig.app->lastFreedBytes(), 500);
    EXPECT_EQ(rig.app->snapshot().memFreeBytes, 501u);
    EXPECT_EQ(rig.app->snapshot().cpuPercent, 0);
    EXPECT_EQ(rig.app->memoryHistory().size(), 1);
    EXPECT_EQ(freeing.count(), 2); // on, then off

    // Less free memory afterwards gives 0, never a negative gain.
    rig.state->holdRelieve = false;
    rig.state->setMake([](int, int) {
        SystemSnapshot s;
        s.memFreeBytes = 10;
        return s;
    });
    rig.app->freeMemory();
    ASSERT_TRUE(waitFor([&] { return !rig.app->isFreeingMemory(); }));
    EXPECT_EQ(rig.app->lastFreedBytes(), 0);
}

TEST(AppState, FreeMemoryBeforeAnySample) {
    Rig rig;
    rig.state->setMake([](int, int) {
        SystemSnapshot s;
        s.memFreeBytes = 7'000;
        return s;
    });
    rig.app->freeMemory();
    ASSERT_TRUE(waitFor([&] { return rig.app->lastFreedBytes().has_value(); }));
    EXPECT_EQ(rig.app->lastFreedBytes(), 7'000);
    EXPECT_FALSE(rig.app->hasFirstSample()); // not a periodic sample
    EXPECT_TRUE(rig.app->memoryHistory().isEmpty());
}

TEST(AppState, FreeMemoryWaitsForTheRunningSampleAndGoesFirst) {
    Rig rig;
    rig.state->setMake(numbered);
    rig.state->holdSamples = true;
    rig.app->sampleAndPublish();
    ASSERT_TRUE(waitFor([&] { return rig.state->busy == 1; }));
    rig.app->freeMemory();
    rig.app->sampleAndPublish();
    EXPECT_EQ(rig.state->relieves, 0);
    rig.state->gate.release(3);
    ASSERT_TRUE(waitFor([&] { return rig.app->memoryHistory().size() == 2; }));
    EXPECT_EQ(rig.state->relieves, 1);
    EXPECT_EQ(rig.state->samples, 3);
    EXPECT_EQ(rig.state->mostBusy, 1); // the loop's sampler and the run's never overlap
    EXPECT_FALSE(rig.app->isFreeingMemory());
}

TEST(AppState, DestroyedWhileSampling) {
    Rig rig;
    rig.state->holdSamples = true;
    rig.app->sampleAndPublish();
    rig.app->sampleAndPublish();
    ASSERT_TRUE(waitFor([&] { return rig.state->busy == 1; }));
    std::thread releaser([state = rig.state] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state->gate.release();
    });
    rig.app.reset(); // waits for the running sample; the waiting one is dropped
    releaser.join();
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.state->samples, 1);
    EXPECT_EQ(rig.state->busy, 0);
}

TEST(AppState, QuittingNeverWaitsLongForASampleThatDoesNotReturn) {
    auto state = std::make_shared<FakeSamplerState>();
    state->holdSamples = true; // a read that never comes back, until the gate opens
    AppState::Options options;
    options.makeSampler = FakeSnapshotSampler::factory(state);
    options.startSampling = false;
    options.shutdownWaitMs = 200;
    auto app = std::make_unique<AppState>(options);
    app->sampleAndPublish();
    ASSERT_TRUE(waitFor([&] { return state->busy == 1; }));

    QElapsedTimer clock;
    clock.start();
    app.reset();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(state->samplersAlive, 1) << "the stuck job keeps its sampler";

    // When the read finally returns, the result goes to no one and the sampler is freed.
    state->gate.release();
    ASSERT_TRUE(waitFor([&] { return state->samplersAlive == 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(state->samples, 1);
    EXPECT_EQ(state->busy, 0);
}
