#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// The app's one fan-out of work over threads inside a job that already runs off the main thread
// (the folder walk, hashing, feature prints, several walks at once). The threads live only for
// the call: every function returns when all of its threads have ended.
//
// How many threads a loop takes follows one rule, from the processors the machine reports and
// from what its items wait on:
// - a loop whose items wait on the disk more than they compute (a folder to read, a file's blocks
//   to read) when its data is not in memory yet, as on the first scan after a start: diskThreads().
//   A thread blocked on a read costs no processor, so more of them keep more requests in flight:
//   two per processor, at least 8 and at most 16. Measured on 8 processors over 100,000 files,
//   16 threads took a cold walk from 0.59 to 0.51 of gdu's time and a cold disk map from 0.55 to
//   0.46, warm runs within 10 ms of 8 threads; 24 or 32 gained a little more cold but made the
//   warm disk map and duplicate search a quarter slower, as the threads then contend for the
//   processors where the data is in memory. The duplicate search's content reads were also
//   tried with 32 threads of which only 8 computed at once (the others blocked on reads): cold,
//   no faster than 16 (median 1,381 ms against 1,383 over five runs each), since they read
//   1.5 GiB at the disk's own rate of about 1.3 GB/s; warm, 319 ms against 324. The cap also keeps
//   a slow disk or a network mount from being flooded. A walk that runs inside an outer loop (a
//   walk per cleaner row) keeps flatThreads(): the outer loop's walks together already keep that
//   many requests in flight.
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

inline int diskThreads(int processors = ParallelLoop::processors()) {
    return std::clamp(2 * processors, 8, 16);
}

inline int outerThreads(int processors = ParallelLoop::processors()) {
    return processors > 5 ? std::min(processors / 2, 6) : 2;
}

// Runs body(worker) once on each of `threads` threads (at least 1), the calling thread being
// worker 0, and returns when every one has returned.
template <typename Body> void onThreads(int threads, const Body& body) {
    std::vector<std::thread> helpers;
    helpers.reserve(size_t(std::max(threads - 1, 0)));
    for (int w = 1; w < threads; ++w)
        helpers.emplace_back([&body, w] { body(w); });
    body(0);
    for (std::thread& t : helpers)
        t.join();
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
    onThreads(workers, [&](int worker) {
        for (size_t i = next.fetch_add(1, std::memory_order_relaxed); i < count;
             i = next.fetch_add(1, std::memory_order_relaxed))
            body(i, worker);
    });
}

} // namespace ParallelLoop
