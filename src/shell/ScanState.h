#pragma once

#include <QString>
#include <utility>

// Where a cancellable scan stands. Idle before the first start and after a cancel; Running from a
// start until its result was handled; then Done, or Failed with the sentence for the user.
enum class ScanPhase { Idle, Running, Done, Failed };

// The progress of a scan that reports none.
struct NoProgress {
    bool operator==(const NoProgress&) const = default;
};

// The state of a scan as its service publishes it: kept by the scan's slot (ScanService), so a
// service declares none of its own. `progress` is the latest step the service accepted while
// Running (a default Progress otherwise); `failure` is empty unless Failed.
template <typename Progress> struct ScanState {
    ScanPhase phase = ScanPhase::Idle;
    Progress progress = Progress();
    QString failure;

    static ScanState running(Progress step = Progress()) {
        return ScanState{ScanPhase::Running, std::move(step), QString()};
    }
    static ScanState done() { return ScanState{ScanPhase::Done, Progress(), QString()}; }
    static ScanState failed(QString sentence) {
        return ScanState{ScanPhase::Failed, Progress(), std::move(sentence)};
    }
    bool isRunning() const { return phase == ScanPhase::Running; }
    bool operator==(const ScanState&) const = default;
};
