#include "storage/FolderTree.h"
#include "platform/NativePath.h"

#include "measuring/WholeSize.h"
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
#include <string>
#include <string_view>

namespace {

constexpr std::array<const char*, 2> kSortOrders = {"size", "name"};

bool isPackageName(const QString& name) {
    return ContentClassifier::hasPackageExtension(NativePath::encode(name).toStdString());
}

// Whether QDir::cleanPath would return the path unchanged, for absolute paths: no empty, "."
// or ".." component and no trailing slash. Listed paths nearly always are, and then the entry's
// id shares the path's text instead of being cleaned into a copy of its own.
bool isCleanAbsolute(QStringView path) {
    if (path.isEmpty() || path.front() != QLatin1Char('/'))
        return false;
    if (path.size() == 1)
        return true;
    qsizetype start = 1;
    while (start <= path.size()) {
        qsizetype end = path.indexOf(QLatin1Char('/'), start);
        if (end < 0)
            end = path.size();
        const QStringView part = path.sliced(start, end - start);
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
        start = end + 1;
    }
    return true;
}

FolderTree::Listed listedOf(const DirectoryWalker::Entry& e, const QString& prefix) {
    FolderTree::Listed item;
    item.name = NativePath::decode(e.name.data(), qsizetype(e.name.size()));
    item.path = prefix + item.name;
    item.isDirectory = e.isDirectory();
    item.allocatedBytes = e.allocatedBytes;
    item.sizeBytes = e.sizeBytes;
    // In UTC: a local time would cost a time-zone lookup per item; screens convert.
    item.modified = QDateTime::fromSecsSinceEpoch(e.modifyTime, Qt::UTC);
    if (e.isFile() && e.links > 1) {
        item.device = e.device;
        item.inode = e.inode;
        item.links = quint32(e.links);
    }
    return item;
}

} // namespace

PENDREL_RAW_VALUES(FolderSortOrder, kSortOrders)

FolderTree::FolderTree(QString home, QObject* parent)
    : FolderTree(std::move(home), Deps(), parent) {}

FolderTree::FolderTree(QString home, Deps tools, QObject* parent)
    : QObject(parent), m_home(std::move(home)), m_tools(std::move(tools)),
      m_scan(this, &FolderTree::prepare,
             {[this](const Step& step) {
                  if (const auto* measured = std::get_if<Measured>(&step))
                      applyMeasurement(measured->first, measured->second);
                  else
                      applyFirstRows(std::get<FirstRows>(step));
              },
              [this](std::optional<Prepared> prepared) {
                  applyListing(std::move(prepared));
                  return std::nullopt;
              }}) {
    // The first rows come from the disk only beside the listing that reads the disk too: next to
    // a list of the caller's own they could show what that list never gives.
    if (!m_tools.listFirst)
        m_tools.listFirst = m_tools.list
                                ? std::function([](const QString&, int) { return QList<Listed>(); })
                                : std::function(firstOfFolder);
    if (!m_tools.list)
        m_tools.list = [threads = workerCount()](const QString& folder) {
            return listFolder(folder, threads);
        };
    if (!m_tools.measure)
        m_tools.measure = [](const QString& folder, const CancelToken& cancel) {
            return measureFolder(folder, cancel);
        };
}

FolderTree::~FolderTree() = default;

int FolderTree::workerCount() const {
    // The listing and the measuring share the pool with the other scans: an outer loop.
    return ParallelLoop::outerThreads(m_tools.processors > 0 ? m_tools.processors
                                                             : ParallelLoop::processors());
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
    emit sortOrderChanged(order);
    if (m_model.entries().size() > kSortAtOnce) {
        sortInPool(false);
        return;
    }
    // A sort already on its way was made for the order before: it must not land after this one.
    ++m_sortRequest;
    m_model.reorder(sortEntries(m_model.entries(), m_sortOrder));
    if (std::exchange(m_settlePending, false))
        setMeasuring(0);
    emit entriesChanged();
}

void FolderTree::open(QString folder) {
    // Everything between the disk and the model runs on the worker: the entries, the cached
    // sizes, the sort and the row index. The main thread only swaps the finished rows in. The
    // worker starts first, and the screen empties while it reads.
    const bool listingHome = QDir::cleanPath(folder) == QDir::cleanPath(m_home);
    m_scan.start({m_tools.list, m_tools.listFirst, folder, listingHome, workerCount(), m_sizeCache,
                  m_sortOrder, m_cacheRevision});

    setError(std::nullopt);
    setListing(true);
    // Freeing the rows of a large folder costs milliseconds of the main thread; the pool does it.
    ScanJob::runInPool([rows = m_model.entries()]() mutable { rows = {}; });
    m_model.setEntries({});
    dropTotal();
    setMeasuring(0);
    m_settlePending = false;
    emit entriesChanged();
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

std::optional<FolderTree::Prepared> FolderTree::prepare(ListingRequest& request,
                                                        const ListingSlot::Run& run) {
    // Reading a few hundred children one by one takes milliseconds, stating the whole folder of
    // tens of thousands far longer: its first rows show meanwhile. A folder that gave fewer has
    // been read whole already and waits for its listing, a moment away.
    QList<Listed> first = request.listFirst(request.folder, kFirstRows);
    if (first.size() >= kFirstRows && !run.isCancelled()) {
        QList<Entry> rows = makeEntries(first, request.listingHome, 1);
        first = {};
        fillFromCache(rows, request.cache);
        run.progress(FirstRows{sortEntries(std::move(rows), request.order), request.order,
                               request.cacheRevision});
    }
    const Listing listing = request.list(request.folder);
    if (!listing || run.isCancelled())
        return std::nullopt;
    Prepared prepared;
    prepared.entries = makeEntries(*listing, request.listingHome, request.threads);
    fillFromCache(prepared.entries, request.cache);
    prepared.entries = sortEntries(std::move(prepared.entries), request.order, request.threads);
    prepared.rowOfId = FolderEntryModel::indexRows(prepared.entries);
    totalOf(prepared.entries, request.cache, prepared.total, prepared.largest);
    prepared.order = request.order;
    prepared.cacheRevision = request.cacheRevision;
    // The main thread detaches its cache at its next insertion while this copy lives.
    request.cache = {};
    return prepared;
}

void FolderTree::applyFirstRows(FirstRows rows) {
    // An order or cache changed since the rows were made only waits for the whole listing.
    if (!m_listing || rows.order != m_sortOrder || rows.cacheRevision != m_cacheRevision)
        return;
    m_model.setEntries(std::move(rows.entries));
    totalOf(m_model.entries(), m_sizeCache, m_total, m_largest);
    // The rest of the folder is the one measurement outstanding, so that whoever waits for the
    // settled folder waits for it too.
    setMeasuring(1);
    setListing(false);
    emit entriesChanged();
}

void FolderTree::applyListing(std::optional<Prepared> prepared) {
    if (!prepared) {
        // Rows shown early of a folder that then could not be listed go with it.
        if (!m_model.entries().isEmpty()) {
            m_model.setEntries({});
            dropTotal();
            setMeasuring(0);
        }
        setListing(false);
        setError(unreadableText());
        return;
    }
    dropTotal();
    if (prepared->order == m_sortOrder && prepared->cacheRevision == m_cacheRevision) {
        m_model.setEntries(std::move(prepared->entries), std::move(prepared->rowOfId));
        m_total = std::move(prepared->total);
        m_largest = prepared->largest;
    } else {
        // The order or the cache changed while the listing was under way (rare): redo here.
        for (Entry& entry : prepared->entries) {
            if (entry.isDirectory) {
                entry.sizeBytes.reset();
                entry.fileCount = 0;
            }
        }
        fillFromCache(prepared->entries, m_sizeCache);
        const bool large = prepared->entries.size() > kSortAtOnce;
        m_model.setEntries(large ? std::move(prepared->entries)
                                 : sortEntries(std::move(prepared->entries), m_sortOrder));
        totalOf(m_model.entries(), m_sizeCache, m_total, m_largest);
        // Many rows show in the order they were made in for the moment the pool sorts them.
        if (large)
            sortInPool(false);
    }
    // The rows before the end of the listing: whoever hears that it ended finds them in place.
    setListing(false);
    emit entriesChanged();
    startMeasuring();
}

void FolderTree::fillFromCache(QList<Entry>& entries, const QHash<QString, Size>& cache) {
    if (cache.isEmpty())
        return;
    for (Entry& entry : entries) {
        if (entry.sizeBytes)
            continue;
        if (const auto it = cache.constFind(entry.id); it != cache.cend()) {
            entry.sizeBytes = it->bytes;
            entry.fileCount = it->files;
        }
    }
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
    // Also ends the count the first rows left standing.
    setMeasuring(int(paths.size()));
    if (paths.isEmpty())
        return;
    const int workers = workerCount();
    for (const QList<int>& positions : deal(int(paths.size()), workers)) {
        if (positions.isEmpty())
            continue;
        QList<std::pair<QString, QString>> work; // path, id
        work.reserve(positions.size());
        for (int k : positions)
            work.append({paths.at(k), ids.at(k)});
        m_scan.alsoRun([measure = m_tools.measure, work = std::move(work)](const auto& run) {
            for (const auto& [path, id] : work) {
                if (run.isCancelled())
                    return;
                const Size size = measure(path, run.cancel());
                if (run.isCancelled())
                    return;
                run.progress(Measured{id, size});
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
    entry.sizeBytes = size.bytes;
    entry.fileCount = size.files;
    m_total.add(id, size.bytes, size.linked);
    m_largest = std::max(m_largest, size.bytes);
    m_model.setEntry(row, entry);
    // The last size leaves the count at one until the rows are in order.
    if (m_measuring > 1)
        setMeasuring(m_measuring - 1);
    else
        sortWhenMeasured();
    emit entriesChanged();
}

void FolderTree::sortWhenMeasured() {
    sortInPool(true);
}

void FolderTree::sortInPool(bool settles) {
    // Sorting (and copying) tens of thousands of rows would hold the main thread: the pool sorts
    // a copy and hands it back with the rows it was made from, kept shared so that a change of
    // the model meanwhile (a size filled in) shows as a list of its own and the late order is
    // sorted again from the rows then; the rows it replaces are freed there too. A new listing
    // meanwhile keeps its own count. The pool also makes what the model needs to follow the
    // rows (where each went, the row index), so the main thread only swaps them in.
    m_settlePending = m_settlePending || settles;
    ScanJob::runInPool([self = QPointer(this), rows = m_model.entries(), order = m_sortOrder,
                        generation = m_scan.generation(), request = ++m_sortRequest,
                        threads = workerCount()]() mutable {
        const std::vector<int> from = sortedRows(rows, order, threads);
        QList<Entry> sorted;
        sorted.reserve(rows.size());
        std::vector<int> newRowOf(from.size());
        for (size_t k = 0; k < from.size(); ++k) {
            sorted.append(rows.at(from[k]));
            newRowOf[size_t(from[k])] = int(k);
        }
        QHash<QString, int> rowOfId = FolderEntryModel::indexRows(sorted);
        ScanJob::deliver(self, [rows = std::move(rows), sorted = std::move(sorted),
                                newRowOf = std::move(newRowOf), rowOfId = std::move(rowOfId), order,
                                generation, request](FolderTree* tree) mutable {
            if (!tree->m_scan.isCurrent(generation) || request != tree->m_sortRequest)
                return;
            if (tree->m_model.entries().constData() != rows.constData() ||
                tree->m_sortOrder != order) {
                tree->sortInPool(false);
                return;
            }
            tree->m_model.reorder(std::move(sorted), newRowOf, std::move(rowOfId));
            ScanJob::runInPool([gone = std::move(rows)]() mutable { gone = {}; });
            if (std::exchange(tree->m_settlePending, false))
                tree->setMeasuring(0);
            emit tree->entriesChanged();
        });
    });
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

void FolderTree::dropTotal() {
    ScanJob::runInPool([total = std::exchange(m_total, {})]() mutable { total.clear(); });
    m_largest = 0;
}

void FolderTree::totalOf(const QList<Entry>& entries, const QHash<QString, Size>& cache,
                         FolderSizeTotal& total, qint64& largest) {
    total.clear();
    largest = 0;
    total.reserve(entries.size());
    for (const Entry& entry : entries) {
        if (entry.sizeBytes) {
            const auto cached = cache.constFind(entry.id);
            total.add(entry.id, *entry.sizeBytes,
                      entry.link               ? QList<LinkedFile>{*entry.link}
                      : cached != cache.cend() ? cached->linked
                                               : QList<LinkedFile>());
            largest = std::max(largest, *entry.sizeBytes);
        }
    }
}

std::optional<FolderTree::Entry> FolderTree::makeEntry(const Listed& item, bool listingHome) {
    if (listingHome && DiskMapScanner::skippedHomeNames().contains(item.name))
        return std::nullopt;
    Entry entry;
    entry.path = item.path;
    entry.id = isCleanAbsolute(item.path) ? item.path : QDir::cleanPath(item.path);
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
        if (item.links > 1)
            entry.link = FolderSizeTotal::LinkedFile{item.device, item.inode, item.allocatedBytes};
    }
    return entry;
}

QList<FolderTree::Entry> FolderTree::makeEntries(const QList<Listed>& items, bool listingHome,
                                                 int threads) {
    // Slices of the listing, one worker each at a time: per item, the atomic hand-out would cost
    // more than the entry.
    constexpr qsizetype kSlice = 2048;
    const qsizetype count = items.size();
    QList<Entry> entries(count);
    std::vector<char> skipped(size_t(count), 0);
    Entry* made = entries.data();
    ParallelLoop::run(size_t((count + kSlice - 1) / kSlice), threads, [&](size_t slice, int) {
        const qsizetype end = std::min(count, qsizetype(slice + 1) * kSlice);
        for (qsizetype k = qsizetype(slice) * kSlice; k < end; ++k) {
            if (std::optional<Entry> entry = makeEntry(items.at(k), listingHome))
                made[k] = std::move(*entry);
            else
                skipped[size_t(k)] = 1;
        }
    });
    if (std::find(skipped.begin(), skipped.end(), 1) != skipped.end()) {
        qsizetype kept = 0;
        for (qsizetype k = 0; k < count; ++k) {
            if (!skipped[size_t(k)])
                made[kept++] = std::move(made[k]);
        }
        entries.resize(kept);
    }
    return entries;
}

QList<FolderTree::Entry> FolderTree::sortEntries(QList<Entry> entries, SortOrder order,
                                                 int threads) {
    const std::vector<int> from = sortedRows(entries, order, threads);
    // Rows the caller still shares (the model's own, on a re-sort) are copied, not moved from.
    const bool owned = entries.isDetached();
    QList<Entry> sorted;
    sorted.reserve(entries.size());
    for (const int row : from) {
        if (owned)
            sorted.append(std::move(entries[row]));
        else
            sorted.append(std::as_const(entries).at(row));
    }
    return sorted;
}

std::vector<int> FolderTree::sortedRows(const QList<Entry>& entries, SortOrder order, int threads) {
    // Sorted as small keys, then the entries moved once into place: an entry is large, and a
    // merge sort moves every element about log2(n) times. Names compare by their natural-order
    // keys, kept side by side per slice, so a comparison is one memcmp. With several threads,
    // slices are keyed and sorted at once, then merged; merging takes the earlier slice first on
    // ties, so the result is the one stable sort's.
    struct Key {
        qint64 size;
        std::string_view name;
        int at;
        bool measured;
        bool isDirectory;
    };
    const auto nameBefore = [](const Key& a, const Key& b) { return a.name < b.name; };
    const auto bySize = [&](const Key& a, const Key& b) {
        if (a.measured != b.measured)
            return a.measured;
        if (a.measured && a.size != b.size)
            return a.size > b.size;
        return nameBefore(a, b);
    };
    const auto byName = [&](const Key& a, const Key& b) {
        if (a.isDirectory != b.isDirectory)
            return a.isDirectory;
        return nameBefore(a, b);
    };
    const auto before = [&](const Key& a, const Key& b) {
        return order == SortOrder::Size ? bySize(a, b) : byName(a, b);
    };

    const size_t count = size_t(entries.size());
    // Below a few thousand entries a thread costs more than it saves.
    constexpr size_t kMinSlice = 4096;
    const size_t slices =
        std::clamp<size_t>(std::min(size_t(std::max(threads, 1)), count / kMinSlice), 1, 64);
    std::vector<Key> keys(count);
    std::vector<size_t> bounds(slices + 1);
    for (size_t k = 0; k <= slices; ++k)
        bounds[k] = count * k / slices;
    std::vector<std::string> names(slices);
    ParallelLoop::run(slices, int(slices), [&](size_t slice, int) {
        std::string& arena = names[slice];
        std::vector<size_t> ends;
        ends.reserve(bounds[slice + 1] - bounds[slice]);
        for (size_t k = bounds[slice]; k < bounds[slice + 1]; ++k) {
            NaturalOrder::appendSortKey(entries.at(qsizetype(k)).name, arena);
            ends.push_back(arena.size());
        }
        size_t start = 0;
        for (size_t k = bounds[slice]; k < bounds[slice + 1]; ++k) {
            const Entry& e = entries.at(qsizetype(k));
            const size_t end = ends[k - bounds[slice]];
            keys[k] = {e.sizeBytes.value_or(0), std::string_view(arena).substr(start, end - start),
                       int(k), e.sizeBytes.has_value(), e.isDirectory};
            start = end;
        }
        std::stable_sort(keys.begin() + qsizetype(bounds[slice]),
                         keys.begin() + qsizetype(bounds[slice + 1]), before);
    });
    for (size_t width = 1; width < slices; width *= 2) {
        for (size_t left = 0; left + width < slices; left += 2 * width) {
            const size_t right = std::min(left + 2 * width, slices);
            std::inplace_merge(keys.begin() + qsizetype(bounds[left]),
                               keys.begin() + qsizetype(bounds[left + width]),
                               keys.begin() + qsizetype(bounds[right]), before);
        }
    }

    std::vector<int> from;
    from.reserve(count);
    for (const Key& key : keys)
        from.push_back(key.at);
    return from;
}

QList<QList<int>> FolderTree::deal(int count, int workers) {
    QList<QList<int>> dealt(std::max(1, workers));
    for (int k = 0; k < count; ++k)
        dealt[k % dealt.size()].append(k);
    return dealt;
}

FolderTree::Listing FolderTree::listFolder(const QString& folder, int threads) {
    DirectoryWalker::Options options;
    options.threads = threads;
    const DirectoryWalker walker(options);
    QList<Listed> items;
    bool rootIsFolder = false;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const DirectoryWalker::Result result =
        walker.list(folder, [&](const DirectoryWalker::Entry& e) {
            if (e.depth == 0) {
                rootIsFolder = e.isDirectory();
                return DirectoryWalker::Action::Continue;
            }
            if (e.isHidden())
                return DirectoryWalker::Action::SkipChildren;
            items.append(listedOf(e, prefix));
            return DirectoryWalker::Action::SkipChildren;
        });
    if (!result.rootFound || !rootIsFolder || result.unreadableFolders > 0)
        return std::nullopt;
    return items;
}

QList<FolderTree::Listed> FolderTree::firstOfFolder(const QString& folder, int count) {
    // A walk that goes into nothing below the folder reads its children one by one, unlike a
    // listing, which states them all before the first one; cancelled once it has enough (the
    // walk stops at its next batch of names).
    const CancelToken enough;
    const DirectoryWalker walker(DirectoryWalker::Options(), enough);
    QList<Listed> items;
    bool rootIsFolder = false;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    walker.walk(folder, [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0) {
            rootIsFolder = e.isDirectory();
            return DirectoryWalker::Action::Continue;
        }
        if (!e.isHidden() && items.size() < count)
            items.append(listedOf(e, prefix));
        if (items.size() >= count)
            enough.cancel();
        return DirectoryWalker::Action::SkipChildren;
    });
    if (!rootIsFolder)
        return {};
    return items;
}

FolderTree::Size FolderTree::measureFolder(const QString& folder, const CancelToken& cancel) {
    DirectoryWalker::Options options;
    options.threads = 1;
    const DirectoryWalker walker(options, cancel);
    // The blocks count as everything taken whole counts them, so that a folder's row and a
    // clean of it agree. A file's later names are left out before the tally, not only their
    // blocks: the row counts files, where a clean counts the names it moves.
    WholeSize::Tally tally;
    QList<LinkedFile> linked;
    walker.walk(folder, [&](const DirectoryWalker::Entry& e) {
        if (e.repeatLink)
            return DirectoryWalker::Action::Continue;
        WholeSize::add(tally, e);
        if (e.isFile() && e.links > 1)
            linked.append({e.device, e.inode, e.allocatedBytes});
        return DirectoryWalker::Action::Continue;
    });
    return {tally.bytes, tally.files, std::move(linked)};
}

QString FolderTree::unreadableText() {
    return QStringLiteral("Pendrel could not read this folder. If it keeps happening, check that "
                          "your account is allowed to open it.");
}
