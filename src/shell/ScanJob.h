#pragma once

#include "platform/CancelToken.h"

#include <mutex>
#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>
#include <utility>

// The job slot of a service that runs one cancellable scan at a time (cleaners, large files,
// disk map, duplicates, …): every new scan cancels the one before it, and results that arrive
// from a scan that is no longer current are dropped.
//
// Use, all on the service's (main) thread:
//   const ScanJob::Ticket t = m_job.restart();           // cancels the previous scan
//   ScanJob::runInPool([t, self = QPointer(this), …] {   // worker: poll t.cancel between files
//       …
//       ScanJob::deliver(self, [t, result](Service* s) {  // back on the main thread
//           if (s->m_job.isCurrent(t.generation)) s->apply(result);
//       });
//   });
// The worker must own (or share) everything it reads: the service may be gone before it ends.
class ScanJob {
public:
    struct Ticket {
        quint64 generation = 0;
        CancelToken cancel;
    };

    // Cancels the current scan, if any, and opens the next one.
    Ticket restart() {
        m_current.cancel.cancel();
        m_current = Ticket{m_current.generation + 1, CancelToken()};
        return m_current;
    }

    // Cancels the current scan; its late results are no longer current.
    void cancel() {
        m_current.cancel.cancel();
        m_current = Ticket{m_current.generation + 1, CancelToken()};
    }

    bool isCurrent(quint64 generation) const { return generation == m_current.generation; }

    // Runs work on the shared thread pool.
    // The job is handed over under the same lock as deliver()'s results, for the same reason.
    template <typename Work> static void runInPool(Work&& work) {
        auto job = [work = std::forward<Work>(work)]() mutable {
            { std::lock_guard received(handOverLock()); }
            work();
        };
        std::lock_guard lock(handOverLock());
        QThreadPool::globalInstance()->start(std::move(job));
    }

    // Calls fn(receiver) on the main thread later, if the receiver still exists then. Callable
    // from any thread. The application object carries the call, so a receiver destroyed
    // meanwhile is seen as null instead of being touched.
    template <typename Receiver, typename Fn>
    static void deliver(QPointer<Receiver> receiver, Fn fn) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return; // shutting down: nobody is left to receive it
        // Qt's event queue is ordered by locks a race detector cannot see (Debian's Qt is not
        // instrumented), so the hand-over is also ordered by this lock: the call is made under
        // it here, and taken first on the main thread before anything captured is read.
        std::lock_guard lock(handOverLock());
        QMetaObject::invokeMethod(
            app,
            [receiver, fn = std::move(fn)]() mutable {
                { std::lock_guard received(handOverLock()); }
                if (Receiver* r = receiver.data())
                    fn(r);
            },
            Qt::QueuedConnection);
    }

private:
    static std::mutex& handOverLock() {
        static std::mutex lock;
        return lock;
    }

    Ticket m_current;
};
