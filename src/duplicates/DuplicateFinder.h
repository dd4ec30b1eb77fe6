#pragma once

#include "duplicates/DuplicateGroup.h"
#include "duplicates/DuplicateScan.h"
#include "duplicates/FoundGroups.h"
#include "shell/ScanService.h"

#include <memory>
#include <optional>
#include <QObject>
#include <QString>
#include <QStringList>

class Trash;

// Finds files with identical content below one folder the user picked (DuplicateScan tells
// what counts) and moves every copy but one of a group to the Trash.
//
// Published fields change on the main thread only, and every public call is made there. A scan
// runs on the shared thread pool; a new scan or a reset supersedes the one running (it is
// cancelled, and anything it still delivers is dropped by its generation), so only the latest
// scan's progress and result are ever published. The finder lives for the whole run.
class DuplicateFinder : public QObject {
    Q_OBJECT
    Q_PROPERTY(DuplicateFinder::State state READ state NOTIFY stateChanged)
    Q_PROPERTY(QList<DuplicateGroup> groups READ groups NOTIFY groupsChanged)
    Q_PROPERTY(std::optional<QString> lastFolder READ lastFolder NOTIFY lastFolderChanged)
    Q_PROPERTY(
        std::optional<DuplicateFinder::Cleaning> cleaning READ cleaning NOTIFY cleaningChanged)
public:
    // Running's progress: candidate files found so far, in steps of 500.
    using State = ScanState<qint64>;

    // A keepOneOfEach() under way: groups handled so far out of the groups it took.
    using Cleaning = KeepSweep::Progress;

    // What trash() and keepOneOfEach() did: the bytes given back and one line per file that
    // stayed ("name: reason").
    struct TrashResult {
        qint64 freedBytes = 0;
        QStringList errors;
        // Another group's moves added to these, its lines after these.
        TrashResult& operator+=(const TrashResult& other) {
            freedBytes += other.freedBytes;
            errors += other.errors;
            return *this;
        }
    };

    // What a move looks at just before it: the copies' bytes again, and the folder searched, the
    // only way in to the copies it moves.
    struct MoveCheck {
        DuplicateScan::Hasher hasher;
        QString searched;
    };

    // Moves go to `trash`; `scanOptions` (threads, hasher) are handed to every scan, its cancel
    // flag and progress being the finder's own.
    explicit DuplicateFinder(std::shared_ptr<Trash> trash, DuplicateScan::Options scanOptions = {},
                             QObject* parent = nullptr);
    ~DuplicateFinder() override;

    State state() const { return m_scan.state(); }
    // The groups of the latest finished scan, as trimmed by later trash operations.
    const QList<DuplicateGroup>& groups() const { return m_found.groups(); }
    // The key of each of groups(), in their order: its id as text (FoundGroups::keyOf). A scan
    // makes them on its own thread, with the groups.
    const QStringList& groupKeys() const { return m_found.keys(); }
    // The folder of the latest scan; none after reset().
    const std::optional<QString>& lastFolder() const { return m_lastFolder; }
    // Set while keepOneOfEach() runs, with its progress; none otherwise.
    const std::optional<Cleaning>& cleaning() const { return m_found.cleaning(); }
    // Moved on by every scan(), reset() and keepOneOfEach().
    quint64 scanGeneration() const { return m_scan.generation(); }

    // Starts a scan of the folder and returns at once: state Running at 0, groups empty,
    // lastFolder the folder. Ends in Done with the groups, or Failed with "Could not read that
    // folder." when the folder cannot be opened.
    void scan(const QString& folder);
    // Forgets everything: a running scan's or keepOneOfEach()'s results are dropped, groups
    // empty, state Idle, no last folder. (scan() drops a running keepOneOfEach() the same way.)
    void reset();

    // Keeps `keep` and moves every other file of the group to the Trash, synchronously. A moved
    // file adds the group's size to the freed bytes; one that stays adds an error line. The
    // group (found in groups by id) is then dropped when fewer than two files remain, else
    // replaced by one with a new id and the remaining files by path. Nothing is moved, and an
    // error line says why, when `keep` is not one of the group's files or is no longer a
    // regular file where it was (trashing the rest would leave no copy).
    //
    // Files may have been edited since the scan, so just before each move the keeper and the
    // copy are stat'ed again and compared with the stamps the scan recorded; a file whose stamp
    // moved is read and hashed again (with the scan's hasher), one left alone is not. A copy
    // moves only when it holds the same bytes as the keeper then; otherwise it stays, counts as
    // not moved and gets a line saying which of the two changed (DuplicatesText::passedOverLine).
    // This runs on the calling thread: left alone, a group costs two stats per copy; every file
    // touched since the scan is read in full once.
    TrashResult trash(const DuplicateGroup& group, const QString& keep);
    // What trash() does, on every group as it is now, keeping each one's first file, with the
    // same checks before each move; returns at once. The moves run on the shared thread pool:
    // cleaning() goes from {0, groups} through its progress (at most ten steps a second) to none,
    // and at the end groups is published once, trimmed of every move, and keptOneOfEach() brings
    // the sums and errors in group order. A call while one runs is ignored. A scan(), reset() or
    // the finder's end stops it between two groups; its result is then dropped.
    void keepOneOfEach();
    // The files keepOneOfEach() would move: the sum of (files − 1) over the groups.
    int removableCount() const;

signals:
    void stateChanged();
    void groupsChanged();
    void lastFolderChanged();
    void cleaningChanged();
    // A keepOneOfEach() ended, every move having been tried.
    void keptOneOfEach(const DuplicateFinder::TrashResult& result);

private:
    void setLastFolder(const std::optional<QString>& folder);
    DuplicateScan::Hasher hasher() const;
    MoveCheck moveCheck() const;

    // What a scan reads: the folder and the options with the finder's hasher and threads.
    struct ScanRequest {
        QString folder;
        DuplicateScan::Options options;
    };
    using Found = FoundGroups<DuplicateGroup, MoveCheck, TrashResult>;
    // What a scan hands back: whether the folder could be read, and its groups with their keys.
    struct Scanned {
        bool readable = false;
        Found::Listed found;
    };

    std::optional<QString> publishScan(Scanned scanned);

    std::shared_ptr<Trash> m_trash;
    DuplicateScan::Options m_scanOptions;
    std::optional<QString> m_lastFolder;
    // One job for both: a scan cancels a clean-up and the other way round.
    ScanJob m_job;
    ScanService<ScanRequest, qint64, Scanned> m_scan;
    Found m_found;
};
