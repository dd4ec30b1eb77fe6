// Loops that grow while they run: every worker asks for more threads at once, while the caller
// is already joining the ones started before, and every item still runs exactly once.
#include "platform/ParallelLoop.h"

#include <atomic>
#include <gtest/gtest.h>
#include <vector>

TEST(GrowStress, ThreadsStartedWhileOthersJoinRunEveryItemOnce) {
    for (int round = 0; round < 50; ++round) {
        constexpr size_t kItems = 2000;
        std::vector<std::atomic<int>> runs(kItems);
        std::atomic<size_t> next{0};
        std::atomic<int> workers{0};
        ParallelLoop::onGrowingThreads(2, 16, [&](int worker, const std::function<void()>& grow) {
            workers.fetch_add(1);
            for (size_t i = next.fetch_add(1); i < kItems; i = next.fetch_add(1)) {
                runs[i].fetch_add(1);
                if ((i + size_t(worker)) % 97 == 0)
                    grow();
            }
            grow();
        });
        for (size_t i = 0; i < kItems; ++i)
            ASSERT_EQ(runs[i].load(), 1) << round << " " << i;
        EXPECT_LE(workers.load(), 16);
    }
}
