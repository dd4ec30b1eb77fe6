#pragma once

#include "shell/ScanState.h"

#include <QString>

// What the organizer shows, composed from its two lanes: the preview's scan slot (Idle,
// Planning, Ready, or Failed when nothing matched) and the moves lane (an apply or undo Running
// or Undoing with its count, then Finished with its counts or Failed with the reason). Neither
// lane keeps this value: the organizer builds it from theirs whenever it is asked.
struct OrganizerState {
    enum class Kind { Running, Undoing, Finished, Failed, Idle, Planning, Ready };
    Kind kind = Kind::Idle;
    int done = 0;      // Running, Undoing
    int total = 0;     // Running, Undoing
    int moved = 0;     // Finished: files moved, or moved back by an undo
    int failed = 0;    // Finished: files refused, or not moved back by an undo
    bool undo = false; // Finished: the counts are an undo's
    QString message;   // Failed

    static OrganizerState of(Kind kind) {
        OrganizerState s;
        s.kind = kind;
        return s;
    }
    static OrganizerState running(int done, int total) {
        return counting(Kind::Running, done, total);
    }
    static OrganizerState undoing(int done, int total) {
        return counting(Kind::Undoing, done, total);
    }
    static OrganizerState finished(int moved, int failed) {
        OrganizerState s = of(Kind::Finished);
        s.moved = moved;
        s.failed = failed;
        return s;
    }
    static OrganizerState undone(int restored, int notRestored) {
        OrganizerState s = finished(restored, notRestored);
        s.undo = true;
        return s;
    }
    static OrganizerState failure(const QString& message) {
        OrganizerState s = of(Kind::Failed);
        s.message = message;
        return s;
    }
    // The preview slot's state as shown while no run has a say.
    static OrganizerState ofPlan(const ScanState<NoProgress>& plan) {
        switch (plan.phase) {
        case ScanPhase::Running:
            return of(Kind::Planning);
        case ScanPhase::Done:
            return of(Kind::Ready);
        case ScanPhase::Failed:
            return failure(plan.failure);
        case ScanPhase::Idle:
            break;
        }
        return {};
    }

    bool isBusy() const { return kind == Kind::Running || kind == Kind::Undoing; }
    bool operator==(const OrganizerState&) const = default;

private:
    static OrganizerState counting(Kind kind, int done, int total) {
        OrganizerState s = of(kind);
        s.done = done;
        s.total = total;
        return s;
    }
};
