#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// The fan-out of the finders' per-file work (hashing, feature prints): body(index, worker) runs
// once for every index below count, on `threads` threads, the calling thread being worker 0.
// Indices are handed out one at a time in ascending order, so a slow file never holds up a
// batch, and a caller that orders its work biggest first gets the best balance. Returns when
// every index is done; no thread outlives the call. The body must be thread-safe; what it
// writes per index needs no lock when each index has its own slot.
namespace ParallelLoop {

template <typename Body> void run(size_t count, int threads, const Body& body) {
    if (count == 0)
        return;
    const int workers = int(std::clamp<size_t>(size_t(std::max(threads, 1)), 1, count));
    std::atomic<size_t> next{0};
    auto work = [&](int worker) {
        for (size_t i = next.fetch_add(1, std::memory_order_relaxed); i < count;
             i = next.fetch_add(1, std::memory_order_relaxed))
            body(i, worker);
    };
    std::vector<std::thread> helpers;
    helpers.reserve(size_t(workers - 1));
    for (int w = 1; w < workers; ++w)
        helpers.emplace_back(work, w);
    work(0);
    for (std::thread& t : helpers)
        t.join();
}

} // namespace ParallelLoop
