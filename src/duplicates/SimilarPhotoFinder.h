#pragma once

#include "duplicates/FoundGroups.h"
#include "duplicates/SimilarPhotoGroup.h"
#include "duplicates/SimilarPhotoScan.h"
#include "shell/ScanService.h"

#include <memory>
#include <optional>
#include <QList>
#include <QObject>
#include <QStringList>

class Trash;

// Finds photos that look the same below one folder the user picked, whether or not their bytes
// are equal (SimilarPhotoScan tells how), and keeps the one with the most pixels of each set.
//
// Published fields change on the main thread only, and every public call is made there. A scan
// walks the folder (at most 2,000 photos), makes a print of every photo in parallel on its own
// threads and groups them; a new scan or a reset supersedes the one running (it is cancelled and
// its late results are dropped by generation). No step ends in failed: an unreadable folder or
// photo just yields nothing.
class SimilarPhotoFinder : public QObject {
    Q_OBJECT
    Q_PROPERTY(SimilarPhotoFinder::State state READ state NOTIFY stateChanged)
    Q_PROPERTY(QList<SimilarPhotoGroup> groups READ groups NOTIFY groupsChanged)
    Q_PROPERTY(
        std::optional<SimilarPhotoFinder::Cleaning> cleaning READ cleaning NOTIFY cleaningChanged)
public:
    // Running's progress: photos printed so far of those found.
    using ScanStep = SimilarPhotoScan::Progress;
    using State = ScanState<ScanStep>;

    // A keepBestOfEach() under way: sets handled so far out of the sets it took.
    using Cleaning = KeepSweep::Progress;

    // What a move looks at just before it: how the photos look now, and the folder searched, the
    // only way in to the photos it moves.
    struct MoveCheck {
        SimilarPhotoScan::Printer printer;
        QString searched;
    };

    // `printer` replaces the feature prints (tests); `threads` 0 uses one per core, at most 8.
    explicit SimilarPhotoFinder(std::shared_ptr<Trash> trash,
                                SimilarPhotoScan::Printer printer = {}, int threads = 0,
                                QObject* parent = nullptr);
    ~SimilarPhotoFinder() override;

    State state() const { return m_scan.state(); }
    const QList<SimilarPhotoGroup>& groups() const { return m_found.groups(); }
    // The key of each of groups(), in their order: its id as text (FoundGroups::keyOf).
    const QStringList& groupKeys() const { return m_found.keys(); }
    // Moved on by every scan(), reset() and keepBestOfEach().
    quint64 scanGeneration() const { return m_scan.generation(); }
    // Set while keepBestOfEach() runs, with its progress; none otherwise.
    const std::optional<Cleaning>& cleaning() const { return m_found.cleaning(); }

    // Starts a scan and returns at once: state Running at {0, 0}, groups empty. Then Running at
    // {0, N} once N photos are found (Done at once with no sets when there are none), {done, N}
    // at every progress step, and Done with the sets.
    void scan(const QString& folder);
    // Drops a running scan's or keepBestOfEach()'s results; groups empty, state Idle. (scan()
    // drops a running keepBestOfEach() the same way.)
    void reset();

    // Keeps the set's first photo and moves the others to the Trash, synchronously; one error
    // line ("name: reason") per photo that stayed. The set (found by id) is then dropped when
    // fewer than two photos remain, else replaced by one with a new id: the kept photo, then
    // those that stayed, in their former order. Nothing is moved, and an error line says why,
    // when the photo to keep is no longer a regular file where it was.
    //
    // Photos may have been edited since the scan, so just before each move the kept photo and
    // the one to move are stat'ed again and compared with the stamps the scan recorded. While
    // both were left alone the photo moves as grouped; once either was touched, the touched one
    // is printed again (with the scan's printer) and the photo moves only if the two still lie
    // closer than the threshold. Otherwise it stays, and its line says which of the two changed
    // (DuplicatesText::photoPassedOverLine). This runs on the calling thread: each photo touched
    // since the scan costs one small decode.
    QStringList trash(const SimilarPhotoGroup& group);
    // What trash() does, on every set as it is now, with the same checks before each move;
    // returns at once. The moves run on the shared thread pool: cleaning() goes from {0, sets}
    // through its progress (at most ten steps a second) to none, and at the end groups is
    // published once, trimmed of every move, and keptBestOfEach() brings the errors in set
    // order. A call while one runs is ignored. A scan(), reset() or the finder's end stops it
    // between two sets; its result is then dropped.
    void keepBestOfEach();
    // The photos keepBestOfEach() would move.
    int removableCount() const;

signals:
    void stateChanged();
    void groupsChanged();
    void cleaningChanged();
    // A keepBestOfEach() ended, every move having been tried.
    void keptBestOfEach(const QStringList& errors);

private:
    struct ScanRequest {
        QString folder;
        SimilarPhotoScan::Printer printer;
        int threads = 0;
    };
    using ScanSlot = ScanService<ScanRequest, ScanStep, QList<SimilarPhotoGroup>>;
    // The sets on show and keepBestOfEach(), whose sums are the lines of the photos that stayed.
    using Found = FoundGroups<SimilarPhotoGroup, MoveCheck, QStringList>;

    static QList<SimilarPhotoGroup> find(const ScanRequest& request, const ScanSlot::Run& run);
    void applyStep(const ScanStep& step);

    std::shared_ptr<Trash> m_trash;
    SimilarPhotoScan::Printer m_printer;
    // The folder of the latest scan: every move goes in through it.
    QString m_searched;
    int m_threads;
    // One job for both: a scan cancels a clean-up and the other way round.
    ScanJob m_job;
    ScanSlot m_scan;
    Found m_found;
};
