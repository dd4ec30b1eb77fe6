#pragma once

#include "platform/CacheFolder.h"
#include "platform/HomeLayout.h"
#include "storage/OrganizerFiles.h"
#include "storage/OrganizerRecords.h"

#include <functional>
#include <memory>
#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

class OrganizerJournalLog;

// The organizer's undo records, in $XDG_DATA_HOME/Pendrel/organizer-journals. A run's record is
// two files:
// - "<id>.json", the journal as it stood when the run began (its plan), written atomically
//   through the shared writer and never rewritten by the run;
// - "<id>.log", its steps, one JSON object a line, only ever appended to: a batch of moves is
//   written there as one line and synced before any of their files is touched, then the outcome
//   of each move as it happens (synced with the next batch); then the end of the run, and later
//   the steps of its undo the same way. So a run cut short at any point leaves a record of every
//   file it may have moved (a move announced without its outcome is settled from the files, see
//   OrganizerFiles::settle), and 5,000 moves cost a few dozen syncs and 5,000 short lines.
// Journals written whole by earlier versions (no log) load and undo as they are. Nothing here
// deletes a journal: undone and expired runs stay on disk, unlisted.
//
// A journal is trusted only as far as its files: it is accepted when its JSON decodes whole, its
// id is a UUID equal to its file name, and every complete line of its log decodes (a last line
// without its newline is an append that never finished, and is ignored).
class OrganizerJournals {
public:
    // Runs older than this are no longer offered for undo.
    static constexpr qint64 kWindowSeconds = 2'592'000;
    // Called before every write of a journal file; a non-zero errno fails that write as the
    // system would. Tests stand in a full disk with it.
    using WriteCheck = std::function<int()>;

    explicit OrganizerJournals(const HomeLayout& layout, WriteCheck beforeWrite = {});

    QString directory() const;
    // Creates the folder when missing and replaces the run's JSON file; false on any failure
    // (with the system's reason in error) or when the id is not a UUID.
    [[nodiscard]] bool save(const OrganizerJournal& journal, QString* error = nullptr) const;
    // Opens the run's log to add steps, creating it when missing; when the run has no JSON file
    // yet, the journal as given is saved first. Both are on disk when it returns; null, with the
    // reason in error, when that could not be done. A half-written last line is cut off first.
    std::unique_ptr<OrganizerJournalLog> open(const OrganizerJournal& journal,
                                              QString* error = nullptr) const;
    // The runs to offer: readable journals of realHome (the home they were made in is exactly
    // it), not undone and started less than 30 days before now, newest first. Unreadable
    // journals and those of another home are passed over and left as they are. Every readable
    // journal of realHome with steps left unsettled, listed or not, is added to interrupted.
    QList<OrganizerJournal> history(const QDateTime& now, const QString& realHome,
                                    QList<OrganizerJournal>* interrupted = nullptr) const;

    // A journal file's contents, named fileStem (its name without ".json"); nothing unless the
    // whole record decodes and its id is a UUID equal to fileStem.
    static std::optional<OrganizerJournal> decode(const QByteArray& bytes, const QString& fileStem);
    static QByteArray encode(const OrganizerJournal& journal);
    // Brings the journal up to date with its log's bytes: moves done are added to completed,
    // moves undone taken out of it, refusals added to failures, the end and undo dates set, and
    // steps whose outcome is missing listed in interrupted. False (the journal is then
    // unusable) when a complete line does not decode.
    static bool replay(OrganizerJournal& journal, const QByteArray& log);
    static bool hasValidId(const OrganizerJournal& journal);
    static bool isListed(const OrganizerJournal& journal, const QDateTime& now);
    // Applies a settled step to the journal. sources, when given, holds (at least) the source of
    // every completed move, and spares a replay of thousands of moves a search of completed per
    // move.
    static void settleStep(OrganizerJournal& journal, const OrganizerInterruptedStep& step,
                           bool done, QSet<QString>* sources = nullptr);

private:
    QString logPath(const QString& id) const;

    CacheFolder m_folder;
    WriteCheck m_beforeWrite;
};

// The open log of one run. Each call appends one line; the durable ones return only once the
// line is on disk. False, with the system's reason, when the line could not be added whole; the
// log then holds what it held before (as far as the system lets it be cut back).
class OrganizerJournalLog {
public:
    ~OrganizerJournalLog();
    OrganizerJournalLog(const OrganizerJournalLog&) = delete;
    OrganizerJournalLog& operator=(const OrganizerJournalLog&) = delete;

    // About to move each move.sourcePath to its move.destinationPath, in this order (durable).
    // Every step announced before whose outcome is not recorded counts as interrupted.
    [[nodiscard]] bool willMove(const QList<OrganizerCompletedMove>& moves, QString* error);
    // About to move these completed moves back, in this order (durable).
    [[nodiscard]] bool willMoveBack(const QList<OrganizerCompletedMove>& moves, QString* error);
    // The earliest announced step whose outcome is not recorded yet happened (or not).
    [[nodiscard]] bool stepDone(bool done, QString* error);
    // A refusal: settles that earliest step, if any, as not done; with no step waiting, a move
    // that was refused before it was announced.
    [[nodiscard]] bool refused(const QString& failure, QString* error);
    // An interrupted step, settled after the fact (durable).
    [[nodiscard]] bool settled(const OrganizerInterruptedStep& step, bool done, QString* error);
    [[nodiscard]] bool finished(double at, QString* error);
    [[nodiscard]] bool undone(double at, QString* error);

private:
    friend class OrganizerJournals;
    OrganizerJournalLog(int fd, OrganizerJournals::WriteCheck beforeWrite)
        : m_fd(fd), m_beforeWrite(std::move(beforeWrite)) {}
    [[nodiscard]] bool append(const QJsonObject& record, bool durable, QString* error);

    int m_fd = -1;
    OrganizerJournals::WriteCheck m_beforeWrite;
};
