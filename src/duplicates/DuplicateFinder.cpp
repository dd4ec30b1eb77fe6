#include "duplicates/DuplicateFinder.h"

#include "duplicates/DuplicatesText.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"
#include "platform/Trash.h"

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

    DuplicateScan::Options options = m_scanOptions;
    ScanJob::runInPool([ticket, folder, options, self = QPointer<DuplicateFinder>(this)]() mutable {
        options.cancel = ticket.cancel.flag();
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
        const std::optional<QByteArray> digest = m_hasher(native.toStdString(), -1, nullptr);
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

} // namespace

DuplicateFinder::TrashResult DuplicateFinder::trash(const DuplicateGroup& group,
                                                    const QString& keep) {
    using DuplicatesText::PassedOver;
    TrashResult result;
    if (!group.files.contains(keep)) {
        result.errors.append(DuplicatesText::shownName(keep) +
                             QStringLiteral(": it is not one of this group's copies, so nothing "
                                            "was moved."));
        return result;
    }
    if (!RegularFile::stampOf(keep)) {
        result.errors.append(DuplicatesText::shownName(keep) +
                             QStringLiteral(": the copy to keep is no longer there, so nothing "
                                            "was moved."));
        return result;
    }
    // Each copy moves only while the keeper, looked at again just before, holds the same bytes
    // as the copy: a file touched since the scan is read again, one left alone is not.
    ContentCheck check(group, m_scanOptions.hasher
                                  ? m_scanOptions.hasher
                                  : DuplicateScan::Hasher(DuplicateScan::fileDigest));
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
        if (m_trash && m_trash->moveToTrash(file, &error)) {
            result.freedBytes += group.allocatedOf(file);
        } else {
            result.errors.append(
                DuplicatesText::shownName(file) + QStringLiteral(": ") +
                (error.isEmpty() ? QStringLiteral("The Trash is not available.") : error));
            remaining.append(file);
        }
    }
    QList<DuplicateGroup> groups = m_groups;
    if (remaining.size() < 2) {
        groups.removeIf([&](const DuplicateGroup& g) { return g.id == group.id; });
    } else {
        const auto it = std::find_if(groups.begin(), groups.end(),
                                     [&](const DuplicateGroup& g) { return g.id == group.id; });
        if (it == groups.end())
            return result;
        std::sort(remaining.begin(), remaining.end());
        DuplicateGroup rebuilt{QUuid::createUuid(), group.fileSize, remaining};
        rebuilt.digest = group.digest;
        if (!group.stamps.isEmpty())
            for (const QString& file : remaining)
                rebuilt.stamps.append(group.stampOf(file).value_or(RegularFile::Stamp{}));
        if (!group.allocatedBytes.isEmpty())
            for (const QString& file : remaining)
                rebuilt.allocatedBytes.append(group.allocatedOf(file));
        *it = rebuilt;
    }
    setGroups(std::move(groups));
    return result;
}

DuplicateFinder::TrashResult DuplicateFinder::keepOneOfEach() {
    TrashResult total;
    const QList<DuplicateGroup> snapshot = m_groups;
    for (const DuplicateGroup& group : snapshot) {
        if (group.files.isEmpty())
            continue;
        const TrashResult one = trash(group, group.files.first());
        total.freedBytes += one.freedBytes;
        total.errors.append(one.errors);
    }
    return total;
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

void DuplicateFinder::setLastFolder(const std::optional<QString>& folder) {
    if (m_lastFolder == folder)
        return;
    m_lastFolder = folder;
    emit lastFolderChanged();
}
