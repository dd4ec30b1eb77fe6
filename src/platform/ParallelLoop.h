#pragma once

#include "platform/ThreadUse.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

// The app's one fan-out of work over threads inside a job that already runs off the main thread
// (the folder walk, hashing, feature prints, several walks at once). The threads live only for
// the call: every function returns when all of its threads have ended.
//
// How many threads a loop takes follows one rule, from the processors the machine reports and
// from what its items wait on:
// - a loop whose items wait on the disk when their data is not in memory yet, as on the first
//   scan after a start (a folder to read, a file's blocks to read): it starts on flatThreads()
//   threads and grows towards diskThreads(), four per processor, at least 8 and at most 32, only
//   while its threads wait on the disk (Pace; runOnDisk() and the folder walk do this). A thread
//   blocked on a read costs no processor, so more of them keep more requests in flight; with
//   the data in memory, threads beyond the processors only contend for them. Measured on
//   8 processors over 100,000 files, medians of five runs with the page cache dropped before
//   each (the disk itself answers faster or slower from one hour to the next, so each figure is
//   the range over several sets): the walk took 281 ms on 8 threads, 192-221 growing to 16,
//   172-187 to 24, 168-201 to 32, 176 to 48 and 192 to 64 (gdu 375-390 ms); the disk map 263,
//   196-206, 171, 173-187 and 172 ms; the duplicate search 1,560 ms on 8 threads and
//   1,080-1,370 growing to 32, against 1,190-1,225 to 16, bound by the disk's own rate for its
//   1.5 GiB of reads. Warm, growing to 32 stays on 8 threads and takes what 8 took (walk 55
//   against 57 ms, disk map 58.5 against 57.5), where a fixed 16 had cost 3-5 % and a fixed 32 a
//   quarter of the duplicate search. The duplicate search's reads were also tried with 32
//   threads of which only 8 computed at once: no faster than 16 cold. The cap keeps a slow disk
//   or a network mount from being flooded. A walk that runs inside an outer loop (a walk per
//   cleaner row) keeps flatThreads(): the outer loop's walks together already keep that many
//   requests in flight.
// - a loop that has the machine to itself and whose items compute (a hash, a decode):
//   flatThreads(), every processor, at most 8;
// - a loop that leaves room for other parallel work, because its items fan out again (a walk
//   per item) or it shares the thread pool with other scans (the folder tree's measuring):
//   outerThreads(), 2 on five processors or fewer, else half of them, at most 6.
// A caller passes a count of its own only where a test or a benchmark pins one.
namespace ParallelLoop {

// The processors the machine reports, at least 1.
inline int processors() {
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

inline int flatThreads(int processors = ParallelLoop::processors()) {
    return std::clamp(processors, 1, 8);
}

// The most threads a loop over the disk grows to (see above); it starts on flatThreads().
inline int diskThreads(int processors = ParallelLoop::processors()) {
    return std::clamp(4 * processors, 8, 32);
}

inline int outerThreads(int processors = ParallelLoop::processors()) {
    return processors > 5 ? std::min(processors / 2, 6) : 2;
}

inline int64_t wallNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Tells one thread of a loop over the disk whether its items wait on the disk. The thread
// reports each item it finishes with the wall-clock time it took; once such time adds up to a
// window, what the thread has used is read (two system calls a window, not one an item). A
// window waited on the disk when the thread caused reads from storage in it and was on a
// processor for less than half of it. Both are asked for: a thread kept off the processors by
// other threads, or by the machine it runs on, is not waiting on the disk, and more threads
// would only make that worse; and a thread that reads but still computes most of the time gains
// nothing from company. Where the kernel keeps no per-thread reads, the processor time alone
// decides.
class Pace {
public:
    static constexpr int64_t kWindowNs = 2000000;
    using Probe = std::function<ThreadUse::Sample()>;
    // Reads the calling thread's use; tests pass a probe of their own.
    explicit Pace(Probe probe = ThreadUse::now) : m_probe(std::move(probe)), m_mark(m_probe()) {}

    // True when the item closes a window that waited on the disk.
    bool finished(int64_t itemNs) {
        m_itemNs += itemNs;
        if (m_itemNs < kWindowNs)
            return false;
        const ThreadUse::Sample now = m_probe();
        const bool read =
            now.readBytes < 0 || m_mark.readBytes < 0 || now.readBytes > m_mark.readBytes;
        const bool blocked = read && 2 * (now.cpuNs - m_mark.cpuNs) < m_itemNs;
        m_mark = now;
        m_itemNs = 0;
        return blocked;
    }

private:
    Probe m_probe;
    ThreadUse::Sample m_mark;
    int64_t m_itemNs = 0;
};

// Runs body(worker, grow) on `start` threads, the calling thread being worker 0. Any of them may
// call grow() to start `start` more (never more than `most` in all: later calls start nothing),
// as a loop over the disk does when its Pace says the threads wait on it; with start == most it is
// a fixed fan-out (run()). Worker numbers stay below `most`; the call returns when every thread it
// started has returned. A thread the system refuses is not started, so a body must not count on
// every worker number running: the indices of run() go to the workers that do.
template <typename Body> void onGrowingThreads(int start, int most, const Body& body) {
    most = std::max(most, 1);
    start = std::clamp(start, 1, most);
    std::mutex lock;
    std::vector<std::thread> helpers;
    int started = 1; // the caller is worker 0
    bool closed = false;
    std::function<void()> grow;
    // With the lock held. A thread the system refuses ends the growing, not the loop: the
    // threads already running do the work.
    const auto launch = [&](int count) {
        try {
            for (const int to = std::min(most, started + count); started < to; ++started)
                helpers.emplace_back([&body, &grow, worker = started] { body(worker, grow); });
        } catch (const std::system_error&) {
            most = started;
        }
    };
    grow = [&] {
        const std::lock_guard<std::mutex> guard(lock);
        if (!closed)
            launch(start);
    };
    {
        const std::lock_guard<std::mutex> guard(lock);
        launch(start - 1);
    }
    body(0, grow);
    for (size_t i = 0;; ++i) {
        std::thread next;
        {
            const std::lock_guard<std::mutex> guard(lock);
            if (i == helpers.size()) {
                closed = true;
                break;
            }
            next = std::move(helpers[i]);
        }
        next.join();
    }
}

// body(index, worker) runs once for every index below count, on at most `threads` threads (never
// more than there are indices), the calling thread being worker 0. Indices are handed out one at
// a time in ascending order, so a slow item never holds up a batch, and a caller that orders its
// work biggest first gets the best balance. The body must be thread-safe; what it writes per
// index needs no lock when each index has its own slot. A body that sees its job cancelled
// returns at once for each remaining index.
template <typename Body> void run(size_t count, int threads, const Body& body) {
    if (count == 0)
        return;
    const int workers = int(std::clamp<size_t>(size_t(std::max(threads, 1)), 1, count));
    std::atomic<size_t> next{0};
    onGrowingThreads(workers, workers, [&](int worker, const std::function<void()>&) {
        for (size_t i = next.fetch_add(1, std::memory_order_relaxed); i < count;
             i = next.fetch_add(1, std::memory_order_relaxed))
            body(i, worker);
    });
}

// run() for a loop whose items wait on the disk when their data is not in memory yet: it starts
// on as many threads as processors (flatThreads(), at most `most`) and, while a thread's Pace says
// its items wait on the disk, grows towards `most` (diskThreads() for the app's loops).
template <typename Body> void runOnDisk(size_t count, int most, const Body& body) {
    if (count == 0)
        return;
    const int ceiling = int(std::clamp<size_t>(size_t(std::max(most, 1)), 1, count));
    std::atomic<size_t> next{0};
    onGrowingThreads(std::min(ceiling, flatThreads()), ceiling,
                     [&](int worker, const std::function<void()>& grow) {
                         Pace pace;
                         for (size_t i = next.fetch_add(1, std::memory_order_relaxed); i < count;
                              i = next.fetch_add(1, std::memory_order_relaxed)) {
                             const int64_t began = wallNs();
                             body(i, worker);
                             if (pace.finished(wallNs() - began))
                                 grow();
                         }
                     });
}

} // namespace ParallelLoop
