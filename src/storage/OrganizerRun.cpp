#include "storage/OrganizerRun.h"

#include "storage/OrganizerFiles.h"

#include <algorithm>
#include <QSet>

namespace OrganizerRun {

Applied apply(OrganizerJournal& journal, const OrganizerJournals& store,
              const OrganizerFiles::Bounds& bounds, const CurrentRules& rules, const Now& now,
              const Progress& progress) {
    Applied result;
    const std::unique_ptr<OrganizerJournalLog> log = store.open(journal, &result.stopReason);
    if (!log)
        return result;
    result.started = true;
    const int total = int(journal.planned.size());
    const auto refuse = [&](const OrganizerMove& move, const QString& failure) {
        const QString line = move.displayName + QStringLiteral(": ") + failure;
        journal.failures.append(line);
        return log->refused(line, &result.stopReason);
    };
    for (int first = 0; first < total; first += kBatch) {
        const int end = std::min(total, first + kBatch);
        // Each move is checked just before its batch, so a kind folder missing then is named as
        // created by every move of the batch that goes into it; undo removes it once empty.
        QList<OrganizerFiles::Outcome> checked;
        QList<OrganizerCompletedMove> announced;
        const OrganizerFiles::Rules batchRules = rules();
        for (int i = first; i < end; ++i) {
            checked.append(OrganizerFiles::checkMove(journal.planned.at(i), bounds, batchRules));
            if (checked.constLast().moved)
                announced.append(*checked.constLast().moved);
        }
        // On disk before any of their files is touched: the record never lags a move.
        if (!announced.isEmpty() && !log->willMove(announced, &result.stopReason))
            return result;
        for (int i = first; i < end; ++i) {
            const OrganizerFiles::Outcome& allowed = checked.at(i - first);
            if (allowed.moved) {
                const QString failure = OrganizerFiles::carryOut(*allowed.moved, rules());
                if (failure.isEmpty()) {
                    journal.completed.append(*allowed.moved);
                    // When this line is lost, the next start finds the file moved and says so.
                    if (!log->stepDone(true, &result.stopReason))
                        return result;
                } else if (!refuse(journal.planned.at(i), failure)) {
                    return result;
                }
            }
            if (progress)
                progress(i + 1, total);
        }
        // The moves refused before they were announced, once no announced step is waiting.
        for (int i = first; i < end; ++i)
            if (!checked.at(i - first).moved &&
                !refuse(journal.planned.at(i), checked.at(i - first).refusal))
                return result;
    }
    journal.finishedAt = secondsSinceReferenceDate(now());
    // Every move is on record already; a run whose end is not is shown as cut short, nothing more.
    QString ignored;
    if (!log->finished(*journal.finishedAt, &ignored))
        journal.finishedAt.reset();
    return result;
}

namespace {

// Settles every interrupted step through the open log; false when an outcome could not be
// recorded (the steps left stay interrupted).
bool settleAll(OrganizerJournal& journal, const OrganizerFiles::Bounds& bounds,
               OrganizerJournalLog& log, QString* error) {
    while (!journal.interrupted.isEmpty()) {
        const OrganizerInterruptedStep step = journal.interrupted.first();
        const bool fits = OrganizerFiles::isRunMove(step.move.sourcePath, step.move.destinationPath,
                                                    bounds.folders);
        const bool done =
            fits &&
            (step.back
                 ? OrganizerFiles::settle(step.move.destinationPath, step.move.sourcePath, bounds)
                 : OrganizerFiles::settle(step.move.sourcePath, step.move.destinationPath, bounds));
        if (!log.settled(step, done, error))
            return false;
        journal.interrupted.removeFirst();
        OrganizerJournals::settleStep(journal, step, done);
        // After the settled line, so no step is waiting and the refusal stands on its own.
        if (!fits) {
            const QString failure = OrganizerFiles::notARunMove(step.move.destinationPath);
            if (!log.refused(failure, error))
                return false;
            journal.failures.append(failure);
        }
    }
    return true;
}

} // namespace

bool recover(OrganizerJournal& journal, const OrganizerFiles::Bounds& bounds,
             const OrganizerJournals& store) {
    QString error;
    const std::unique_ptr<OrganizerJournalLog> log = store.open(journal, &error);
    return log && settleAll(journal, bounds, *log, &error);
}

Undone undo(OrganizerJournal& journal, const OrganizerFiles::Bounds& bounds,
            const OrganizerJournals& store, const Now& now, const Progress& progress) {
    Undone result;
    const std::unique_ptr<OrganizerJournalLog> log = store.open(journal, &result.stopReason);
    if (!log || !settleAll(journal, bounds, *log, &result.stopReason)) {
        result.notRestored = int(journal.completed.size());
        return result;
    }
    const QList<OrganizerCompletedMove> steps = journal.completed;
    const int total = int(steps.size());
    for (int first = 0; first < total; first += kBatch) {
        const int end = std::min(total, first + kBatch);
        QList<OrganizerCompletedMove> batch;
        for (int i = first; i < end; ++i)
            batch.append(steps.at(total - 1 - i));
        if (!log->willMoveBack(batch, &result.stopReason)) {
            result.notRestored = total - result.restored;
            return result;
        }
        for (const OrganizerCompletedMove& move : std::as_const(batch)) {
            const std::optional<QString> failure =
                OrganizerFiles::undoMove(move, journal.homePath, bounds);
            QString recordError;
            bool recorded = false;
            if (failure) {
                result.failures.append(*failure);
                journal.failures.append(*failure);
                recorded = log->refused(*failure, &recordError);
            } else {
                ++result.restored;
                OrganizerJournals::settleStep(journal, {true, move}, true);
                recorded = log->stepDone(true, &recordError);
            }
            // An outcome that did not reach the log is found again from the files next time.
            if (!recorded) {
                result.stopReason = recordError;
                result.notRestored = total - result.restored;
                return result;
            }
            if (progress)
                progress(result.restored + int(result.failures.size()), total);
        }
    }
    result.notRestored = total - result.restored;
    journal.undoneAt = secondsSinceReferenceDate(now());
    // Without its stamp the run stays offered, with the moves that are not back yet.
    QString ignored;
    if (!log->undone(*journal.undoneAt, &ignored))
        journal.undoneAt.reset();
    return result;
}

} // namespace OrganizerRun
