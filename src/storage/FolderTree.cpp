#include "storage/FolderTree.h"
#include "platform/NativePath.h"

#include "platform/DirectoryWalker.h"
#include "platform/ParallelLoop.h"
#include "platform/RawValueTable.h"
#include "storage/ContentClassifier.h"
#include "storage/DiskMapScanner.h"
#include "storage/NaturalOrder.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QPointer>

namespace {

constexpr std::array<const char*, 2> kSortOrders = {"size", "name"};

bool isPackageName(const QString& name) {
    return ContentClassifier::hasPackageExtension(NativePath::encode(name).toStdString());
}

bool nameBefore(const FolderEntry& a, const FolderEntry& b) {
    return NaturalOrder::compare(a.name, b.name) < 0;
}

} // namespace

PENDREL_RAW_VALUES(FolderSortOrder, kSortOrders)

FolderTree::FolderTree(QString home, QObject* parent)
    : FolderTree(std::move(home), Deps(), parent) {}

FolderTree::FolderTree(QString home, Deps tools, QObject* parent)
    : QObject(parent), m_home(std::move(home)), m_tools(std::move(tools)) {
    if (!m_tools.list)
        m_tools.list = [](const QString& folder) { return listFolder(folder); };
    if (!m_tools.measure)
        m_tools.measure = [](const QString& folder, const CancelToken& cancel) {
            return measureFolder(folder, cancel);
        };
}

FolderTree::~FolderTree() {
    m_job.cancel();
}

void FolderTree::setTrail(const QStringList& trail) {
    if (trail == m_trail)
        return;
    m_trail = trail;
    emit trailChanged();
}

QString FolderTree::currentFolder() const {
    return m_trail.isEmpty() ? m_home : m_trail.last();
}

void FolderTree::setSortOrder(SortOrder order) {
    if (order == m_sortOrder)
        return;
    m_sortOrder = order;
    m_model.reorder(sortEntries(m_model.entries(), m_sortOrder));
    emit sortOrderChanged(order);
    emit entriesChanged();
}

void FolderTree::open(QString folder) {
    m_ticket = m_job.restart();
    m_generation = m_ticket.generation;
    setError(std::nullopt);
    setListing(true);
    m_model.setEntries({});
    m_totalBytes = 0;
    m_largest = 0;
    setMeasuring(0);
    emit entriesChanged();

    const bool listingHome = QDir::cleanPath(folder) == QDir::cleanPath(m_home);
    const quint64 generation = m_generation;
    ScanJob::runInPool(
        [self = QPointer(this), list = m_tools.list, folder, listingHome, generation] {
            const Listing listing = list(folder);
            if (!listing) {
                ScanJob::deliver(self, [generation](FolderTree* t) { t->failListing(generation); });
                return;
            }
            QList<Entry> entries;
            entries.reserve(listing->size());
            for (const Listed& item : *listing) {
                if (std::optional<Entry> entry = makeEntry(item, listingHome))
                    entries.append(std::move(*entry));
            }
            ScanJob::deliver(self, [generation, entries = std::move(entries)](FolderTree* t) {
                t->applyListing(generation, entries);
            });
        });
}

void FolderTree::enter(const Entry& entry) {
    if (!entry.isFolder())
        return;
    // The entry is often a row of the model, and both a listener of trailChanged and open()
    // may replace the rows: nothing of it is read after this line.
    const QString path = entry.path;
    setTrail(m_trail + QStringList{path});
    open(path);
}

void FolderTree::goUp() {
    if (m_trail.isEmpty())
        return;
    QStringList trail = m_trail;
    trail.removeLast();
    setTrail(trail);
    open(currentFolder());
}

void FolderTree::jumpToTrail(int index) {
    if (index < 0)
        setTrail({});
    else if (index < m_trail.size())
        setTrail(m_trail.mid(0, index + 1));
    open(currentFolder());
}

void FolderTree::applyListing(quint64 generation, QList<Entry> entries) {
    if (generation != m_generation)
        return;
    setListing(false);
    for (Entry& entry : entries) {
        if (entry.sizeBytes)
            continue;
        if (const auto it = m_sizeCache.constFind(entry.id); it != m_sizeCache.cend()) {
            entry.sizeBytes = it->bytes;
            entry.fileCount = it->files;
        }
    }
    m_model.setEntries(sortEntries(std::move(entries), m_sortOrder));
    recomputeTotals();
    emit entriesChanged();
    startMeasuring();
}

void FolderTree::failListing(quint64 generation) {
    if (generation != m_generation)
        return;
    setListing(false);
    setError(unreadableText());
}

void FolderTree::startMeasuring() {
    QStringList paths;
    QStringList ids;
    for (const Entry& entry : m_model.entries()) {
        if (!entry.sizeBytes) {
            paths << entry.path;
            ids << entry.id;
        }
    }
    if (paths.isEmpty())
        return;
    setMeasuring(int(paths.size()));
    // The measuring shares the pool with the listing and the other scans: an outer loop.
    const int workers = ParallelLoop::outerThreads(
        m_tools.processors > 0 ? m_tools.processors : ParallelLoop::processors());
    const quint64 generation = m_generation;
    for (const QList<int>& positions : deal(int(paths.size()), workers)) {
        if (positions.isEmpty())
            continue;
        QList<std::pair<QString, QString>> work; // path, id
        work.reserve(positions.size());
        for (int k : positions)
            work.append({paths.at(k), ids.at(k)});
        ScanJob::runInPool([self = QPointer(this), measure = m_tools.measure,
                            cancel = m_ticket.cancel, generation, work = std::move(work)] {
            for (const auto& entry : work) {
                const QString& id = entry.second;
                if (cancel.isCancelled())
                    return;
                const Size size = measure(entry.first, cancel);
                if (cancel.isCancelled())
                    return;
                ScanJob::deliver(self, [generation, id = id, size](FolderTree* t) {
                    if (generation == t->m_generation)
                        t->applyMeasurement(id, size);
                });
            }
        });
    }
}

void FolderTree::applyMeasurement(const QString& id, Size size) {
    m_sizeCache.insert(id, size);
    const int row = m_model.rowOf(id);
    if (row < 0)
        return;
    Entry entry = m_model.entries().at(row);
    if (entry.sizeBytes)
        m_totalBytes -= *entry.sizeBytes;
    entry.sizeBytes = size.bytes;
    entry.fileCount = size.files;
    m_totalBytes += size.bytes;
    m_largest = std::max(m_largest, size.bytes);
    m_model.setEntry(row, entry);
    setMeasuring(std::max(0, m_measuring - 1));
    if (m_measuring == 0)
        m_model.reorder(sortEntries(m_model.entries(), m_sortOrder));
    emit entriesChanged();
}

void FolderTree::setListing(bool listing) {
    if (listing == m_listing)
        return;
    m_listing = listing;
    emit listingChanged(listing);
}

void FolderTree::setMeasuring(int count) {
    if (count == m_measuring)
        return;
    m_measuring = count;
    emit measuringCountChanged(count);
}

void FolderTree::setError(std::optional<QString> error) {
    if (error == m_error)
        return;
    m_error = std::move(error);
    emit errorChanged();
}

void FolderTree::recomputeTotals() {
    m_totalBytes = 0;
    m_largest = 0;
    for (const Entry& entry : m_model.entries()) {
        if (entry.sizeBytes) {
            m_totalBytes += *entry.sizeBytes;
            m_largest = std::max(m_largest, *entry.sizeBytes);
        }
    }
}

std::optional<FolderTree::Entry> FolderTree::makeEntry(const Listed& item, bool listingHome) {
    if (listingHome && DiskMapScanner::skippedHomeNames().contains(item.name))
        return std::nullopt;
    Entry entry;
    entry.id = QDir::cleanPath(item.path);
    entry.path = item.path;
    entry.name = item.name;
    entry.modified = item.modified;
    if (item.isDirectory) {
        entry.isDirectory = true;
        entry.isPackage = isPackageName(item.name);
        entry.category = listingHome
                             ? ContentClassifier::topLevelCategory<ContentCategory>(item.name)
                             : ContentClassifier::classify<ContentCategory>(item.name).value_or(
                                   ContentCategory::Unknown);
        entry.fileCount = 0;
    } else {
        entry.category =
            ContentClassifier::fileCategory<ContentCategory>(item.name, ContentCategory::Unknown);
        entry.sizeBytes = item.allocatedBytes;
        entry.fileCount = 1;
    }
    return entry;
}

QList<FolderTree::Entry> FolderTree::sortEntries(QList<Entry> entries, SortOrder order) {
    if (order == SortOrder::Size) {
        std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            if (a.sizeBytes.has_value() != b.sizeBytes.has_value())
                return a.sizeBytes.has_value();
            if (a.sizeBytes && *a.sizeBytes != *b.sizeBytes)
                return *a.sizeBytes > *b.sizeBytes;
            return nameBefore(a, b);
        });
    } else {
        std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            if (a.isDirectory != b.isDirectory)
                return a.isDirectory;
            return nameBefore(a, b);
        });
    }
    return entries;
}

QList<QList<int>> FolderTree::deal(int count, int workers) {
    QList<QList<int>> dealt(std::max(1, workers));
    for (int k = 0; k < count; ++k)
        dealt[k % dealt.size()].append(k);
    return dealt;
}

FolderTree::Listing FolderTree::listFolder(const QString& folder) {
    DirectoryWalker::Options options;
    options.threads = 1;
    const DirectoryWalker walker(options);
    QList<Listed> items;
    bool rootIsFolder = false;
    const DirectoryWalker::Result result =
        walker.walk(folder, [&](const DirectoryWalker::Entry& e) {
            if (e.depth == 0) {
                rootIsFolder = e.isDirectory();
                return DirectoryWalker::Action::Continue;
            }
            if (e.isHidden())
                return DirectoryWalker::Action::SkipChildren;
            Listed item;
            item.name = NativePath::decode(QByteArray(e.name.data(), qsizetype(e.name.size())));
            item.path = folder.endsWith(QLatin1Char('/')) ? folder + item.name
                                                          : folder + QLatin1Char('/') + item.name;
            item.isDirectory = e.isDirectory();
            item.allocatedBytes = e.allocatedBytes;
            item.sizeBytes = e.sizeBytes;
            // In UTC: a local time would cost a time-zone lookup per item; screens convert.
            item.modified = QDateTime::fromSecsSinceEpoch(e.modifyTime, Qt::UTC);
            items.append(std::move(item));
            return DirectoryWalker::Action::SkipChildren;
        });
    if (!result.rootFound || !rootIsFolder || result.unreadableFolders > 0)
        return std::nullopt;
    return items;
}

FolderTree::Size FolderTree::measureFolder(const QString& folder, const CancelToken& cancel) {
    DirectoryWalker::Options options;
    options.threads = 1;
    const DirectoryWalker walker(options, cancel);
    Size size;
    walker.walk(folder, [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0)
            return DirectoryWalker::Action::Continue;
        // A package inside counts, measured whole, as the disk map measures it: the folder's
        // size is everything visible below it.
        if (e.isHidden())
            return DirectoryWalker::Action::SkipChildren;
        if (e.isFile() && !e.repeatLink) {
            size.bytes += e.allocatedBytes;
            ++size.files;
        }
        return DirectoryWalker::Action::Continue;
    });
    return size;
}

QString FolderTree::unreadableText() {
    return QStringLiteral("Pendrel could not read this folder. If it keeps happening, check that "
                          "your account is allowed to open it.");
}
