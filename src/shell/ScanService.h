#pragma once

#include "shell/ScanJob.h"
#include "shell/ScanState.h"

#include <concepts>
#include <functional>
#include <optional>
#include <QObject>
#include <QPointer>
#include <QString>
#include <type_traits>
#include <utility>

// The slot of a service that runs one cancellable scan at a time, typed by what a scan is asked
// (Request), what it reports on the way (Progress) and what it ends with (Result). The service
// fills it with one function, the work; the rest of the pattern is written here once:
//
// - start(request) cancels the scan before it, opens the next generation and runs the work off
//   the main thread on its own copy of the request (the shared pool, or the job's own threads
//   when the job has them, see ScanJob);
// - what the work reports through Run::progress, and the result it returns, reach the service's
//   handlers on the main thread, in that order;
// - anything a scan hands back once it is no longer current (restarted, cancelled, or its owner
//   gone) is dropped, and so is the result of a scan whose token was cancelled.
//
// State: the slot keeps the scan's ScanState and is the one place it changes; the service's
// state() is the slot's. Idle before the first start() and after cancel(); Running from start()
// (with a default Progress) until its result was handled, its progress moved on by report(); then
// Done, or Failed with the sentence the result handler returned. Every change reaches the
// `changed` handler once, after the slot took it (a start() that leaves the state as it was, say
// a restart at no progress, calls it not at all); the slot's end calls it no more. A scan that
// another slot on the same job superseded counts as Idle, unannounced: the slot that superseded
// it announces its own start.
//
// The work runs on other threads: it reads only its request (copies and shared pointers) and
// reaches the service only through the handlers. The slot is a member of its owner, the service
// the handlers belong to: the hand-back checks that the owner still exists. Two slots may share
// one ScanJob (a scan and the clean-up that works on its result): starting either cancels the
// other's work.
template <typename Request, typename Progress, typename Result> class ScanService {
public:
    using Phase = ScanPhase;
    // A step that has no resting value (no default) is the handlers' alone: the state keeps none.
    using Kept =
        std::conditional_t<std::is_default_constructible_v<Progress>, Progress, NoProgress>;
    using State = ScanState<Kept>;

    // What the work is handed besides its request. Callable from any thread.
    class Run {
    public:
        const CancelToken& cancel() const { return m_ticket.cancel; }
        bool isCancelled() const { return m_ticket.cancel.isCancelled(); }
        // Hands a step to the progress handler on the main thread, if this scan is current then.
        void progress(Progress step) const {
            ScanJob::deliver(m_owner, [slot = m_slot, generation = m_ticket.generation,
                                       step = std::move(step)](QObject*) {
                if (slot->m_job.isCurrent(generation) && slot->m_handlers.progress)
                    slot->m_handlers.progress(step);
            });
        }

    private:
        friend class ScanService;
        Run(QPointer<QObject> owner, ScanService* slot, ScanJob::Ticket ticket)
            : m_owner(std::move(owner)), m_slot(slot), m_ticket(std::move(ticket)) {}

        QPointer<QObject> m_owner;
        ScanService* m_slot; // read on the main thread only, while m_owner exists
        ScanJob::Ticket m_ticket;
    };

    // Runs off the main thread on the scan's own copy of its request, which it may move from.
    using Work = std::function<Result(Request&, const Run&)>;
    struct Handlers {
        Handlers(std::function<void(const Progress&)> onProgress = {},
                 std::function<std::optional<QString>(Result)> onResult = {},
                 std::function<void()> onChanged = {})
            : progress(std::move(onProgress)), result(std::move(onResult)),
              changed(std::move(onChanged)) {}
        // Each step the current scan reports; may be empty.
        std::function<void(const Progress&)> progress;
        // The current scan's result: nothing for Done, or the sentence that makes it Failed.
        std::function<std::optional<QString>(Result)> result;
        // After each change of state(); may be empty.
        std::function<void()> changed;
    };

    // A slot with a job of its own: ownThreads 0 runs the work on the shared pool (nobody waits
    // for it), more on that many threads of its own, which the slot's end waits for.
    ScanService(QObject* owner, Work work, Handlers handlers, int ownThreads = 0)
        : m_owner(owner), m_work(std::move(work)), m_handlers(std::move(handlers)),
          m_ownJob(ownThreads > 0 ? std::make_unique<ScanJob>(ownThreads) : nullptr),
          m_job(m_ownJob ? *m_ownJob : m_pooled) {}
    // A slot on a job it shares with another slot of the same owner; the job outlives it.
    ScanService(QObject* owner, Work work, Handlers handlers, ScanJob& sharedJob)
        : m_owner(owner), m_work(std::move(work)), m_handlers(std::move(handlers)),
          m_job(sharedJob) {}
    // Cancels the scan; its late results find no receiver.
    ~ScanService() { m_job.cancel(); }
    ScanService(const ScanService&) = delete;
    ScanService& operator=(const ScanService&) = delete;

    // Cancels the scan before it and starts this one; returns at once, Running.
    void start(Request request) {
        const ScanJob::Ticket ticket = m_job.restart();
        m_ticket = ticket;
        auto job = [run = Run(QPointer<QObject>(m_owner), this, ticket), work = m_work,
                    request = std::move(request)]() mutable {
            Result result = work(request, run);
            if (run.isCancelled())
                return;
            // Queued after every step this scan reported, so none lands after it.
            ScanJob::deliver(run.m_owner, [slot = run.m_slot, generation = run.m_ticket.generation,
                                           result = std::move(result)](QObject*) mutable {
                slot->finish(generation, std::move(result));
            });
        };
        if (m_ownJob)
            m_job.run(std::move(job));
        else
            ScanJob::runInPool(std::move(job));
        publish(State::running());
    }

    // Runs more work of this slot's latest scan on the shared pool, such as a fan-out its result
    // handler starts: handed that scan's Run, what it reports is dropped with the scan.
    void alsoRun(std::function<void(const Run&)> work) {
        ScanJob::runInPool([run = Run(QPointer<QObject>(m_owner), this, m_ticket),
                            work = std::move(work)] { work(run); });
    }

    // Cancels the current scan, if any; what it still hands back is dropped. Idle.
    void cancel() {
        m_job.cancel();
        publish(State());
    }

    // Takes the step as the running scan's progress, for a progress handler that accepts it (one
    // that drops a step out of order simply does not call this). Ignored unless Running.
    void report(Kept step) {
        if (isRunning())
            publish(State::running(std::move(step)));
    }

    State state() const {
        return m_state.phase == Phase::Running && !m_job.isCurrent(m_ticket.generation) ? State()
                                                                                        : m_state;
    }
    Phase phase() const { return state().phase; }
    bool isRunning() const { return phase() == Phase::Running; }
    // Failed only: the sentence for the user.
    const QString& sentence() const { return m_state.failure; }
    // Moved on by every start() and cancel() of the job (of either slot, when shared): tells
    // current work from stale work.
    quint64 generation() const { return m_job.generation(); }
    bool isCurrent(quint64 generation) const { return m_job.isCurrent(generation); }

private:
    void finish(quint64 generation, Result result) {
        if (!m_job.isCurrent(generation) || generation != m_ticket.generation)
            return;
        std::optional<QString> failure =
            m_handlers.result ? m_handlers.result(std::move(result)) : std::nullopt;
        if (!m_job.isCurrent(generation))
            return; // the handler started another scan
        publish(failure ? State::failed(std::move(*failure)) : State::done());
    }

    void publish(State next) {
        if constexpr (std::equality_comparable<State>)
            if (next == m_state)
                return;
        m_state = std::move(next);
        if (m_handlers.changed)
            m_handlers.changed();
    }

    QObject* m_owner;
    Work m_work;
    Handlers m_handlers;
    ScanJob m_pooled;
    std::unique_ptr<ScanJob> m_ownJob; // last of the jobs, so its end waits before the rest goes
    ScanJob& m_job;
    ScanJob::Ticket m_ticket; // of this slot's latest start()
    State m_state;
};
