#pragma once

#include <atomic>
#include <memory>

// The one cancel type of the app: a flag shared between the thread that starts a job and the
// workers that do it, down to the directory walker's loop.
//
// Copies share one flag: the starter keeps a copy to call cancel(), the job keeps another and
// polls isCancelled() between files. Cancelling is one-way and thread-safe; a cancelled job stops
// at its next poll and its partial result is meaningless (callers drop it). A default-made token
// is live and never cancelled unless someone holding a copy cancels it.
class CancelToken {
public:
    CancelToken() : m_flag(std::make_shared<std::atomic_bool>(false)) {}

    void cancel() const { m_flag->store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_flag->load(std::memory_order_relaxed); }

private:
    std::shared_ptr<std::atomic_bool> m_flag;
};
