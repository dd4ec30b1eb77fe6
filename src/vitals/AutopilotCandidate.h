#pragma once

#include <QMetaType>
#include <QString>

// One application the performance autopilot suggests quitting. Two applications may share a
// name; `pid` tells them apart, and it is what a quit asks. Two candidates are equal when all
// fields are.
struct AutopilotCandidate {
    QString id;              // the application's name, always equal to `name`
    QString name;            // the running application's display name
    qint64 pid = 0;          // the process that owns the application's windows
    quint64 memoryBytes = 0; // resident memory, from the snapshot's top-memory list
    QString reason;          // the one line shown under the name

    friend bool operator==(const AutopilotCandidate&, const AutopilotCandidate&) = default;
};

Q_DECLARE_METATYPE(AutopilotCandidate)
