#include "shell/ScanJob.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <QThread>
#include <semaphore>
#include <vector>

namespace {

// Stands in for a service: receives what the work delivers.
class Receiver : public QObject {
public:
    std::vector<int> got;
};

} // namespace

TEST(ScanJob, RestartCancelsTheScanBeforeAndOnlyTheNewestIsCurrent) {
    ScanJob job;
    const ScanJob::Ticket first = job.restart();
    EXPECT_TRUE(job.isCurrent(first.generation));
    const ScanJob::Ticket second = job.restart();
    EXPECT_TRUE(first.cancel.isCancelled());
    EXPECT_FALSE(second.cancel.isCancelled());
    EXPECT_FALSE(job.isCurrent(first.generation));
    EXPECT_TRUE(job.isCurrent(second.generation));
    job.cancel();
    EXPECT_TRUE(second.cancel.isCancelled());
    EXPECT_FALSE(job.isCurrent(second.generation));
}

// Delivery happens on the main thread from the event loop, never inside the call, and not at all
// once the receiver has gone.
TEST(ScanJob, DeliverRunsLaterOnTheMainThreadAndSkipsAGoneReceiver) {
    auto kept = std::make_unique<Receiver>();
    auto gone = std::make_unique<Receiver>();
    QThread* deliveredOn = nullptr;
    ScanJob::runInPool([kept = QPointer<Receiver>(kept.get()),
                        gone = QPointer<Receiver>(gone.get()), &deliveredOn] {
        ScanJob::deliver(kept, [&deliveredOn](Receiver* r) {
            deliveredOn = QThread::currentThread();
            r->got.push_back(1);
        });
        ScanJob::deliver(gone, [](Receiver* r) { r->got.push_back(2); });
    });
    gone.reset();
    ASSERT_TRUE(testsupport::waitFor([&] { return !kept->got.empty(); }));
    EXPECT_EQ(deliveredOn, QThread::currentThread());
    EXPECT_EQ(kept->got, std::vector<int>{1});

    bool called = false;
    ScanJob::deliver([&called] { called = true; });
    EXPECT_FALSE(called);
    EXPECT_TRUE(testsupport::waitFor([&called] { return called; }));
}

// A lane of one thread runs its work in the order started; the job knows while any runs and
// waits for all of it, queued work included.
TEST(ScanJob, AOneThreadLaneRunsInOrderAndIsWaitedFor) {
    ScanJob lane(1);
    std::binary_semaphore gate(0);
    std::mutex lock;
    std::vector<int> order;
    std::atomic<int> concurrent{0};
    std::atomic<int> mostAtOnce{0};
    for (int k = 0; k < 5; ++k) {
        lane.run([&, k] {
            const int now = ++concurrent;
            mostAtOnce = std::max(mostAtOnce.load(), now);
            if (k == 0)
                gate.acquire();
            {
                std::lock_guard guard(lock);
                order.push_back(k);
            }
            --concurrent;
        });
    }
    EXPECT_TRUE(lane.isRunning());
    gate.release();
    lane.waitForDone();
    EXPECT_FALSE(lane.isRunning());
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(mostAtOnce.load(), 1);
}

// Destroying the job waits for the work it ran, so that work may use what the service keeps for
// its whole life; what the work captured is gone by then too.
TEST(ScanJob, DestructionWaitsForTheWorkAndItsCaptures) {
    std::atomic<bool> finished{false};
    auto held = std::make_shared<int>(7);
    std::weak_ptr<int> watch = held;
    {
        ScanJob job(2);
        job.run([&finished, held = std::move(held)] {
            QThread::msleep(50);
            finished = *held == 7;
        });
    }
    EXPECT_TRUE(finished.load());
    EXPECT_TRUE(watch.expired());
}
