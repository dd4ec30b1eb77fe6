#include "duplicates/SimilarPhotoFinder.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/KeepSweep.h"
#include "platform/DirectoryWalker.h"
#include "platform/ParallelLoop.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <mutex>
#include <QHash>

namespace {

// What a photo of a set shows now, checked just before a move. The photo is stat'ed first: while
// its stamp is the one recorded by the scan, the print is the scan's; while it is the one of an
// earlier print made here, that print; otherwise the photo is printed again. `touched` tells
// whether the photo differs from what the scan saw. Nothing when the photo is no longer a regular
// file, cannot be decoded, or changed while it was read.
class PrintCheck {
public:
    PrintCheck(const SimilarPhotoGroup& set, SimilarPhotoScan::Printer printer)
        : m_set(set), m_printer(std::move(printer)) {}

    std::optional<FeaturePrint> printNow(qsizetype index, bool* touched) {
        const QString& path = m_set.files.at(index);
        const std::optional<RegularFile::Stamp> before = RegularFile::stampOf(path);
        const bool recorded = index < m_set.stamps.size() && index < m_set.prints.size();
        *touched = !before || !recorded || m_set.stamps.at(index) != *before;
        if (!before)
            return std::nullopt;
        if (!*touched)
            return m_set.prints.at(index);
        const auto made = m_prints.constFind(index);
        if (made != m_prints.constEnd() && made->first == *before)
            return made->second;
        std::optional<FeaturePrint> print = m_printer(path);
        if (!print || RegularFile::stampOf(path) != before)
            return std::nullopt;
        m_prints.insert(index, {*before, *print});
        return print;
    }

private:
    const SimilarPhotoGroup& m_set;
    SimilarPhotoScan::Printer m_printer;
    QHash<qsizetype, std::pair<RegularFile::Stamp, FeaturePrint>> m_prints;
};

// One set's moves, made on any thread: an error line per photo that stayed, and the photos still
// there afterwards (the kept one first), or none when nothing was tried.
using SetMoves = FoundGroups<SimilarPhotoGroup, SimilarPhotoFinder::MoveCheck, QStringList>::Moved;

SetMoves moveCopies(const SimilarPhotoGroup& group, const SimilarPhotoFinder::MoveCheck& move,
                    Trash* trash) {
    const SimilarPhotoScan::Printer& printer = move.printer;
    using DuplicatesText::PassedOver;
    SetMoves moves;
    QStringList& errors = moves.total;
    if (group.files.isEmpty())
        return moves;
    const QString keep = group.files.first();
    if (!RegularFile::stampOf(keep)) {
        errors.append(DuplicatesText::shownName(keep) +
                      QStringLiteral(": the photo to keep is no longer there, so nothing was "
                                     "moved."));
        return moves;
    }
    // A photo left alone since the scan moves as the scan grouped it. Once it or the photo kept
    // was touched, it moves only if the two still look the same as they are now.
    PrintCheck check(group, printer);
    QStringList remaining = {keep};
    for (qsizetype i = 1; i < group.files.size(); ++i) {
        const QString& file = group.files.at(i);
        bool copyTouched = false;
        bool keeperTouched = false;
        const std::optional<FeaturePrint> copy = check.printNow(i, &copyTouched);
        const std::optional<FeaturePrint> kept =
            copy ? check.printNow(0, &keeperTouched) : std::nullopt;
        bool alike = copy && kept;
        if (alike && (copyTouched || keeperTouched)) {
            const std::optional<float> d = copy->distance(*kept);
            alike = d && *d < SimilarPhotoScan::threshold;
        }
        if (!alike) {
            const PassedOver why = !copy         ? PassedOver::Unreadable
                                   : copyTouched ? PassedOver::CopyChanged
                                                 : PassedOver::KeeperChanged;
            errors.append(DuplicatesText::photoPassedOverLine(file, why));
            remaining.append(file);
            continue;
        }
        if (!KeepSweep::moveCopy(trash, move.searched, file, errors))
            remaining.append(file);
    }
    moves.remaining = std::move(remaining);
    return moves;
}

// A set that keeps two photos or more after its moves: a new id and the photos left, in their
// former order, with what the scan recorded of each.
SimilarPhotoGroup rebuiltSet(const SimilarPhotoGroup& group, const QStringList& remaining) {
    SimilarPhotoGroup rebuilt{QUuid::createUuid(), remaining};
    if (group.stamps.size() == group.files.size() && group.prints.size() == group.files.size())
        for (const QString& file : remaining) {
            const qsizetype index = group.files.indexOf(file);
            rebuilt.stamps.append(group.stamps.at(index));
            rebuilt.prints.append(group.prints.at(index));
        }
    return rebuilt;
}

} // namespace

SimilarPhotoFinder::SimilarPhotoFinder(std::shared_ptr<Trash> trash,
                                       SimilarPhotoScan::Printer printer, int threads,
                                       QObject* parent)
    : QObject(parent), m_trash(std::move(trash)), m_printer(std::move(printer)),
      m_threads(threads > 0 ? threads : ParallelLoop::flatThreads()),
      m_scan(this, &SimilarPhotoFinder::find,
             {[this](const ScanStep& step) { applyStep(step); },
              [this](QList<SimilarPhotoGroup> sets) {
                  m_found.set(std::move(sets));
                  return std::nullopt;
              },
              [this] { emit stateChanged(); }},
             m_job),
      m_found(this, m_job,
              {&moveCopies, &rebuiltSet, [this] { emit groupsChanged(); },
               [this] { emit cleaningChanged(); },
               [this](const QStringList& errors) { emit keptBestOfEach(errors); }}) {
    if (!m_printer)
        m_printer = SimilarPhotoScan::printOf;
}

SimilarPhotoFinder::~SimilarPhotoFinder() = default;

void SimilarPhotoFinder::scan(const QString& folder) {
    m_scan.start({folder, m_printer, m_threads});
    m_searched = folder;
    m_found.clear();
}

QList<SimilarPhotoGroup> SimilarPhotoFinder::find(const ScanRequest& request,
                                                  const ScanSlot::Run& run) {
    const QStringList photos =
        SimilarPhotoScan::collectPhotos(request.folder, SimilarPhotoScan::photoLimit, run.cancel());
    const int total = int(photos.size());
    if (run.isCancelled() || total == 0)
        return {};
    run.progress({0, total});

    // Each photo's record has its own entry; only the count is shared.
    std::vector<std::optional<SimilarPhotoScan::PhotoRecord>> found(size_t(photos.size()));
    std::mutex lock;
    int processed = 0;
    ParallelLoop::run(found.size(), request.threads, [&](size_t i, int) {
        if (run.isCancelled())
            return;
        found[i] = SimilarPhotoScan::recordOf(photos.at(qsizetype(i)), request.printer);
        std::lock_guard<std::mutex> guard(lock);
        const int done = ++processed;
        if (SimilarPhotoScan::tellsProgress(done, total))
            run.progress({done, total});
    });
    if (run.isCancelled())
        return {};
    // Records in path order, so a rescan of an unchanged folder finds the same sets.
    QList<SimilarPhotoScan::PhotoRecord> records;
    for (auto& entry : found)
        if (entry)
            records.append(std::move(*entry));
    return SimilarPhotoScan::group(records);
}

void SimilarPhotoFinder::applyStep(const ScanStep& step) {
    // Done 0 announces the total; the printing threads' steps may arrive out of order, and the
    // count never goes back.
    if (step.done == 0 || step.done > m_scan.state().progress.done)
        m_scan.report(step);
}

void SimilarPhotoFinder::reset() {
    m_scan.cancel();
    m_found.clear();
}

QStringList SimilarPhotoFinder::trash(const SimilarPhotoGroup& group) {
    return m_found.take(group, moveCopies(group, {m_printer, m_searched}, m_trash.get()));
}

void SimilarPhotoFinder::keepBestOfEach() {
    m_found.sweep({m_printer, m_searched}, m_trash);
}

int SimilarPhotoFinder::removableCount() const {
    return m_found.removableCount();
}
