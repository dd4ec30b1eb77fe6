#pragma once

#include <QMetaType>
#include <QString>

// One application the performance autopilot suggests quitting. Identified by `id`; two
// candidates are equal when all four fields are.
struct AutopilotCandidate {
    QString id;              // the application's name, always equal to `name`
    QString name;            // the running application's display name
    quint64 memoryBytes = 0; // resident memory, from the snapshot's top-memory list
    QString reason;          // the one line shown under the name

    friend bool operator==(const AutopilotCandidate&, const AutopilotCandidate&) = default;
};

Q_DECLARE_METATYPE(AutopilotCandidate)
