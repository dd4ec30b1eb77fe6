#include "duplicates/DuplicateFinder.h"

#include "duplicates/DuplicatesText.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"
#include "platform/Trash.h"

#include <algorithm>
#include <QElapsedTimer>
#include <QHash>

DuplicateFinder::DuplicateFinder(std::shared_ptr<Trash> trash, DuplicateScan::Options scanOptions,
                                 QObject* parent)
    : QObject(parent), m_trash(std::move(trash)), m_scanOptions(std::move(scanOptions)) {}

DuplicateFinder::~DuplicateFinder() {
    m_job.cancel();
}

void DuplicateFinder::scan(const QString& folder) {
    const ScanJob::Ticket ticket = m_job.restart();
    ++m_scanGeneration;
    setState(State::scanning(0));
    setGroups({});
    setLastFolder(folder);
    setCleaning(std::nullopt);

    DuplicateScan::Options options = m_scanOptions;
    ScanJob::runInPool([ticket, folder, options, self = QPointer<DuplicateFinder>(this)]() mutable {
        options.cancel = ticket.cancel;
        options.progress = [ticket, self](qint64 count) {
            ScanJob::deliver(self, [ticket, count](DuplicateFinder* f) {
                // Steps from parallel walkers may arrive out of order; the count never goes back.
                if (f->m_job.isCurrent(ticket.generation) &&
                    f->m_state.kind == State::Kind::Scanning && count > f->m_state.scanned)
                    f->setState(State::scanning(count));
            });
        };
        DuplicateScan::Outcome outcome = DuplicateScan::run(folder, options);
        if (outcome.cancelled)
            return;
        ScanJob::deliver(self, [ticket, outcome = std::move(outcome)](DuplicateFinder* f) {
            if (!f->m_job.isCurrent(ticket.generation))
                return;
            if (!outcome.readable) {
                f->setState(State::failed(QStringLiteral("Could not read that folder.")));
                return;
            }
            f->setGroups(outcome.groups);
            f->setState({State::Kind::Done, 0, {}});
        });
    });
}

void DuplicateFinder::reset() {
    m_job.cancel();
    ++m_scanGeneration;
    setGroups({});
    setState({});
    setLastFolder(std::nullopt);
    setCleaning(std::nullopt);
}

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
struct GroupMoves {
    DuplicateFinder::TrashResult result;
    std::optional<QStringList> remaining;
};

GroupMoves moveCopies(const DuplicateGroup& group, const QString& keep,
                      const DuplicateScan::Hasher& hasher, Trash* trash) {
    using DuplicatesText::PassedOver;
    GroupMoves moves;
    DuplicateFinder::TrashResult& result = moves.result;
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
        QString error;
        if (trash && trash->moveToTrash(file, &error)) {
            result.freedBytes += group.allocatedOf(file);
        } else {
            result.errors.append(
                DuplicatesText::shownName(file) + QStringLiteral(": ") +
                (error.isEmpty() ? QStringLiteral("The Trash is not available.") : error));
            remaining.append(file);
        }
    }
    moves.remaining = std::move(remaining);
    return moves;
}

// `groups` after the moves: a moved group (matched by id) with fewer than two files left is
// dropped, any other is replaced by one with a new id and the files left, by path. A group no
// longer in `groups` stays out.
QList<DuplicateGroup> withMoves(QList<DuplicateGroup> groups,
                                const QList<std::pair<DuplicateGroup, QStringList>>& moves) {
    QHash<QUuid, qsizetype> movedAt;
    for (qsizetype i = 0; i < moves.size(); ++i)
        movedAt.insert(moves.at(i).first.id, i);
    QList<DuplicateGroup> after;
    after.reserve(groups.size());
    for (DuplicateGroup& g : groups) {
        const auto at = movedAt.constFind(g.id);
        if (at == movedAt.constEnd()) {
            after.append(std::move(g));
            continue;
        }
        const auto& [group, left] = moves.at(*at);
        if (left.size() < 2)
            continue;
        QStringList remaining = left;
        std::sort(remaining.begin(), remaining.end());
        DuplicateGroup rebuilt{QUuid::createUuid(), group.fileSize, remaining};
        rebuilt.digest = group.digest;
        if (!group.stamps.isEmpty())
            for (const QString& file : remaining)
                rebuilt.stamps.append(group.stampOf(file).value_or(RegularFile::Stamp{}));
        if (!group.allocatedBytes.isEmpty())
            for (const QString& file : remaining)
                rebuilt.allocatedBytes.append(group.allocatedOf(file));
        after.append(std::move(rebuilt));
    }
    return after;
}

} // namespace

DuplicateScan::Hasher DuplicateFinder::hasher() const {
    return m_scanOptions.hasher ? m_scanOptions.hasher
                                : DuplicateScan::Hasher(DuplicateScan::fileDigest);
}

DuplicateFinder::TrashResult DuplicateFinder::trash(const DuplicateGroup& group,
                                                    const QString& keep) {
    GroupMoves moves = moveCopies(group, keep, hasher(), m_trash.get());
    if (!moves.remaining)
        return moves.result;
    const bool listed = std::any_of(m_groups.cbegin(), m_groups.cend(),
                                    [&](const DuplicateGroup& g) { return g.id == group.id; });
    if (listed || moves.remaining->size() < 2)
        setGroups(withMoves(m_groups, {{group, *moves.remaining}}));
    return moves.result;
}

void DuplicateFinder::keepOneOfEach() {
    if (m_cleaning)
        return;
    const ScanJob::Ticket ticket = m_job.restart();
    const QList<DuplicateGroup> snapshot = m_groups;
    setCleaning(Cleaning{0, int(snapshot.size())});
    ScanJob::runInPool([ticket, snapshot, hasher = hasher(), trash = m_trash,
                        self = QPointer<DuplicateFinder>(this)] {
        TrashResult total;
        QList<std::pair<DuplicateGroup, QStringList>> moved;
        QElapsedTimer sinceTold;
        sinceTold.start();
        for (qsizetype i = 0; i < snapshot.size(); ++i) {
            if (ticket.cancel.isCancelled())
                return;
            const DuplicateGroup& group = snapshot.at(i);
            if (!group.files.isEmpty()) {
                GroupMoves moves = moveCopies(group, group.files.first(), hasher, trash.get());
                total.freedBytes += moves.result.freedBytes;
                total.errors.append(moves.result.errors);
                if (moves.remaining)
                    moved.append({group, std::move(*moves.remaining)});
            }
            if (sinceTold.elapsed() >= 100) {
                sinceTold.restart();
                const Cleaning step{int(i + 1), int(snapshot.size())};
                ScanJob::deliver(self, [ticket, step](DuplicateFinder* f) {
                    if (f->m_job.isCurrent(ticket.generation) && f->m_cleaning)
                        f->setCleaning(step);
                });
            }
        }
        ScanJob::deliver(self, [ticket, total, moved = std::move(moved)](DuplicateFinder* f) {
            if (!f->m_job.isCurrent(ticket.generation))
                return;
            f->m_groups = withMoves(f->m_groups, moved);
            emit f->groupsChanged();
            f->setCleaning(std::nullopt);
            emit f->keptOneOfEach(total);
        });
    });
}

int DuplicateFinder::removableCount() const {
    int count = 0;
    for (const DuplicateGroup& g : m_groups)
        count += std::max(0, int(g.files.size()) - 1);
    return count;
}

void DuplicateFinder::setState(const State& state) {
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void DuplicateFinder::setGroups(QList<DuplicateGroup> groups) {
    if (m_groups.isEmpty() && groups.isEmpty())
        return;
    m_groups = std::move(groups);
    emit groupsChanged();
}

void DuplicateFinder::setCleaning(const std::optional<Cleaning>& cleaning) {
    if (m_cleaning == cleaning)
        return;
    m_cleaning = cleaning;
    emit cleaningChanged();
}

void DuplicateFinder::setLastFolder(const std::optional<QString>& folder) {
    if (m_lastFolder == folder)
        return;
    m_lastFolder = folder;
    emit lastFolderChanged();
}
