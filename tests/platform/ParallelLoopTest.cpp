#include "platform/ParallelLoop.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

TEST(ParallelLoop, ThreadCountsFollowOneRule) {
    const std::pair<int, int> flat[] = {{1, 1}, {4, 4}, {8, 8}, {12, 8}, {64, 8}};
    for (const auto& [processors, threads] : flat)
        EXPECT_EQ(ParallelLoop::flatThreads(processors), threads) << processors;
    const std::pair<int, int> disk[] = {{1, 8}, {2, 8}, {4, 8}, {6, 12}, {8, 16}, {64, 16}};
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

TEST(ParallelLoop, OnThreadsRunsEachWorkerOnceWithTheCallerAsWorkerZero) {
    const std::thread::id caller = std::this_thread::get_id();
    std::mutex lock;
    std::vector<int> seen;
    std::thread::id zero;
    ParallelLoop::onThreads(5, [&](int worker) {
        std::lock_guard guard(lock);
        seen.push_back(worker);
        if (worker == 0)
            zero = std::this_thread::get_id();
    });
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(zero, caller);
}
