#include "storage/DiskMapMeasurer.h"
#include "platform/NativePath.h"

#include "platform/DirectoryWalker.h"
#include "platform/DiskUsage.h"
#include "platform/ParallelLoop.h"
#include "storage/ContentClassifier.h"
#include "storage/DiskMapScanner.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <QFile>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr int kCategories = 7;

QString decode(std::string_view bytes) {
    return NativePath::decode(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

std::optional<QDateTime> dateOf(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

// A folder measured whole: every regular file below it adds up here, from whichever worker reads
// the subfolder that holds it.
struct Sink {
    std::string path;
    QString name;
    int item = 0; // the measured item it lies in
    qint64 modified = 0;
    DiskMapCategory category = DiskMapCategory::Unknown;
    std::atomic<qint64> files{0};
    std::atomic<qint64> bytes{0};  // everything below it, its folders' own blocks included
    std::atomic<qint64> blocks{0}; // of which folders' own blocks (its own included)
    std::atomic<bool> full{false}; // reached the switch: the tool sizes it
    bool sized = false;            // the tool has been asked, and its answer is in bytes
};

struct BigFile {
    std::string path;
    QString name;
    qint64 bytes = 0;
    qint64 modified = 0;
    DiskMapCategory category = DiskMapCategory::Unknown;
};

struct Folder;

// One kept child of a listed folder, in listing order.
struct Kid {
    Folder* folder = nullptr;
    Sink* sink = nullptr;
    int file = -1;       // index into Folder::files
    bool hidden = false; // a hidden folder: counted in its parent's own share, never drawn
};

// A folder listed child by child. Its entries are all visited by the one worker that reads it,
// so its fields need no lock; the walk's end publishes them to the thread that builds the tree.
struct Folder {
    std::string path;
    QString name;
    int item = 0; // the measured item it lies in
    int depth = 0;
    qint64 modified = 0;
    DiskMapCategory inherited = DiskMapCategory::Unknown;
    DiskMapCategory handedDown = DiskMapCategory::Unknown;
    qint64 entries = 0; // everything listed, hidden items included
    // Its own share, counted but not drawn: its own blocks and those of subfolders left out
    // (blocks), and its hidden files and the other hidden entries (hidden).
    qint64 blocks = 0;
    qint64 hiddenBytes = 0;
    qint64 hiddenFiles = 0;
    std::vector<Kid> kids;
    std::vector<BigFile> files;
    qint64 looseBytes = 0;
    qint64 looseCount = 0;
    std::optional<qint64> looseNewest;
    std::array<qint64, kCategories> looseByCategory{};
    std::array<bool, kCategories> looseEntered{};
};

struct Target {
    Folder* folder = nullptr;
    Sink* sink = nullptr;
    // The measured item the target lies in; -1 for none.
    int item() const { return folder ? folder->item : sink ? sink->item : -1; }
};

// One item the walk measures, as the walk met it: a file, a folder listed child by child or one
// measured whole; none of these when the walk never saw it.
struct Item {
    std::string path;
    int depth = 1;
    DiskMapCategory inherited = DiskMapCategory::Unknown;
    bool seen = false;
    std::optional<MapNode> file;
    Folder* folder = nullptr;
    Sink* sink = nullptr;
    // The item's folders the walk has entered and not yet left: its walk has ended at zero.
    std::atomic<int> open{0};
    // Its folders measured whole that reached the switch, each added by the worker that filled it.
    std::mutex fullLock;
    std::vector<Sink*> full;
};

// Folder path -> where its entries go; written when a listed folder or a folder measured whole is
// met, read when a folder is listed. The folders below one measured whole are not registered:
// their entries go where their nearest registered ancestor's go.
class TargetMap {
public:
    // The path is kept by reference: it must outlive the map (the folder's or sink's own path).
    void insert(std::string_view path, Target target) {
        Shard& shard = shardOf(path);
        std::lock_guard<std::mutex> guard(shard.lock);
        shard.map.emplace(path, target);
    }
    Target find(std::string_view folder) {
        if (const std::optional<Target> target = exact(folder))
            return *target;
        // A folder not registered itself lies below one measured whole (every subfolder of a
        // listed folder is registered), or nowhere known.
        std::string_view path = folder;
        for (;;) {
            const size_t slash = path.rfind('/');
            if (slash == std::string_view::npos || slash == 0)
                return Target();
            path = path.substr(0, slash);
            if (const std::optional<Target> target = exact(path))
                return target->sink ? *target : Target();
        }
    }

private:
    std::optional<Target> exact(std::string_view path) {
        Shard& shard = shardOf(path);
        std::lock_guard<std::mutex> guard(shard.lock);
        const auto it = shard.map.find(path);
        if (it == shard.map.end())
            return std::nullopt;
        return it->second;
    }
    struct Hash {
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    static constexpr size_t kShards = 16;
    struct Shard {
        std::mutex lock;
        std::unordered_map<std::string_view, Target, Hash> map;
    };
    Shard& shardOf(std::string_view path) { return m_shards[Hash{}(path) % kShards]; }
    Shard m_shards[kShards];
};

// What one walker thread keeps to itself: the records it made, the folder it is reading, and
// counts not yet handed to the tally.
struct Worker {
    std::deque<Folder> folders;
    std::deque<Sink> sinks;
    std::string folderPath;
    Target target;
    qint64 files = 0;
    qint64 bytes = 0;
    // The sizes of the regular files of the folder being read, when it lies in a folder measured
    // whole: handed to that sink in one go when the worker leaves the folder, so that workers
    // reading parts of one big folder do not meet on its counters file by file.
    std::vector<qint64> sinkFiles;
    // The folders' own blocks and the other entries (links, devices) met there, for that sink.
    qint64 sinkBlocks = 0;
    qint64 sinkOther = 0;
};

// A node as built, and what it adds to its parent's total whether drawn or not.
struct Built {
    std::optional<MapNode> node;
    qint64 bytes = 0;
    qint64 files = 0;
};

constexpr qint64 kFlushFiles = 512;

std::string joined(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

// The category holding the most bytes; entered categories only, the first in declaration order
// on a tie.
std::optional<DiskMapCategory> largest(const std::array<qint64, kCategories>& totals,
                                       const std::array<bool, kCategories>& entered) {
    std::optional<int> best;
    for (int c = 0; c < kCategories; ++c) {
        if (entered[size_t(c)] && (!best || totals[size_t(c)] > totals[size_t(*best)]))
            best = c;
    }
    return best ? std::optional<DiskMapCategory>(static_cast<DiskMapCategory>(*best))
                : std::nullopt;
}

std::string_view lastComponent(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool openable(const QString& path) {
    const int fd = ::open(NativePath::encode(path).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// The walk behind a measurement: one item walked from its own path, or several items of one
// folder in a single walk of that folder, so that every walker thread serves whichever item has
// folders left to read.
class ItemWalk {
public:
    ItemWalk(const DiskMapMeasurer::Options& options, DiskMapTally& tally, int threads)
        : m_options(options), m_tally(tally), m_threads(threads), m_workers(threads) {}

    std::optional<MapNode> measure(const QString& path, int depth, DiskMapCategory inherited) {
        Item& item = m_items.emplace_back();
        item.path = NativePath::encode(path).toStdString();
        item.depth = depth;
        item.inherited = inherited;
        m_itemDepth = 0;
        if (!walk(path, false))
            return std::nullopt;
        if (!item.seen)
            m_tally.add(1, 0); // nothing could be read about it: a file of no bytes
        return build(0);
    }

    std::vector<std::optional<MapNode>>
    measureItems(const QString& folder, const std::vector<DiskMapMeasurer::Item>& items) {
        const std::string folderBytes = NativePath::encode(folder).toStdString();
        for (const DiskMapMeasurer::Item& given : items) {
            const std::string name = NativePath::encode(given.name).toStdString();
            m_itemByName.emplace(name, int(m_items.size()));
            Item& item = m_items.emplace_back();
            item.path = joined(folderBytes, name);
            item.inherited = given.inherited;
        }
        m_itemDepth = 1;
        m_announcesItems = true;
        std::vector<std::optional<MapNode>> nodes;
        if (!walk(folder, true))
            return nodes;
        // The ends not told during the walk (the last one, and the items it never found, files of
        // no bytes) follow its last counts, so that the text saying every item is done carries
        // the final figures.
        for (Item& item : m_items) {
            if (!item.seen)
                m_tally.add(1, 0);
        }
        for (size_t told = std::min(m_ended.load(), m_items.size() - 1); told < m_items.size();
             ++told)
            m_tally.folderDone();
        nodes.resize(m_items.size());
        for (size_t i = 0; i < m_items.size(); ++i)
            nodes[i] = build(i);
        return nodes;
    }

private:
    // Walks from path; false when the measurement was cancelled.
    bool walk(const QString& path, bool leaves) {
        DirectoryWalker::Options walkOptions;
        walkOptions.threads = m_threads;
        walkOptions.followRootSymlink = false;
        const DirectoryWalker walker(walkOptions, m_tally.token());
        DirectoryWalker::Leave leave;
        if (leaves)
            leave = [this](std::string_view folder, int worker) { left(folder, worker); };
        const DirectoryWalker::Result result = walker.walk(
            path, [this](const DirectoryWalker::Entry& e) { return visit(e); }, leave);
        for (int w = 0; w < walker.threads(); ++w) {
            settleSink(m_workers.slot(w));
            flush(m_workers.slot(w));
        }
        return !m_tally.token().isCancelled() && !result.cancelled;
    }

    std::optional<MapNode> build(size_t index) {
        Item& item = m_items[index];
        if (!item.seen)
            return fileNode(item.path, 0, std::nullopt, item.inherited);
        if (item.file)
            return *item.file;
        if (item.folder)
            return buildFolder(*item.folder, QString()).node;
        if (item.sink)
            return buildSink(*item.sink, QString()).node;
        return std::nullopt;
    }

    DirectoryWalker::Action visit(const DirectoryWalker::Entry& e) {
        Worker& worker = m_workers.slot(e.worker);
        if (e.depth < m_itemDepth)
            return DirectoryWalker::Action::Continue; // the folder holding the items
        if (e.depth == m_itemDepth)
            return visitItem(e, worker);
        if (worker.folderPath != e.folder) {
            settleSink(worker);
            worker.folderPath.assign(e.folder);
            worker.target = m_targets.find(e.folder);
        }
        if (Sink* sink = worker.target.sink)
            return visitInSink(e, *sink, worker);
        if (Folder* folder = worker.target.folder)
            return visitInFolder(e, *folder, worker);
        return DirectoryWalker::Action::SkipChildren;
    }

    DirectoryWalker::Action visitItem(const DirectoryWalker::Entry& e, Worker& worker) {
        int index = 0;
        if (m_itemDepth > 0) {
            const auto it = m_itemByName.find(std::string(e.name));
            if (it == m_itemByName.end())
                return DirectoryWalker::Action::SkipChildren;
            index = it->second;
        }
        Item& item = m_items[size_t(index)];
        item.seen = true;
        if (m_itemDepth == 0)
            item.path.assign(e.folder); // as the walker reads it: without a trailing slash
        if (!e.isDirectory()) {
            m_tally.add(1, e.allocatedBytes);
            item.file = fileNode(item.path, e.allocatedBytes, dateOf(e.modifyTime), item.inherited);
            if (m_announcesItems)
                ended(item);
            return DirectoryWalker::Action::SkipChildren;
        }
        item.open.store(1, std::memory_order_relaxed);
        const Target target =
            metFolder(worker, item.path, lastComponent(item.path), e.fileName(), item.depth,
                      e.modifyTime, e.allocatedBytes, item.inherited, index, false);
        item.folder = target.folder;
        item.sink = target.sink;
        return DirectoryWalker::Action::Continue;
    }

    // The walk lets a folder of an item in: the item's walk goes on until that folder is left.
    void entering(int item) { m_items[size_t(item)].open.fetch_add(1, std::memory_order_relaxed); }

    // A folder's entries are all visited: its files go to its sink at once, so that the last
    // folder of an item to be left ends an item whose every count is in.
    void left(std::string_view folder, int w) {
        Worker& worker = m_workers.slot(w);
        Target target;
        if (worker.folderPath == folder) {
            settleSink(worker);
            target = worker.target;
        } else {
            target = m_targets.find(folder); // it showed no entries
        }
        const int item = target.item();
        if (item >= 0 && m_items[size_t(item)].open.fetch_sub(1, std::memory_order_acq_rel) == 1)
            ended(m_items[size_t(item)]);
    }

    // An item's walk has ended: the tool sizes its folders that reached the switch, and the item
    // is done; the last item's end is told after the walk.
    void ended(Item& item) {
        std::vector<Sink*> full;
        {
            std::lock_guard<std::mutex> guard(item.fullLock);
            full.swap(item.full);
        }
        for (Sink* sink : full)
            sizeWhole(*sink);
        if (m_ended.fetch_add(1, std::memory_order_acq_rel) + 1 < m_items.size())
            m_tally.folderDone();
    }

    // The tool's size of a folder measured whole that reached the switch, once; when it gives
    // nothing, the files summed so far stand.
    void sizeWhole(Sink& sink) {
        if (sink.sized || !sink.full.load())
            return;
        sink.sized = true;
        const qint64 tool = m_options.diskUsage
                                ? m_options.diskUsage->sizeOf(decode(sink.path), m_tally.token())
                                : 0;
        if (tool < 1)
            return;
        m_tally.add(0, tool - sink.bytes.load());
        sink.bytes.store(tool);
        sink.blocks.store(0); // the tool's figure is all content
    }

    // A folder met in a listed folder (or as the root): where its entries will go. Its own
    // blocks (allocated) count in its total from the start. A hidden folder is measured whole.
    Target metFolder(Worker& worker, const std::string& path, std::string_view nameBytes,
                     const QString& name, int depth, qint64 modified, qint64 allocated,
                     DiskMapCategory inherited, int item, bool hidden) {
        Target target;
        count(worker, 0, allocated);
        const bool build = ContentClassifier::isBuildFolderName(nameBytes);
        const bool package = build || ContentClassifier::hasPackageExtension(nameBytes);
        if (hidden || package || depth >= DiskMapMeasurer::wholeDepth) {
            Sink& sink = worker.sinks.emplace_back();
            sink.path = path;
            sink.name = name;
            sink.item = item;
            sink.modified = modified;
            sink.bytes.store(allocated, std::memory_order_relaxed);
            sink.blocks.store(allocated, std::memory_order_relaxed);
            // A package or build folder is that at any depth; depth alone makes no build folder.
            sink.category = ContentClassifier::classifyBytes(nameBytes).value_or(
                build ? DiskMapCategory::Code : inherited);
            if (!hidden)
                announce(worker, name);
            target.sink = &sink;
        } else {
            Folder& folder = worker.folders.emplace_back();
            folder.path = path;
            folder.name = name;
            folder.item = item;
            folder.depth = depth;
            folder.modified = modified;
            folder.blocks = allocated;
            folder.inherited = inherited;
            folder.handedDown = ContentClassifier::classifyBytes(nameBytes).value_or(inherited);
            if (depth <= DiskMapMeasurer::namedDepth)
                announce(worker, name);
            target.folder = &folder;
        }
        m_targets.insert(target.sink ? target.sink->path : target.folder->path, target);
        return target;
    }

    DirectoryWalker::Action visitInSink(const DirectoryWalker::Entry& e, Sink& sink,
                                        Worker& worker) {
        if (sink.full.load(std::memory_order_relaxed))
            return DirectoryWalker::Action::SkipChildren;
        if (e.isDirectory()) {
            worker.sinkBlocks += e.allocatedBytes;
            entering(sink.item);
            return DirectoryWalker::Action::Continue;
        }
        if (e.repeatLink)
            return DirectoryWalker::Action::Continue;
        if (e.isFile())
            worker.sinkFiles.push_back(e.allocatedBytes);
        else
            worker.sinkOther += e.allocatedBytes;
        return DirectoryWalker::Action::Continue;
    }

    // Hands the files the worker gathered in its last folder to the sink that folder belongs to:
    // up to the switch, each file's bytes count; the file that reaches it marks the sink full.
    // The folders' own blocks and other entries met on the way count as they are; after the
    // switch the tool's figure replaces them all.
    void settleSink(Worker& worker) {
        if (worker.sinkFiles.empty() && worker.sinkBlocks == 0 && worker.sinkOther == 0)
            return;
        Sink& sink = *worker.target.sink;
        const qint64 blocks = std::exchange(worker.sinkBlocks, 0);
        const qint64 other = std::exchange(worker.sinkOther, 0);
        const qint64 gathered = qint64(worker.sinkFiles.size());
        const qint64 before = sink.files.fetch_add(gathered, std::memory_order_relaxed);
        const qint64 taken = std::clamp<qint64>(m_options.switchFiles - before, 0, gathered);
        qint64 bytes = blocks + other;
        for (qint64 k = 0; k < taken; ++k)
            bytes += worker.sinkFiles[size_t(k)];
        worker.sinkFiles.clear();
        sink.blocks.fetch_add(blocks, std::memory_order_relaxed);
        sink.bytes.fetch_add(bytes, std::memory_order_relaxed);
        count(worker, taken, bytes);
        if (taken == 0)
            return;
        if (before + taken == m_options.switchFiles) {
            sink.full.store(true, std::memory_order_relaxed);
            Item& item = m_items[size_t(sink.item)];
            std::lock_guard<std::mutex> guard(item.fullLock);
            item.full.push_back(&sink);
        }
    }

    DirectoryWalker::Action visitInFolder(const DirectoryWalker::Entry& e, Folder& folder,
                                          Worker& worker) {
        ++folder.entries;
        if (e.isDirectory()) {
            const bool hidden = e.isHidden();
            const Target target =
                metFolder(worker, joined(e.folder, e.name), e.name, e.fileName(), folder.depth + 1,
                          e.modifyTime, e.allocatedBytes, folder.handedDown, folder.item, hidden);
            folder.kids.push_back(Kid{target.folder, target.sink, -1, hidden});
            entering(folder.item);
            return DirectoryWalker::Action::Continue;
        }
        if (e.repeatLink)
            return DirectoryWalker::Action::Continue;
        const qint64 bytes = e.allocatedBytes;
        if (e.isHidden()) {
            folder.hiddenBytes += bytes;
            folder.hiddenFiles += e.isFile() ? 1 : 0;
            count(worker, e.isFile() ? 1 : 0, bytes);
            return DirectoryWalker::Action::Continue;
        }
        const DiskMapCategory category =
            ContentClassifier::fileCategoryBytes(e.name, folder.handedDown);
        count(worker, 1, bytes);
        if (bytes >= DiskMapMeasurer::looseThreshold) {
            folder.kids.push_back(Kid{nullptr, nullptr, int(folder.files.size())});
            folder.files.push_back(
                BigFile{joined(e.folder, e.name), e.fileName(), bytes, e.modifyTime, category});
            return DirectoryWalker::Action::Continue;
        }
        folder.looseBytes += bytes;
        ++folder.looseCount;
        folder.looseByCategory[size_t(category)] += bytes;
        folder.looseEntered[size_t(category)] = true;
        folder.looseNewest = std::max(folder.looseNewest.value_or(e.modifyTime), e.modifyTime);
        return DirectoryWalker::Action::Continue;
    }

    void count(Worker& worker, qint64 files, qint64 bytes) {
        worker.files += files;
        worker.bytes += bytes;
        if (worker.files >= kFlushFiles)
            flush(worker);
    }

    void announce(Worker& worker, const QString& name) {
        const qint64 files = worker.files, bytes = worker.bytes;
        worker.files = worker.bytes = 0;
        m_tally.add(files, bytes, name);
    }

    void flush(Worker& worker) {
        if (worker.files == 0 && worker.bytes == 0)
            return;
        const qint64 files = worker.files, bytes = worker.bytes;
        worker.files = worker.bytes = 0;
        m_tally.add(files, bytes);
    }

    static MapNode fileNode(const std::string& path, qint64 bytes,
                            std::optional<QDateTime> modified, DiskMapCategory inherited) {
        MapNode node;
        node.id = decode(path);
        node.url = QUrl::fromLocalFile(node.id);
        const qsizetype slash = node.id.lastIndexOf(QLatin1Char('/'));
        node.name = node.id.mid(slash + 1);
        node.sizeBytes = bytes;
        node.fileCount = 1;
        node.modified = std::move(modified);
        node.category = ContentClassifier::fileCategoryBytes(path, inherited);
        return node;
    }

    // A node's id is its parent's id and its decoded name: decoding keeps a slash and the bytes on
    // either side apart, so this is the decoded path without decoding it again. The root's parent
    // id is empty: it is decoded from its path.
    static QString childId(const QString& parentId, const std::string& path, const QString& name) {
        if (parentId.isEmpty())
            return decode(path);
        QString id;
        id.reserve(parentId.size() + 1 + name.size());
        id.append(parentId);
        if (!parentId.endsWith(QLatin1Char('/')))
            id.append(QLatin1Char('/'));
        id.append(name);
        return id;
    }

    static MapNode folderNode(QString id, const QString& name, qint64 modified) {
        MapNode node;
        node.id = std::move(id);
        node.url = QUrl::fromLocalFile(node.id);
        node.name = name;
        node.modified = dateOf(modified);
        node.isDirectory = true;
        return node;
    }

    // A folder measured whole; left out (no node) when it holds nothing but folders.
    Built buildSink(Sink& sink, const QString& parentId) {
        sizeWhole(sink);
        Built built;
        built.bytes = sink.bytes.load();
        built.files = std::min<qint64>(sink.files.load(), m_options.switchFiles);
        if (built.bytes - sink.blocks.load() < 1)
            return built;
        MapNode node =
            folderNode(childId(parentId, sink.path, sink.name), sink.name, sink.modified);
        node.sizeBytes = built.bytes;
        node.fileCount = built.files;
        node.category = sink.category;
        built.node = std::move(node);
        return built;
    }

    // A folder listed child by child: its visible children are its kids, its hidden items and
    // folders' own blocks its own share (in its size, not drawn). Left out (no node) when it
    // keeps no kid and holds nothing but folders.
    Built buildFolder(Folder& folder, const QString& parentId) {
        MapNode node =
            folderNode(childId(parentId, folder.path, folder.name), folder.name, folder.modified);
        const std::optional<DiskMapCategory> keyword =
            ContentClassifier::classify<DiskMapCategory>(folder.name);
        Built built;
        if (folder.entries == 0) {
            const QString path = decode(folder.path);
            const bool listable = m_options.canList ? m_options.canList(path) : openable(path);
            if (!listable) {
                m_tally.countUnreadable();
                node.sizeBytes = folder.blocks;
                node.category = keyword.value_or(folder.inherited);
                built.bytes = node.sizeBytes;
                built.node = std::move(node);
                return built;
            }
        }
        QList<MapNode> kids;
        kids.reserve(qsizetype(folder.kids.size()) + 1);
        qint64 blocks = folder.blocks;
        qint64 total = folder.blocks + folder.hiddenBytes, files = folder.hiddenFiles;
        for (const Kid& kid : folder.kids) {
            Built child;
            if (kid.folder)
                child = buildFolder(*kid.folder, node.id);
            else if (kid.sink)
                child = buildSink(*kid.sink, node.id);
            else {
                const BigFile& f = folder.files[size_t(kid.file)];
                child.node = folderNode(childId(node.id, f.path, f.name), f.name, f.modified);
                child.node->isDirectory = false;
                child.node->sizeBytes = child.bytes = f.bytes;
                child.node->fileCount = child.files = 1;
                child.node->category = f.category;
            }
            total += child.bytes;
            files += child.files;
            if (!child.node)
                blocks += child.bytes; // a folder of folders only
            if (child.node && !kid.hidden)
                kids.append(std::move(*child.node));
        }
        if (folder.looseCount > 0) {
            MapNode loose;
            loose.id = node.id + MapNode::looseSuffix();
            loose.url = node.url;
            loose.name = DiskMapMeasurer::looseName(folder.looseCount);
            loose.sizeBytes = folder.looseBytes;
            loose.fileCount = folder.looseCount;
            if (folder.looseNewest)
                loose.modified = dateOf(*folder.looseNewest);
            loose.category = largest(folder.looseByCategory, folder.looseEntered)
                                 .value_or(DiskMapCategory::Unknown);
            total += loose.sizeBytes;
            files += loose.fileCount;
            kids.append(std::move(loose));
        }
        built.bytes = total;
        built.files = files;
        if (total - blocks < 1 && kids.isEmpty())
            return built;
        node.sizeBytes = total;
        node.fileCount = files;
        if (keyword)
            node.category = *keyword;
        else
            node.category = DiskMapScanner::dominantCategory(kids).value_or(folder.inherited);
        for (const MapNode& kid : std::as_const(kids)) {
            if (kid.modified && (!node.modified || *kid.modified > *node.modified))
                node.modified = kid.modified;
        }
        if (folder.depth != DiskMapMeasurer::childlessDepth) {
            std::stable_sort(kids.begin(), kids.end(), [](const MapNode& a, const MapNode& b) {
                return a.sizeBytes > b.sizeBytes;
            });
            node.children = std::move(kids);
        }
        built.node = std::move(node);
        return built;
    }

    const DiskMapMeasurer::Options& m_options;
    DiskMapTally& m_tally;
    const int m_threads;
    PerWorker<Worker> m_workers;
    TargetMap m_targets;
    std::deque<Item> m_items;
    std::unordered_map<std::string, int> m_itemByName;
    int m_itemDepth = 0; // the walker's depth of the items: 0 for one item, 1 for a folder's
    bool m_announcesItems = false; // each item's end goes to the tally
    std::atomic<size_t> m_ended{0};
};

} // namespace

DiskMapMeasurer::DiskMapMeasurer() : DiskMapMeasurer(Options()) {}

DiskMapMeasurer::DiskMapMeasurer(Options options) : m_options(std::move(options)) {}

QString DiskMapMeasurer::looseName(qint64 count) {
    return count == 1 ? QStringLiteral("1 loose file")
                      : QString::number(count) + QStringLiteral(" loose files");
}

std::optional<MapNode> DiskMapMeasurer::measure(const QString& path, int depth,
                                                DiskMapCategory inherited,
                                                DiskMapTally& tally) const {
    if (tally.token().isCancelled())
        return std::nullopt;
    ItemWalk walk(m_options, tally, threads());
    return walk.measure(path, depth, inherited);
}

std::vector<std::optional<MapNode>> DiskMapMeasurer::measureItems(const QString& folder,
                                                                  const std::vector<Item>& items,
                                                                  DiskMapTally& tally) const {
    if (tally.token().isCancelled())
        return {};
    ItemWalk walk(m_options, tally, threads());
    return walk.measureItems(folder, items);
}

int DiskMapMeasurer::threads() const {
    return m_options.walkerThreads > 0 ? m_options.walkerThreads : ParallelLoop::flatThreads();
}
