#include "storage/FolderOrganizer.h"

#include "platform/AppSupportFolder.h"
#include "platform/Clock.h"
#include "platform/JsonFields.h"
#include "storage/OrganizerFiles.h"
#include "storage/OrganizerText.h"

#include <algorithm>
#include <chrono>
#include <QDir>
#include <QMutex>
#include <QUuid>

namespace {

// Spaces out a run's progress: a step is published only when the interval has passed since the
// last one published (or since the start), so thousands of quick moves cost the screen a few
// updates a second. The end of the run is published by its finish.
class ProgressPacer {
public:
    explicit ProgressPacer(std::function<qint64()> ms)
        : m_ms(ms ? std::move(ms) : [] {
              return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count());
          }),
          m_last(m_ms()) {}

    bool due() {
        const qint64 now = m_ms();
        if (now - m_last < FolderOrganizer::kProgressIntervalMs)
            return false;
        m_last = now;
        return true;
    }

private:
    std::function<qint64()> m_ms;
    qint64 m_last;
};

} // namespace

struct FolderOrganizer::LiveRules {
    mutable QMutex lock;
    QStringList folders;
    int leaveRecentDays = 0;

    void set(const QStringList& f, int days) {
        const QMutexLocker locked(&lock);
        folders = f;
        leaveRecentDays = days;
    }
    OrganizerFiles::Rules at(const QDateTime& now) const {
        const QMutexLocker locked(&lock);
        return {folders, now, leaveRecentDays};
    }
};

FolderOrganizer::FolderOrganizer(HomeLayout layout, QObject* parent)
    : FolderOrganizer(std::move(layout), Deps(), parent) {}

FolderOrganizer::FolderOrganizer(HomeLayout layout, Deps options, QObject* parent)
    : QObject(parent), m_layout(std::move(layout)), m_options(std::move(options)),
      m_journals(m_layout, m_options.beforeJournalWrite),
      m_planning(this,
                 [](const PlanRequest& r, const auto& run) {
                     if (r.beforePlan)
                         r.beforePlan();
                     if (run.isCancelled())
                         return OrganizerPlan();
                     return OrganizerFiles::buildPlan(r.bounds, r.rules);
                 },
                 {{},
                  [this](OrganizerPlan plan) { return publishPlan(std::move(plan)); },
                  [this] { planStateChanged(); }}) {
    if (!m_options.clock)
        m_options.clock = std::make_shared<SystemClock>();
    m_liveRules = std::make_shared<LiveRules>();
    m_liveRules->set(roots(), m_leaveRecentDays);
}

FolderOrganizer::~FolderOrganizer() = default;

OrganizerFiles::Bounds FolderOrganizer::bounds() const {
    // Both user folders, whether or not they are tidied now: an undo may concern either.
    return {home(),
            {QDir::cleanPath(m_layout.downloadsDir()), QDir::cleanPath(m_layout.desktopDir())}};
}

QDateTime FolderOrganizer::now() const {
    return m_options.clock->now();
}

FolderOrganizer::State FolderOrganizer::state() const {
    return m_moves ? *m_moves : State::ofPlan(m_planning.state());
}

void FolderOrganizer::setMoves(const State& moves) {
    const State before = state();
    m_moves = moves;
    if (state() != before)
        emit stateChanged();
}

void FolderOrganizer::planStateChanged() {
    // A run in progress keeps its own state; the preview's shows again once it has ended.
    if (moving())
        return;
    m_moves.reset();
    emit stateChanged();
}

void FolderOrganizer::setIncludeDownloads(bool on) {
    if (on == m_includeDownloads)
        return;
    m_includeDownloads = on;
    rulesChanged();
}

void FolderOrganizer::setIncludeDesktop(bool on) {
    if (on == m_includeDesktop)
        return;
    m_includeDesktop = on;
    rulesChanged();
}

void FolderOrganizer::setLeaveRecentDays(int days) {
    if (days == m_leaveRecentDays)
        return;
    m_leaveRecentDays = days;
    rulesChanged();
}

void FolderOrganizer::rulesChanged() {
    m_liveRules->set(roots(), m_leaveRecentDays);
    emit settingsChanged();
    // A plan made under the old rules is never applied: it goes, with any plan still being made.
    // A preview the user was looking at is made again under the new rules.
    const bool wanted = m_planning.isRunning() || (m_plan.has_value() && !m_plan->spent);
    m_planning.cancel();
    if (m_plan) {
        m_plan.reset();
        emit planChanged();
    }
    if (moving())
        return;
    if (wanted)
        makePlan();
}

OrganizerFiles::Rules FolderOrganizer::rules() const {
    return {roots(), now(), m_leaveRecentDays};
}

QStringList FolderOrganizer::roots() const {
    QStringList roots;
    if (m_includeDownloads)
        roots.append(QDir::cleanPath(m_layout.downloadsDir()));
    if (m_includeDesktop)
        roots.append(QDir::cleanPath(m_layout.desktopDir()));
    return roots;
}

OrganizerPlan FolderOrganizer::buildPlan() const {
    return OrganizerFiles::buildPlan(bounds(), rules());
}

void FolderOrganizer::makePlan() {
    // A new preview takes the place of what the last run said. A preview restarted while one is
    // being made leaves the slot Running, which the slot does not announce: that is done here.
    const bool outcomeShown = m_moves && !moving();
    const bool restart = m_planning.isRunning();
    if (outcomeShown)
        m_moves.reset();
    m_planning.start({bounds(), rules(), m_options.beforePlan});
    if (outcomeShown && restart)
        emit stateChanged();
}

// Only the newest request publishes, so a burst of clicks shows one plan; a change of the rules
// also makes the request old.
std::optional<QString> FolderOrganizer::publishPlan(OrganizerPlan plan) {
    m_plan = std::move(plan);
    ++m_planCount;
    emit planChanged();
    // A plan with nothing to move fails the preview; a run in progress still shows over it.
    if (m_plan->moves.isEmpty())
        return QStringLiteral("Nothing matched the current rules.");
    return std::nullopt;
}

void FolderOrganizer::toggleMove(const QString& id) {
    if (!m_plan)
        return;
    for (OrganizerMove& move : m_plan->moves) {
        if (move.id == id) {
            move.isEnabled = !move.isEnabled;
            emit planChanged();
            return;
        }
    }
}

QList<OrganizerMove> FolderOrganizer::selectedMoves() const {
    return m_plan ? m_plan->selectedMoves() : QList<OrganizerMove>();
}

qint64 FolderOrganizer::selectedBytes() const {
    return m_plan ? m_plan->selectedBytes() : 0;
}

void FolderOrganizer::loadHistory() {
    // A run of thousands of moves is a long journal and log to read and decode: the worker does
    // it, after any apply or undo started before, so it reads what they wrote. For the same
    // reason no run of this organizer is in flight while it reads, and a journal that shows a
    // step cut short there is one to settle.
    const OrganizerJournals store = m_journals;
    m_work.run([self = QPointer(this), store, now = now(), home = home(), bounds = bounds()] {
        QList<OrganizerJournal> interrupted;
        ScanJob::deliver(
            self, [history = store.history(now, home, &interrupted)](FolderOrganizer* o) mutable {
                o->setHistory(std::move(history));
            });
        if (interrupted.isEmpty())
            return;
        for (OrganizerJournal journal : interrupted)
            OrganizerRun::recover(journal, bounds, store);
        ScanJob::deliver(self, [history = store.history(now, home)](FolderOrganizer* o) mutable {
            o->setHistory(std::move(history));
        });
    });
}

void FolderOrganizer::setHistory(QList<OrganizerJournal> history) {
    // The runs it replaces may hold the last copies of thousands of moves: the pool frees them.
    ScanJob::runInPool(
        [gone = std::exchange(m_history, std::move(history))]() mutable { gone = {}; });
    emit historyChanged();
}

void FolderOrganizer::waitForWork() {
    m_work.waitForDone();
}

bool FolderOrganizer::applySelected() {
    if (moving())
        return false;
    const qsizetype selected = m_plan ? m_plan->selectedCount() : 0;
    if (selected == 0) {
        setMoves(State::failure(QStringLiteral("Nothing is selected to move.")));
        return true;
    }
    setMoves(State::running(0, int(selected)));

    // The moves are copied out of the plan by the run: thousands of them would hold this thread.
    OrganizerJournal journal;
    journal.id = JsonFields::uuidText(QUuid::createUuid());
    journal.startedAt = secondsSinceReferenceDate(now());
    journal.homePath = home();

    // A preview still listing would list files on the move: it is dropped.
    m_planning.cancel();
    m_appliedPlan = m_planCount;

    const OrganizerJournals store = m_journals;
    const auto clock = m_options.clock;
    const auto beforeStep = m_options.beforeStep;
    // After any settling started before it.
    m_work.run([self = QPointer(this), planned = journal, plan = m_plan->moves, store, clock,
                beforeStep, steadyMs = m_options.steadyMs, bounds = bounds(), live = m_liveRules] {
        OrganizerJournal journal = planned;
        OrganizerPlan whole;
        whole.moves = plan;
        journal.planned = whole.selectedMoves();
        int step = 0;
        if (beforeStep)
            beforeStep(step);
        ProgressPacer pacer(steadyMs);
        const OrganizerRun::Applied applied = OrganizerRun::apply(
            journal, store, bounds, [live, clock] { return live->at(clock->now()); },
            [clock] { return clock->now(); },
            [&self, &step, &beforeStep, &pacer](int done, int total) {
                if (pacer.due())
                    ScanJob::deliver(self, [done, total](FolderOrganizer* o) {
                        o->setMoves(State::running(done, total));
                    });
                if (beforeStep && done < total)
                    beforeStep(++step);
            });
        ScanJob::deliver(
            self, [journal, applied](FolderOrganizer* o) { o->finishApply(journal, applied); });
    });
    return true;
}

void FolderOrganizer::publishHistory(const OrganizerJournal& journal) {
    // The history may have been read again while the run went on: the run is there once.
    auto it = std::find_if(m_history.begin(), m_history.end(),
                           [&journal](const OrganizerJournal& j) { return j.id == journal.id; });
    // The entry it replaces may hold the last copy of thousands of moves: the pool frees it.
    if (it != m_history.end())
        ScanJob::runInPool([gone = std::exchange(*it, journal)]() mutable { gone = {}; });
    else
        m_history.prepend(journal);
    emit historyChanged();
}

void FolderOrganizer::finishApply(const OrganizerJournal& journal,
                                  const OrganizerRun::Applied& applied) {
    if (!applied.started) {
        setMoves(State::failure(OrganizerText::journalNotSaved(applied.stopReason)));
        return;
    }
    publishHistory(journal);
    // The plan no longer describes the folders: applying it again needs a new preview.
    if (m_plan && m_planCount == m_appliedPlan && !m_plan->spent) {
        m_plan->spent = true;
        emit planChanged();
    }
    if (!applied.stopReason.isEmpty())
        setMoves(State::failure(
            OrganizerText::applyStopped(int(journal.completed.size()), applied.stopReason)));
    else
        setMoves(State::finished(int(journal.completed.size()), int(journal.failures.size())));
}

bool FolderOrganizer::undo(const OrganizerJournal& journal) {
    if (moving() || journal.undoneAt || !OrganizerJournals::hasValidId(journal))
        return false;
    setMoves(State::undoing(0, int(journal.completed.size())));

    const OrganizerJournals store = m_journals;
    const auto clock = m_options.clock;
    const auto beforeStep = m_options.beforeStep;
    // After any settling started before it.
    m_work.run([self = QPointer(this), run = journal, store, clock, beforeStep,
                steadyMs = m_options.steadyMs, bounds = bounds()] {
        OrganizerJournal journal = run;
        int step = 0;
        if (beforeStep && !journal.completed.isEmpty())
            beforeStep(step);
        ProgressPacer pacer(steadyMs);
        const OrganizerRun::Undone undone = OrganizerRun::undo(
            journal, bounds, store, [clock] { return clock->now(); },
            [&self, &step, &beforeStep, &pacer](int done, int total) {
                if (pacer.due())
                    ScanJob::deliver(self, [done, total](FolderOrganizer* o) {
                        o->setMoves(State::undoing(done, total));
                    });
                if (beforeStep && done < total)
                    beforeStep(++step);
            });
        ScanJob::deliver(self,
                         [journal, undone](FolderOrganizer* o) { o->finishUndo(journal, undone); });
    });
    return true;
}

void FolderOrganizer::finishUndo(const OrganizerJournal& journal,
                                 const OrganizerRun::Undone& undone) {
    for (OrganizerJournal& entry : m_history) {
        if (entry.id == journal.id) {
            // The applied run's record may be the last copy of its moves: the pool frees it.
            ScanJob::runInPool([gone = std::exchange(entry, journal)]() mutable { gone = {}; });
            emit historyChanged();
            break;
        }
    }
    if (!undone.stopReason.isEmpty())
        setMoves(State::failure(OrganizerText::undoStopped(
            undone.restored, undone.restored + undone.notRestored, undone.stopReason)));
    else
        setMoves(State::undone(undone.restored, undone.notRestored));
}
