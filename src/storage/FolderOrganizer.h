#pragma once

#include "platform/HomeLayout.h"
#include "shell/ScanService.h"
#include "storage/OrganizerFiles.h"
#include "storage/OrganizerJournals.h"
#include "storage/OrganizerRecords.h"
#include "storage/OrganizerRun.h"
#include "storage/OrganizerState.h"

#include <functional>
#include <memory>
#include <optional>
#include <QDir>
#include <QList>
#include <QObject>
#include <QString>

class Clock;

// Tidies the loose files at the top of Downloads and the Desktop into kind folders beside them,
// and keeps an undo record of every run.
//
// makePlan() lists both folders (as the two settings allow) on a worker and publishes the plan;
// the user's ticks live in it. Once an apply of it has run, the plan is spent. A plan belongs to
// the rules it was made under: any change of the rules drops the plan (and one being made), and
// makes it again when one was shown and not spent. An apply checks every move against the rules
// as they stand when it comes to that file, so a rule changed during a run holds for the files
// still to go. applySelected()
// moves the ticked files on a worker, one at a time, each one written to its run's journal on disk
// (in batches) before it is touched (see OrganizerJournals); undo() moves a run's files back. Both
// publish their progress at most every kProgressIntervalMs. Only one apply or
// undo runs at a time: another is refused (false) until it ends. Every move stays inside the home
// folder taken at creation, or inside the user folder it was planned in when that folder is a link
// (see OrganizerFiles); nothing is ever replaced or deleted, except a copy of our own that a run
// cut short left beside the original.
//
// Published fields change on the main thread only, each with its signal. The settings are not
// saved: every launch starts with both folders and 7 days.
class FolderOrganizer : public QObject {
    Q_OBJECT
public:
    // Composed from the preview's slot and the moves lane (see OrganizerState).
    using State = OrganizerState;

    struct Deps {
        // Dates of runs, the plan's cutoff and the 30-day window; the system clock when null.
        std::shared_ptr<const Clock> clock;
        // Called on the worker before each file of an apply or undo (index from 0); tests hold a
        // run open with it.
        std::function<void(int index)> beforeStep;
        // Called before every write of a journal file; a non-zero errno fails that write as the
        // system would (tests stand in a full disk with it).
        OrganizerJournals::WriteCheck beforeJournalWrite;
        // Milliseconds on a steady clock, read on the worker to space out progress; the
        // machine's monotonic clock when null.
        std::function<qint64()> steadyMs;
        // Called on the worker that lists the folders for a plan, before it starts; tests and
        // screenshots hold a preview there.
        std::function<void()> beforePlan;
    };

    // A run in progress publishes its count at most this often, and once more at its end.
    static constexpr qint64 kProgressIntervalMs = 100;

    explicit FolderOrganizer(HomeLayout layout, QObject* parent = nullptr);
    FolderOrganizer(HomeLayout layout, Deps options, QObject* parent = nullptr);
    ~FolderOrganizer() override;

    // The moves lane's state while a run has a say (from its start until the preview next
    // changes), the preview's otherwise.
    State state() const;
    const std::optional<OrganizerPlan>& plan() const { return m_plan; }
    const QList<OrganizerJournal>& history() const { return m_history; }
    // In clean form (no trailing or doubled "/"), as every bound check compares it.
    QString home() const { return QDir::cleanPath(m_layout.home()); }
    QString journalDirectory() const { return m_journals.directory(); }

    bool includeDownloads() const { return m_includeDownloads; }
    bool includeDesktop() const { return m_includeDesktop; }
    int leaveRecentDays() const { return m_leaveRecentDays; }
    // A change drops the plan; see above.
    void setIncludeDownloads(bool on);
    void setIncludeDesktop(bool on);
    void setLeaveRecentDays(int days);

    // Builds a plan from the current settings and publishes it, then Ready when it has a move,
    // else Failed "Nothing matched the current rules.". The listing (top levels only) runs on
    // the shared pool; only the newest request publishes.
    void makePlan();
    // The plan for the current settings and the clock's now, built at once.
    OrganizerPlan buildPlan() const;
    // Flips the tick of the plan's first move with this id; nothing without one.
    void toggleMove(const QString& id);
    QList<OrganizerMove> selectedMoves() const;
    qint64 selectedBytes() const;

    // Reads the journal folder again on the worker, after any apply or undo started before, and
    // publishes what it holds: runs of this home of the last 30 days not undone, newest first.
    // When a run was cut short in the middle of a step, that step is settled there too (leftover
    // copies cleaned up, see OrganizerFiles::settle) and the history published again; an apply
    // or undo started meanwhile waits for both.
    void loadHistory();
    // Applies the ticked moves. Failed "Nothing is selected to move." without any; false (and
    // nothing changes) while an apply or undo runs. A run whose journal cannot be saved stops
    // there, Failed with the system's reason; what it moved before is in the history.
    bool applySelected();
    // Moves a run's files back, then publishes undone() with the counts, or Failed when the
    // undo had to stop because its steps could not be recorded. False, touching nothing, for a
    // run already undone, a journal whose id is not a UUID, or while an apply or undo runs.
    bool undo(const OrganizerJournal& journal);
    // Waits for the running apply, undo, reading of the history or settling to end (results
    // still arrive from the event loop).
    void waitForWork();

signals:
    void stateChanged();
    void planChanged();
    void historyChanged();
    void settingsChanged();

private:
    QDateTime now() const;
    // True from the start of an apply or undo until its end was published.
    bool moving() const { return m_moves && m_moves->isBusy(); }
    // Sets the moves lane, announcing it when what state() shows changes.
    void setMoves(const State& moves);
    // After every change of the preview's state: it takes the place of what the last run said,
    // unless a run is still going.
    void planStateChanged();
    OrganizerFiles::Bounds bounds() const;
    // The user folders the settings tidy, in clean form.
    QStringList roots() const;
    OrganizerFiles::Rules rules() const;
    void rulesChanged();
    void finishApply(const OrganizerJournal& journal, const OrganizerRun::Applied& applied);
    void finishUndo(const OrganizerJournal& journal, const OrganizerRun::Undone& undone);
    void publishHistory(const OrganizerJournal& journal);
    void setHistory(QList<OrganizerJournal> history);

    HomeLayout m_layout;
    Deps m_options;
    OrganizerJournals m_journals;
    // The moves lane: the latest apply or undo while it runs, then how it ended (or why it did
    // not start); none before any, and none again once the preview's state has moved on.
    std::optional<State> m_moves;
    std::optional<OrganizerPlan> m_plan;
    QList<OrganizerJournal> m_history;
    bool m_includeDownloads = true;
    bool m_includeDesktop = true;
    int m_leaveRecentDays = 7;
    // Plans published so far, and which of them the last apply started from: that one is marked
    // spent once the apply has run.
    quint64 m_planCount = 0;
    quint64 m_appliedPlan = 0;
    // The rules as the settings stand, shared with a run in progress, which reads them before
    // each file.
    struct LiveRules;
    std::shared_ptr<LiveRules> m_liveRules;
    // What making a plan reads: its own copies.
    struct PlanRequest {
        OrganizerFiles::Bounds bounds;
        OrganizerFiles::Rules rules;
        std::function<void()> beforePlan;
    };
    std::optional<QString> publishPlan(OrganizerPlan plan);
    ScanService<PlanRequest, NoProgress, OrganizerPlan> m_planning;
    // One thread of its own, so the settling of interrupted steps, applies and undos run one
    // after another in the order started. Last, so a run in flight finishes its file (and its
    // journal) before the rest of the organizer goes.
    ScanJob m_work{1};
};
