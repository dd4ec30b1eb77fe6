#pragma once

#include "storage/OrganizerFiles.h"
#include "storage/OrganizerJournals.h"
#include "storage/OrganizerRecords.h"

#include <functional>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Carrying out and reversing runs, synchronously on the calling thread (the organizer runs them
// on a worker). progress is called after each step with (steps done, steps in all).
namespace OrganizerRun {

using Progress = std::function<void(int done, int total)>;
using Now = std::function<QDateTime()>;

struct Applied {
    bool started = false; // the journal was on disk before the first move
    QString stopReason;   // why the run stopped before its end (the system's reason); else empty
};
// The organizer's rules as they stand at the moment of asking; called on the worker.
using CurrentRules = std::function<OrganizerFiles::Rules()>;
// Moves journal.planned one by one within bounds (whose home is journal.homePath), announcing
// them to the log in batches of kBatch. Each move is checked against the rules as they stand
// just before its batch, and again just before its file is touched: a move the rules no longer
// allow is refused. Every move is in the log on disk before its file is touched; the first
// write of the record that fails stops the run there, so every file moved so far stays
// undoable. Nothing moves when the journal cannot be saved at the start.
constexpr int kBatch = 256;
Applied apply(OrganizerJournal& journal, const OrganizerJournals& store,
              const OrganizerFiles::Bounds& bounds, const CurrentRules& rules, const Now& now,
              const Progress& progress = {});

struct Undone {
    int restored = 0;     // files moved back
    int notRestored = 0;  // completed moves that are not back: refused, or not tried
    QStringList failures; // one per refused step
    QString stopReason;   // why the undo stopped before its end; else empty
};
// Settles the run's interrupted steps, then moves back journal.completed, last first, within both
// journal.homePath and bounds (the real home's); a move no run could have made (see
// OrganizerFiles::isRunMove, over bounds.folders) is refused, never taken. Every step is in the
// log before its file is touched, and a step that cannot be recorded is not taken. Moves put back
// leave completed, failures are appended, and undoneAt is stamped when the undo got to its end.
Undone undo(OrganizerJournal& journal, const OrganizerFiles::Bounds& bounds,
            const OrganizerJournals& store, const Now& now, const Progress& progress = {});

// Settles the run's interrupted steps (see OrganizerFiles::settle) and records the outcome, so
// a copy left half-made by a run cut short is cleaned up and a moved file is undoable. A step
// no run could have made is settled as not done without a look at its files, and named among
// the journal's failures (notARunMove). False
// when the outcome could not be recorded (the files are then as settle left them, and the next
// start settles them again).
bool recover(OrganizerJournal& journal, const OrganizerFiles::Bounds& bounds,
             const OrganizerJournals& store);

} // namespace OrganizerRun
