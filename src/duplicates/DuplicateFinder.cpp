#include "duplicates/DuplicateFinder.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/KeepSweep.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <QHash>

namespace {

// What a file of a group holds now, checked just before a move. The file is stat'ed first: while
// its stamp is the one recorded by the scan, the digest is the scan's; while it is the one of an
// earlier read here, that read's; otherwise the file is read again. Nothing when the file is no
// longer a regular file, cannot be read, or changed while it was being read.
class ContentCheck {
public:
    ContentCheck(const DuplicateGroup& group, DuplicateScan::Hasher hasher)
        : m_group(group), m_hasher(std::move(hasher)) {}

    std::optional<QByteArray> digestNow(const QString& file) {
        const QByteArray native = NativePath::encode(file);
        const std::optional<RegularFile::Stamp> before = RegularFile::stampAt(native);
        if (!before)
            return std::nullopt;
        if (!m_group.digest.isEmpty() && m_group.stampOf(file) == before)
            return m_group.digest;
        const auto read = m_reads.constFind(file);
        if (read != m_reads.constEnd() && read->first == *before)
            return read->second;
        const std::optional<QByteArray> digest = m_hasher(native.toStdString(), -1, CancelToken());
        if (!digest || RegularFile::stampAt(native) != before)
            return std::nullopt;
        m_reads.insert(file, {*before, *digest});
        return digest;
    }

private:
    const DuplicateGroup& m_group;
    DuplicateScan::Hasher m_hasher;
    QHash<QString, std::pair<RegularFile::Stamp, QByteArray>> m_reads;
};

// One group's moves, made on any thread: the result, and the files still there afterwards (the
// keeper first), or none when nothing was tried.
using GroupMoves =
    FoundGroups<DuplicateGroup, DuplicateFinder::MoveCheck, DuplicateFinder::TrashResult>::Moved;

GroupMoves moveCopies(const DuplicateGroup& group, const QString& keep,
                      const DuplicateFinder::MoveCheck& move, Trash* trash) {
    const DuplicateScan::Hasher& hasher = move.hasher;
    using DuplicatesText::PassedOver;
    GroupMoves moves;
    DuplicateFinder::TrashResult& result = moves.total;
    if (!group.files.contains(keep)) {
        result.errors.append(DuplicatesText::shownName(keep) +
                             QStringLiteral(": it is not one of this group's copies, so nothing "
                                            "was moved."));
        return moves;
    }
    if (!RegularFile::stampOf(keep)) {
        result.errors.append(DuplicatesText::shownName(keep) +
                             QStringLiteral(": the copy to keep is no longer there, so nothing "
                                            "was moved."));
        return moves;
    }
    // Each copy moves only while the keeper, looked at again just before, holds the same bytes
    // as the copy: a file touched since the scan is read again, one left alone is not.
    ContentCheck check(group, hasher);
    QStringList remaining = {keep};
    for (const QString& file : group.files) {
        if (file == keep)
            continue;
        const std::optional<QByteArray> copy = check.digestNow(file);
        const std::optional<QByteArray> kept = copy ? check.digestNow(keep) : std::nullopt;
        if (!copy || !kept || *copy != *kept) {
            const PassedOver why = !copy                   ? PassedOver::Unreadable
                                   : *copy != group.digest ? PassedOver::CopyChanged
                                                           : PassedOver::KeeperChanged;
            result.errors.append(DuplicatesText::passedOverLine(file, why));
            remaining.append(file);
            continue;
        }
        if (KeepSweep::moveCopy(trash, move.searched, file, result.errors))
            result.freedBytes += group.allocatedOf(file);
        else
            remaining.append(file);
    }
    moves.remaining = std::move(remaining);
    return moves;
}

// A group that keeps two files or more after its moves: a new id and the files left, by path,
// with what the scan recorded of each.
DuplicateGroup rebuiltGroup(const DuplicateGroup& group, QStringList remaining) {
    std::sort(remaining.begin(), remaining.end());
    DuplicateGroup rebuilt{QUuid::createUuid(), group.fileSize, remaining};
    rebuilt.digest = group.digest;
    if (!group.stamps.isEmpty())
        for (const QString& file : remaining)
            rebuilt.stamps.append(group.stampOf(file).value_or(RegularFile::Stamp{}));
    if (!group.allocatedBytes.isEmpty())
        for (const QString& file : remaining)
            rebuilt.allocatedBytes.append(group.allocatedOf(file));
    return rebuilt;
}

} // namespace

DuplicateFinder::DuplicateFinder(std::shared_ptr<Trash> trash, DuplicateScan::Options scanOptions,
                                 QObject* parent)
    : QObject(parent), m_trash(std::move(trash)), m_scanOptions(std::move(scanOptions)),
      m_scan(
          this,
          [](const ScanRequest& r, const auto& run) {
              DuplicateScan::Options options = r.options;
              options.cancel = run.cancel();
              options.progress = [&run](qint64 count) { run.progress(count); };
              DuplicateScan::Outcome outcome = DuplicateScan::run(r.folder, options);
              // The keys of thousands of groups are made here, not where they are shown.
              return Scanned{outcome.readable, Found::Listed::of(std::move(outcome.groups))};
          },
          {[this](qint64 count) {
               // Steps from parallel walkers may arrive out of order; the count never goes back.
               if (count > m_scan.state().progress)
                   m_scan.report(count);
           },
           [this](Scanned scanned) { return publishScan(std::move(scanned)); },
           [this] { emit stateChanged(); }},
          m_job),
      m_found(this, m_job,
              {[](const DuplicateGroup& group, const MoveCheck& check, Trash* trash) {
                   // The first file of each group stays.
                   return group.files.isEmpty()
                              ? GroupMoves()
                              : moveCopies(group, group.files.first(), check, trash);
               },
               &rebuiltGroup, [this] { emit groupsChanged(); }, [this] { emit cleaningChanged(); },
               [this](const TrashResult& total) { emit keptOneOfEach(total); }}) {}

DuplicateFinder::~DuplicateFinder() = default;

void DuplicateFinder::scan(const QString& folder) {
    m_scan.start({folder, m_scanOptions});
    m_found.clear();
    setLastFolder(folder);
}

std::optional<QString> DuplicateFinder::publishScan(Scanned scanned) {
    if (!scanned.readable)
        return QStringLiteral("Could not read that folder.");
    m_found.publish(std::move(scanned.found));
    return std::nullopt;
}

void DuplicateFinder::reset() {
    m_scan.cancel();
    m_found.clear();
    setLastFolder(std::nullopt);
}

DuplicateFinder::MoveCheck DuplicateFinder::moveCheck() const {
    return {hasher(), m_lastFolder.value_or(QString())};
}

DuplicateScan::Hasher DuplicateFinder::hasher() const {
    return m_scanOptions.hasher ? m_scanOptions.hasher
                                : DuplicateScan::Hasher(DuplicateScan::fileDigest);
}

DuplicateFinder::TrashResult DuplicateFinder::trash(const DuplicateGroup& group,
                                                    const QString& keep) {
    return m_found.take(group, moveCopies(group, keep, moveCheck(), m_trash.get()));
}

void DuplicateFinder::keepOneOfEach() {
    m_found.sweep(moveCheck(), m_trash);
}

int DuplicateFinder::removableCount() const {
    return m_found.removableCount();
}

void DuplicateFinder::setLastFolder(const std::optional<QString>& folder) {
    KeepSweep::publish(m_lastFolder, folder, [this] { emit lastFolderChanged(); });
}
