#pragma once

#include <optional>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The organizer's records: the moves of a plan and the journal of one run, which is what makes a
// run reversible. Journals are stored one per file (see OrganizerJournals); the JSON forms here
// are strict: every listed key is required (the two optional dates excepted) and must hold its
// own JSON type, so a record decodes whole or not at all.

// One proposed move of a plan; its id is the source path, unique within a plan.
struct OrganizerMove {
    QString id;
    QString sourcePath;
    QString destinationPath;
    QString displayName;
    qint64 sizeBytes = 0; // allocated bytes; 0 when they could not be read
    QString reason;
    bool isEnabled = true; // the user's tick

    bool operator==(const OrganizerMove&) const = default;
    QJsonObject toJson() const;
    static std::optional<OrganizerMove> fromJson(const QJsonObject& object);
};

// A move that happened: where the file was, where it went, and the one folder (the destination's
// parent) created for it, if any.
struct OrganizerCompletedMove {
    QString sourcePath;
    QString destinationPath;
    QStringList createdDirectories;

    bool operator==(const OrganizerCompletedMove&) const = default;
    QJsonObject toJson() const;
    static std::optional<OrganizerCompletedMove> fromJson(const QJsonObject& object);
};

// A step that was under way when its run was cut short (the process killed, the machine off):
// the record says it was about to happen, but not whether it did. `back` is a step of an undo
// (destination to source); otherwise the step moved source to destination.
struct OrganizerInterruptedStep {
    bool back = false;
    OrganizerCompletedMove move;

    bool operator==(const OrganizerInterruptedStep&) const = default;
};

// The undo record of one run. Dates are kept as stored (seconds since 1 January 2001 UTC), so a
// journal saves back exactly as it was read.
struct OrganizerJournal {
    QString id; // an upper-case UUID; also the file name without ".json"
    double startedAt = 0;
    QString homePath; // every path of the run lies inside it
    QList<OrganizerMove> planned;
    QList<OrganizerCompletedMove> completed;
    std::optional<double> finishedAt;
    std::optional<double> undoneAt;
    QStringList failures; // one per refused move, then one per refused undo step
    // Not part of the JSON form: read from the run's record of steps (see OrganizerJournals), and
    // settled by the next undo or start.
    QList<OrganizerInterruptedStep> interrupted;

    bool operator==(const OrganizerJournal&) const = default;
    QJsonObject toJson() const;
    static std::optional<OrganizerJournal> fromJson(const QJsonObject& object);

    QDateTime startedDate() const;
};

struct OrganizerSkipped {
    QString name;
    QString reason;
    bool operator==(const OrganizerSkipped&) const = default;
};

struct OrganizerPlan {
    QList<OrganizerMove> moves;      // largest first
    QList<OrganizerSkipped> skipped; // in the order they were found
    bool spent = false;              // an apply of it has run: the files have moved since

    bool operator==(const OrganizerPlan&) const = default;
    // The ticked moves, in plan order: a copy of each, for the run that makes them.
    QList<OrganizerMove> selectedMoves() const;
    // How many moves are ticked, without copying any: what a screen counts on every change.
    qsizetype selectedCount() const;
    qint64 selectedBytes() const;
};
