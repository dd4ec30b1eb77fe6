#include "platform/ParallelLoop.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

TEST(ParallelLoop, ThreadCountsFollowOneRule) {
    const std::pair<int, int> flat[] = {{1, 1}, {4, 4}, {8, 8}, {12, 8}, {64, 8}};
    for (const auto& [processors, threads] : flat)
        EXPECT_EQ(ParallelLoop::flatThreads(processors), threads) << processors;
    const std::pair<int, int> disk[] = {{1, 8}, {2, 8}, {4, 16}, {6, 24}, {8, 32}, {64, 32}};
    for (const auto& [processors, threads] : disk)
        EXPECT_EQ(ParallelLoop::diskThreads(processors), threads) << processors;
    const std::pair<int, int> outer[] = {{1, 2},  {4, 2},  {5, 2},  {6, 3},  {7, 3}, {8, 4},
                                         {10, 5}, {11, 5}, {12, 6}, {32, 6}, {64, 6}};
    for (const auto& [processors, threads] : outer)
        EXPECT_EQ(ParallelLoop::outerThreads(processors), threads) << processors;
    EXPECT_GE(ParallelLoop::processors(), 1);
}

// Every index runs exactly once, each worker on a thread of its own, never more workers than
// asked for or than there are indices.
TEST(ParallelLoop, EveryIndexOnceOnBoundedWorkers) {
    for (const auto& [count, threads] :
         {std::pair<size_t, int>{0, 4}, {1, 4}, {3, 8}, {1000, 4}, {50, 0}, {50, -3}}) {
        std::vector<int> runs(count, 0);
        std::mutex lock;
        std::set<int> workers;
        std::set<std::thread::id> threadIds;
        ParallelLoop::run(count, threads, [&](size_t i, int worker) {
            ++runs[i]; // one slot per index: no lock needed
            std::lock_guard guard(lock);
            workers.insert(worker);
            threadIds.insert(std::this_thread::get_id());
        });
        for (size_t i = 0; i < count; ++i)
            EXPECT_EQ(runs[i], 1) << count << " " << i;
        const size_t most = std::min(size_t(std::max(threads, 1)), count);
        EXPECT_LE(workers.size(), most) << count;
        EXPECT_EQ(threadIds.size(), workers.size());
        for (int w : workers)
            EXPECT_LT(size_t(w), most);
    }
}

// Threads start as asked, each grow() adds as many again, and never beyond the most: worker
// numbers stay below it, the caller is worker 0, and the call returns only after every thread it
// started, including those started late by another thread, has run.
TEST(ParallelLoop, GrowingThreadsAddTheirStartUpToTheMost) {
    for (const auto& [start, most, grows] :
         {std::tuple{3, 7, 3}, {4, 4, 2}, {9, 5, 0}, {0, 3, 5}, {2, 0, 1}}) {
        const std::thread::id caller = std::this_thread::get_id();
        std::mutex lock;
        std::multiset<int> seen;
        std::thread::id zero;
        ParallelLoop::onGrowingThreads(start, most, [&](int worker, const auto& grow) {
            if (worker == 1)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            {
                std::lock_guard guard(lock);
                seen.insert(worker);
                if (worker == 0)
                    zero = std::this_thread::get_id();
            }
            // A late thread may grow the loop as well as the first ones.
            if (worker == std::max(std::min(start, most), 1) - 1)
                for (int g = 0; g < grows; ++g)
                    grow();
        });
        const int ceiling = std::max(most, 1);
        const int first = std::clamp(start, 1, ceiling);
        const int expected = std::min(ceiling, first + grows * first);
        std::multiset<int> all;
        for (int w = 0; w < expected; ++w)
            all.insert(w);
        EXPECT_EQ(seen, all) << start << " " << most << " " << grows;
        EXPECT_EQ(zero, caller);
    }
}

// A window is only judged once its items add up to one; it waited on the disk when the thread
// read from storage in it and computed for less than half of it. Kept off the processors
// without reading (other threads, the machine), or reading while mostly computing, it did not.
TEST(ParallelLoop, PaceTellsWaitingOnTheDiskFromComputingAndFromBeingCrowdedOut) {
    constexpr int64_t window = ParallelLoop::Pace::kWindowNs;
    ThreadUse::Sample use{0, 1000};
    ParallelLoop::Pace pace([&use] { return use; });

    use.cpuNs += window / 10;
    use.readBytes += 4096;
    EXPECT_FALSE(pace.finished(window / 2)) << "half a window is not judged yet";
    EXPECT_TRUE(pace.finished(window / 2)) << "reads, blocked nine tenths of the window";

    use.cpuNs += window / 10;
    EXPECT_FALSE(pace.finished(window)) << "blocked without reading: crowded out, not the disk";

    use.cpuNs += window * 9 / 10;
    use.readBytes += 4096;
    EXPECT_FALSE(pace.finished(window)) << "reads but computes most of the time";

    use.cpuNs += window * 4 / 10;
    use.readBytes += 4096;
    EXPECT_TRUE(pace.finished(window)) << "reads and computes less than half";

    // Where the kernel keeps no per-thread reads, the processor time alone decides.
    ThreadUse::Sample unknown{0, -1};
    ParallelLoop::Pace blind([&unknown] { return unknown; });
    unknown.cpuNs += window / 10;
    EXPECT_TRUE(blind.finished(window));
    unknown.cpuNs += window;
    EXPECT_FALSE(blind.finished(window));
}

TEST(ParallelLoop, RunOnDiskRunsEveryIndexOnceBelowItsMost) {
    for (const auto& [count, most] : {std::pair<size_t, int>{0, 4}, {1, 32}, {500, 32}, {50, 0}}) {
        std::vector<std::atomic<int>> runs(count);
        std::atomic<int> highest{-1};
        ParallelLoop::runOnDisk(count, most, [&](size_t i, int worker) {
            ++runs[i];
            for (int h = highest.load(); worker > h && !highest.compare_exchange_weak(h, worker);)
                ;
        });
        for (size_t i = 0; i < count; ++i)
            EXPECT_EQ(runs[i].load(), 1) << count << " " << i;
        EXPECT_LT(highest.load(), std::max(most, 1));
    }
}

// The thread's own use: its processor time grows as it computes, and where the kernel keeps
// per-thread I/O accounting its reads are known.
TEST(ThreadUse, ReadsTheCallingThreadsProcessorTimeAndReads) {
    const ThreadUse::Sample before = ThreadUse::now();
    volatile uint64_t spin = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
    while (std::chrono::steady_clock::now() < until)
        spin = spin + 1;
    const ThreadUse::Sample after = ThreadUse::now();
    EXPECT_GT(after.cpuNs, before.cpuNs);
    if (::access("/proc/self/io", R_OK) == 0) {
        EXPECT_GE(before.readBytes, 0);
        EXPECT_GE(after.readBytes, before.readBytes);
    }
}
