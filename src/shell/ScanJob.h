#pragma once

#include "platform/CancelToken.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>
#include <utility>

// The one way a service runs work off the main thread and hands the results back (the vitals
// sampler's own thread is the one exception, see AppState). Three parts:
//
// - The job slot beneath a service's scans (ScanService, shell/ScanService.h, which a service that
//   runs one cancellable scan at a time holds): restart() cancels the scan before it and opens the
//   next one, and results that arrive from a scan that is no longer current are dropped.
// - Where the work runs: runInPool() hands it to the shared thread pool, for work nobody waits
//   for. run() hands it to this job's lane: the shared pool, or threads of its own when made with
//   ScanJob(ownThreads), for work that must not hold a thread the scans need (a blocking tool),
//   that must run one piece after another (ownThreads 1: in the order started), or that the
//   service waits for (isRunning(), waitForDone(), and the destructor, which waits).
// - deliver(): the way back to the main thread, ordered for every observer (race detectors
//   included), and dropped when its receiver has gone meanwhile.
//
// Use, all on the service's (main) thread (ScanService writes this once for every scan):
//   const ScanJob::Ticket t = m_job.restart();           // cancels the previous scan
//   ScanJob::runInPool([t, self = QPointer(this), …] {   // worker: poll t.cancel between files
//       …
//       ScanJob::deliver(self, [t, result](Service* s) {  // back on the main thread
//           if (s->m_job.isCurrent(t.generation)) s->apply(result);
//       });
//   });
// The worker must own (or share) everything it reads, and reach its service only through
// deliver(): the service may be gone before the work ends. Work that the service's destructor
// waits for (run()) may read what the service keeps for the whole of its life.
class ScanJob {
public:
    struct Ticket {
        quint64 generation = 0;
        CancelToken cancel;
    };

    // run() uses the shared thread pool.
    ScanJob() = default;
    // run() uses threads of this job's own, at most ownThreads (at least 1) at once; more work
    // waits its turn, in the order started.
    explicit ScanJob(int ownThreads) : m_pool(std::make_unique<QThreadPool>()) {
        m_pool->setMaxThreadCount(ownThreads < 1 ? 1 : ownThreads);
    }
    // Waits for the work started with run(); what it delivers afterwards finds no receiver when
    // the receiver was the service going away.
    ~ScanJob() { waitForDone(); }
    ScanJob(const ScanJob&) = delete;
    ScanJob& operator=(const ScanJob&) = delete;

    // Cancels the current scan, if any, and opens the next one.
    Ticket restart() {
        cancel();
        return m_current;
    }

    // Cancels the current scan; its late results are no longer current.
    void cancel() {
        m_current.cancel.cancel();
        m_current = Ticket{m_current.generation + 1, CancelToken()};
    }

    bool isCurrent(quint64 generation) const { return generation == m_current.generation; }
    // Moved on by every restart() and cancel().
    quint64 generation() const { return m_current.generation; }

    // Runs work on this job's lane (see the constructors).
    template <typename Work> void run(Work&& work) {
        {
            std::lock_guard lock(m_runs->lock);
            ++m_runs->running;
        }
        start(m_pool ? m_pool.get() : QThreadPool::globalInstance(),
              [runs = m_runs, work = std::forward<Work>(work)]() mutable {
                  {
                      // What the work captured goes before the job counts as done.
                      auto owned = std::move(work);
                      owned();
                  }
                  std::lock_guard lock(runs->lock);
                  if (--runs->running == 0)
                      runs->idle.notify_all();
              });
    }

    // Whether work started with run() has not ended yet.
    bool isRunning() const {
        std::lock_guard lock(m_runs->lock);
        return m_runs->running > 0;
    }

    // Blocks until every piece of work started with run() has ended, queued work included.
    // Results it delivered still arrive from the event loop.
    void waitForDone() const {
        std::unique_lock lock(m_runs->lock);
        m_runs->idle.wait(lock, [this] { return m_runs->running == 0; });
    }

    // Runs work on the shared thread pool; nobody waits for it.
    template <typename Work> static void runInPool(Work&& work) {
        start(QThreadPool::globalInstance(), std::forward<Work>(work));
    }

    // Calls fn(receiver) on the main thread later, if the receiver still exists then. Callable
    // from any thread. The application object carries the call, so a receiver destroyed
    // meanwhile is seen as null instead of being touched.
    template <typename Receiver, typename Fn>
    static void deliver(QPointer<Receiver> receiver, Fn fn) {
        deliver([receiver, fn = std::move(fn)]() mutable {
            if (Receiver* r = receiver.data())
                fn(r);
        });
    }

    // Calls fn() on the main thread later, from the event loop (never inside this call), unless
    // the application is shutting down. Callable from any thread.
    template <typename Fn> static void deliver(Fn fn) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return; // shutting down: nobody is left to receive it
        // Qt's event queue is ordered by locks a race detector cannot see (Debian's Qt is not
        // instrumented), so the hand-over is also ordered by this lock: the call is made under
        // it here, and taken first on the main thread before anything captured is read.
        std::lock_guard lock(handOverLock());
        QMetaObject::invokeMethod(
            app,
            [fn = std::move(fn)]() mutable {
                { std::lock_guard received(handOverLock()); }
                fn();
            },
            Qt::QueuedConnection);
    }

private:
    // What run() counts, shared with the work so that it outlives a job that stopped waiting.
    struct Runs {
        std::mutex lock;
        std::condition_variable idle;
        int running = 0;
    };

    // The job is handed over under the same lock as deliver()'s results, for the same reason.
    template <typename Work> static void start(QThreadPool* pool, Work&& work) {
        auto job = [work = std::forward<Work>(work)]() mutable {
            { std::lock_guard received(handOverLock()); }
            // What the work captured goes here, on this side of the hand-over, not later in the
            // pool's own code.
            auto owned = std::move(work);
            owned();
        };
        std::lock_guard lock(handOverLock());
        pool->start(std::move(job));
    }

    static std::mutex& handOverLock() {
        static std::mutex lock;
        return lock;
    }

    std::shared_ptr<Runs> m_runs = std::make_shared<Runs>();
    std::unique_ptr<QThreadPool> m_pool;
    Ticket m_current;
};
