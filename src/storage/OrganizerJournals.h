#pragma once

#include "assistant/CacheFolder.h"
#include "platform/HomeLayout.h"
#include "storage/OrganizerRecords.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The organizer's undo records: one JSON file per run, "<id>.json" in
// $XDG_DATA_HOME/Pendrel/organizer-journals, written atomically through the shared writer.
// Nothing here deletes a journal: undone and expired runs stay on disk, unlisted.
//
// A journal is trusted only as far as its file: it is accepted when it decodes whole and its id
// is a UUID equal to its file name, so no id can name a path elsewhere when it is saved back.
class OrganizerJournals {
public:
    // Runs older than this are no longer offered for undo.
    static constexpr qint64 kWindowSeconds = 2'592'000;

    explicit OrganizerJournals(const HomeLayout& layout);

    QString directory() const;
    // Creates the folder when missing and replaces the run's file; false on any failure or when
    // the id is not a UUID.
    bool save(const OrganizerJournal& journal) const;
    // The runs to offer: readable journals not undone and started less than 30 days before now,
    // newest first. Unreadable files are passed over.
    QList<OrganizerJournal> history(const QDateTime& now) const;

    // A journal file's contents, named fileStem (its name without ".json"); nothing unless the
    // whole record decodes and its id is a UUID equal to fileStem.
    static std::optional<OrganizerJournal> decode(const QByteArray& bytes, const QString& fileStem);
    static QByteArray encode(const OrganizerJournal& journal);
    static bool hasValidId(const OrganizerJournal& journal);
    static bool isListed(const OrganizerJournal& journal, const QDateTime& now);

private:
    CacheFolder m_folder;
};

// Carrying out and reversing runs, synchronously on the calling thread (the organizer runs them
// on a worker). progress is called after each step with (steps done, steps in all).
namespace OrganizerRun {

using Progress = std::function<void(int done, int total)>;
using Now = std::function<QDateTime()>;

// Moves journal.planned one by one inside journal.homePath. The journal is saved before the first
// move and again after every move and at the end, so a run cut short at any point leaves a record
// of each file it moved. False, with nothing moved, when the first save fails.
bool apply(OrganizerJournal& journal, const OrganizerJournals& store, const Now& now,
           const Progress& progress = {});

// Moves back journal.completed, last first, within both journal.homePath and realHome; stamps
// undoneAt, appends the failures and saves. Returns how many files were moved back; the
// failures of this undo are added to undoFailures when given.
int undo(OrganizerJournal& journal, const QString& realHome, const OrganizerJournals& store,
         const Now& now, const Progress& progress = {}, QStringList* undoFailures = nullptr);

} // namespace OrganizerRun
