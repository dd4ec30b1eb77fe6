#include "cleaning/CategoryCleaner.h"

#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleanerPaneText.h"
#include "platform/DirectoryWalker.h"
#include "platform/FoundRoot.h"
#include "platform/NativePath.h"
#include "platform/ParallelLoop.h"
#include "platform/Trash.h"

#include <algorithm>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <sys/stat.h>
#include <vector>

namespace {

// True when path is one of the moved items or lies inside one.
bool isCovered(const QSet<QString>& moved, const QString& path) {
    QString p = path;
    while (!p.isEmpty()) {
        if (moved.contains(p))
            return true;
        const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            break;
        p.truncate(slash);
    }
    return false;
}

bool isRegularFile(const QString& path) {
    struct stat st;
    return ::lstat(NativePath::encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// False when a listed item, whose status is st as its folder holds it now, no longer qualifies
// for its row (see clean()).
bool stillQualifies(const CleanCategory& row, const struct stat& st, const ItemStamp* stamp,
                    qint64 nowSeconds) {
    const bool folders = row.measuringMode() == CleanCategory::MeasuringMode::FolderSearch;
    if (folders ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        return false;
    if (stamp) {
        if (quint64(st.st_dev) != stamp->device || quint64(st.st_ino) != stamp->inode)
            return false;
        if (!folders && (qint64(st.st_size) != stamp->sizeBytes ||
                         qint64(st.st_mtim.tv_sec) != stamp->modifyTime))
            return false;
    }
    if (row.olderThanDays && !folders) {
        const qint64 cutoff = CategoryMeasurer::cutoffFor(*row.olderThanDays, nowSeconds);
        if (CategoryMeasurer::lastOpened(st.st_atim.tv_sec, st.st_mtim.tv_sec) > cutoff)
            return false;
    }
    return true;
}

// The innermost of a row's opened locations that holds path below it; null when none does.
const FoundRoot* holderOf(const std::vector<FoundRoot>& roots, const QString& path) {
    const FoundRoot* holder = nullptr;
    for (const FoundRoot& root : roots) {
        if (root.holds(path) && (!holder || root.path().size() > holder->path().size()))
            holder = &root;
    }
    return holder;
}

} // namespace

CategoryCleaner::CategoryCleaner(std::shared_ptr<Trash> trash, QStringList protectedPaths,
                                 ContentsGuard guard)
    : m_trash(std::move(trash)), m_guard(std::move(guard)) {
    for (const QString& p : protectedPaths)
        m_protected.append(QDir::cleanPath(p));
}

const QString& CategoryCleaner::trashCategoryId() {
    static const QString id = QStringLiteral("trash");
    return id;
}

QString CategoryCleaner::failureLine(const QString& path, const QString& reason) {
    return QFileInfo(path).fileName() + QStringLiteral(": ") + reason;
}

qint64 CategoryCleaner::itemSize(const QString& path, CountedLinks* counted) {
    DirectoryWalker::Options options;
    options.threads = ParallelLoop::diskThreads();
    options.followRootSymlink = false;
    options.sameDevice = true;
    const DirectoryWalker walker(options);
    PerWorker<qint64> bytes(walker.threads());
    QMutex countedLock;
    // Erasing one name lowers the count of the others, so a file counted while it had several
    // names is looked up again once it has one.
    const bool lookUp = counted && !counted->empty();
    walker.walk(path, [&](const DirectoryWalker::Entry& e) {
        if (counted && !e.isDirectory() && (e.links > 1 || lookUp)) {
            const QMutexLocker locked(&countedLock);
            const bool fresh = e.links > 1 ? counted->insert({e.device, e.inode}).second
                                           : !counted->count({e.device, e.inode});
            if (fresh)
                bytes.slot(e.worker) += e.allocatedBytes;
        } else if (!e.repeatLink) {
            bytes.slot(e.worker) += e.allocatedBytes;
        }
        return DirectoryWalker::Action::Continue;
    });
    return bytes.fold(qint64(0), [](qint64 a, qint64 b) { return a + b; });
}

QStringList CategoryCleaner::children(const QString& folder) {
    QStringList names;
    const DirectoryWalker walker;
    walker.walk(folder, [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0)
            return DirectoryWalker::Action::Continue;
        names.append(e.fileName());
        return DirectoryWalker::Action::SkipChildren;
    });
    std::sort(names.begin(), names.end());
    const QString base = QDir::cleanPath(folder);
    QStringList paths;
    for (const QString& name : names)
        paths.append(base + QLatin1Char('/') + name);
    return paths;
}

bool CategoryCleaner::isProtectedOrHoldsProtected(const QString& path) const {
    const QString p = QDir::cleanPath(path);
    return std::any_of(m_protected.begin(), m_protected.end(), [&](const QString& prot) {
        return prot == p || prot.startsWith(p + QLatin1Char('/'));
    });
}

CleanResult CategoryCleaner::clean(const QList<CleanCategory>& table,
                                   const QSet<QString>& ids) const {
    QList<CleanCategory> rows;
    for (const CleanCategory& row : table) {
        if (row.removable && ids.contains(row.id))
            rows.append(row);
    }
    std::stable_partition(rows.begin(), rows.end(),
                          [](const CleanCategory& row) { return row.id == trashCategoryId(); });

    CleanResult result;
    QSet<QString> moved;
    CountedLinks counted;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    // Items go through the folder they were found in (see Trash::moveFoundToTrash): a found
    // item through the row's location that holds it, opened once for the row; a location that
    // is itself the item through the folder holding it. found: the row of a listed item, and its
    // stamp when it has one; checked again as it moves.
    auto dispose = [&](const QString& path, bool erase, const std::vector<FoundRoot>& roots,
                       const CleanCategory* found = nullptr, const ItemStamp* stamp = nullptr) {
        if (isCovered(moved, path) || isProtectedOrHoldsProtected(path))
            return;
        const qint64 size = itemSize(path, &counted);
        QString error;
        bool ok = false;
        if (erase) {
            ok = m_trash->erase(path, &error);
        } else {
            const Trash::Vet vet = [&](const struct stat& st) {
                return !found || stillQualifies(*found, st, stamp, now)
                           ? QString()
                           : CleanerPaneText::changedSinceMeasuredReason();
            };
            const FoundRoot* holder = holderOf(roots, path);
            ok = holder ? m_trash->moveFoundToTrash(*holder, path, vet, &error)
                        : m_trash->moveFoundToTrash(FoundRoot(QFileInfo(path).path()), path, vet,
                                                    &error);
        }
        if (ok) {
            result.freedBytes += size;
            ++result.cleaned;
            if (!erase)
                moved.insert(QDir::cleanPath(path));
        } else {
            result.failures.append(failureLine(path, error));
            if (error == Trash::isMountText() || error == Trash::holdsMountText())
                result.leftMounted.append(QFileInfo(path).fileName());
        }
    };

    for (const CleanCategory& row : rows) {
        const bool erase = row.id == trashCategoryId();
        if (const std::optional<ContentsRefusal> refusal =
                m_guard.check(row.locations, row.searchesUserFolders)) {
            result.failures.append(failureLine(QDir::cleanPath(refusal->location),
                                               CleanerPaneText::refusalReason(*refusal)));
            continue;
        }
        std::vector<FoundRoot> roots;
        if (!erase)
            for (const QString& location : row.locations)
                roots.emplace_back(location);
        if (row.cleansFoundItems()) {
            const bool stamped = row.eligibleStamps.size() == row.eligibleFiles.size();
            for (qsizetype i = 0; i < row.eligibleFiles.size(); ++i)
                dispose(row.eligibleFiles.at(i), erase, roots, &row,
                        stamped ? &row.eligibleStamps.at(i) : nullptr);
            continue;
        }
        for (const QString& location : row.locations) {
            if (isRegularFile(location)) {
                dispose(location, erase, {});
                continue;
            }
            for (const QString& child : children(location))
                dispose(child, erase, roots);
        }
    }
    return result;
}
