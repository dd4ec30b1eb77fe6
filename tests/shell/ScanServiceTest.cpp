#include "shell/ScanService.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <QCoreApplication>
#include <QStringList>
#include <QThreadPool>
#include <semaphore>
#include <vector>

namespace {

// Lets every piece of work in the shared pool end, then hands over what it delivered.
void drain() {
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

// A work held at a gate until the test opens it, so a scan is caught under way.
struct Gate {
    std::binary_semaphore open{0};
};

// Stands in for a service: counts up to the request's number, reporting each step, and fails on a
// negative one.
class Counter : public QObject {
public:
    struct Request {
        int upTo = 0;
        std::shared_ptr<Gate> gate;
    };
    using Slot = ScanService<Request, int, int>;

    explicit Counter(ScanJob* shared = nullptr)
        : m_slot(shared ? std::make_unique<Slot>(this, &Counter::count, handlers(), *shared)
                        : std::make_unique<Slot>(this, &Counter::count, handlers())) {}

    Slot& slot() { return *m_slot; }
    std::vector<int> steps;
    std::vector<int> results;
    std::vector<Slot::State> published; // state() at each change the slot announced

private:
    static int count(Request& request, const Slot::Run& run) {
        if (request.gate)
            request.gate->open.acquire();
        for (int i = 1; i <= request.upTo && !run.isCancelled(); ++i)
            run.progress(i);
        return request.upTo;
    }
    Slot::Handlers handlers() {
        return {[this](const int& step) {
                    steps.push_back(step);
                    if (step % 2 == 1) // an odd step only, as a service that keeps some
                        m_slot->report(step);
                },
                [this](int result) -> std::optional<QString> {
                    results.push_back(result);
                    if (result < 0)
                        return QStringLiteral("Could not count.");
                    return std::nullopt;
                },
                [this] { published.push_back(m_slot->state()); }};
    }

    std::unique_ptr<Slot> m_slot;
};

} // namespace

TEST(ScanService, AScanReportsItsStepsThenItsResultAndEndsDoneOrFailed) {
    Counter counter;
    EXPECT_EQ(counter.slot().phase(), Counter::Slot::Phase::Idle);
    EXPECT_EQ(counter.slot().generation(), 0u);

    counter.slot().start({3, nullptr});
    EXPECT_EQ(counter.slot().phase(), Counter::Slot::Phase::Running);
    EXPECT_EQ(counter.slot().generation(), 1u);
    ASSERT_TRUE(testsupport::waitFor([&] { return !counter.results.empty(); }));
    EXPECT_EQ(counter.steps, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(counter.slot().phase(), Counter::Slot::Phase::Done);
    EXPECT_TRUE(counter.slot().sentence().isEmpty());

    counter.slot().start({-1, nullptr});
    ASSERT_TRUE(testsupport::waitFor([&] { return counter.results.size() == 2; }));
    EXPECT_EQ(counter.slot().phase(), Counter::Slot::Phase::Failed);
    EXPECT_EQ(counter.slot().sentence(), "Could not count.");
}

// The slot is where a service's state lives: each change is announced once, in order, with the
// progress the service kept and the failure sentence; a cancel of an idle slot announces nothing.
TEST(ScanService, TheSlotKeepsAndAnnouncesTheState) {
    using State = Counter::Slot::State;
    Counter counter;
    counter.slot().start({3, nullptr});
    ASSERT_TRUE(testsupport::waitFor([&] { return !counter.results.empty(); }));
    EXPECT_EQ(counter.published, (std::vector<State>{State::running(0), State::running(1),
                                                     State::running(3), State::done()}));
    EXPECT_EQ(counter.slot().state(), State::done());

    counter.published.clear();
    counter.slot().start({-1, nullptr});
    ASSERT_TRUE(testsupport::waitFor([&] { return counter.results.size() == 2; }));
    EXPECT_EQ(counter.published,
              (std::vector<State>{State::running(0), State::failed("Could not count.")}));

    counter.published.clear();
    counter.slot().cancel();
    counter.slot().cancel();
    EXPECT_EQ(counter.published, std::vector<State>{State()});
    counter.slot().report(5);
    EXPECT_EQ(counter.published.size(), 1u);
}

// A new start cancels the scan before it, and nothing that scan still hands back is applied;
// cancel() does the same and leaves the slot idle.
TEST(ScanService, StartAndCancelMakeTheScanBeforeStale) {
    Counter counter;
    auto first = std::make_shared<Gate>();
    counter.slot().start({5, first});
    counter.slot().start({2, nullptr});
    EXPECT_EQ(counter.slot().generation(), 2u);
    ASSERT_TRUE(testsupport::waitFor([&] { return !counter.results.empty(); }));
    first->open.release();
    auto second = std::make_shared<Gate>();
    counter.slot().start({4, second});
    counter.slot().cancel();
    EXPECT_EQ(counter.slot().phase(), Counter::Slot::Phase::Idle);
    EXPECT_EQ(counter.slot().generation(), 4u);
    second->open.release();
    drain();
    EXPECT_EQ(counter.results, std::vector<int>{2});
    EXPECT_EQ(counter.steps, (std::vector<int>{1, 2}));
}

// Two slots on one job: starting either supersedes the other, whose scan then counts as idle.
TEST(ScanService, SlotsSharingAJobSupersedeEachOther) {
    ScanJob job;
    Counter scan(&job);
    Counter clean(&job);
    auto gate = std::make_shared<Gate>();
    scan.slot().start({3, gate});
    clean.slot().start({1, nullptr});
    EXPECT_EQ(scan.slot().phase(), Counter::Slot::Phase::Idle);
    EXPECT_EQ(scan.slot().generation(), clean.slot().generation());
    gate->open.release();
    ASSERT_TRUE(testsupport::waitFor([&] { return !clean.results.empty(); }));
    drain();
    EXPECT_TRUE(scan.results.empty());
    EXPECT_EQ(clean.slot().phase(), Counter::Slot::Phase::Done);
}

// An owner that goes while its scan runs hears nothing more; a slot with threads of its own
// waits for the work at its end.
TEST(ScanService, AGoneOwnerHearsNothingAndOwnThreadsAreWaitedFor) {
    auto gate = std::make_shared<Gate>();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    {
        QObject owner;
        using Slot = ScanService<int, NoProgress, int>;
        Slot slot(
            &owner,
            [gate, ended](int& n, const Slot::Run&) {
                gate->open.acquire();
                *ended = true;
                return n;
            },
            {{},
             [](int) -> std::optional<QString> {
                 ADD_FAILURE() << "a result reached a slot that had gone";
                 return std::nullopt;
             }},
            1);
        slot.start(7);
        gate->open.release();
    }
    EXPECT_TRUE(*ended);
    drain();
}
