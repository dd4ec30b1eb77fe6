#include "storage/DiskMapItemWalk.h"

#include "platform/DirectoryWalker.h"
#include "platform/DiskUsage.h"
#include "platform/NativePath.h"
#include "storage/ContentClassifier.h"
#include "storage/DiskMapDepthRule.h"
#include "storage/DiskMapNodeBuilder.h"
#include "storage/DiskMapRecords.h"
#include "storage/DiskMapTargets.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

using namespace DiskMapRecords;

namespace {

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

// What one walker thread keeps to itself: the records it made, the folder it is reading, and
// counts not yet handed to the tally.
// A name of a file with several names (hard links), met in a listed folder or in a folder
// measured whole. Which worker meets which name first depends on thread timing, so no name counts
// during the walk; after it, each file counts once, under one name chosen by path.
struct LinkedName {
    quint64 device = 0;
    quint64 inode = 0;
    std::string folder; // the containing folder, no trailing slash
    std::string name;
    qint64 bytes = 0;
    qint64 modified = 0;
    bool file = false;
    Target target;
};

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
    std::vector<LinkedName> linked;
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

std::string_view lastComponent(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The walk behind a measurement: one item walked from its own path, or several items of one
// folder in a single walk of that folder, so that every walker thread serves whichever item has
// folders left to read.
class ItemWalk {
public:
    ItemWalk(const DiskMapMeasurer::Options& options, DiskMapTally& tally, int threads)
        : m_options(options), m_tally(tally), m_threads(threads), m_workers(threads),
          m_builder(options, tally, [this](Sink& sink) { sizeWhole(sink); }) {}

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
        if (m_tally.token().isCancelled() || result.cancelled)
            return false;
        placeLinkedFiles(walker.threads());
        return true;
    }

    std::optional<MapNode> build(size_t index) {
        Item& item = m_items[index];
        if (!item.seen)
            return DiskMapNodeBuilder::fileNode(item.path, 0, std::nullopt, item.inherited);
        if (item.file)
            return *item.file;
        if (item.folder)
            return m_builder.folder(*item.folder, QString()).node;
        if (item.sink)
            return m_builder.sink(*item.sink, QString()).node;
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
            item.file = DiskMapNodeBuilder::fileNode(item.path, e.allocatedBytes,
                                                     dateOf(e.modifyTime), item.inherited);
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
        if (DiskMapDepthRule::measuredWhole(nameBytes, depth, hidden)) {
            Sink& sink = worker.sinks.emplace_back();
            sink.path = path;
            sink.name = name;
            sink.item = item;
            sink.modified = modified;
            sink.bytes.store(allocated, std::memory_order_relaxed);
            sink.blocks.store(allocated, std::memory_order_relaxed);
            sink.category = DiskMapDepthRule::wholeCategory(nameBytes, inherited);
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
            if (DiskMapDepthRule::namesItself(depth))
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
        if (e.links > 1) {
            worker.linked.push_back(linkedName(e, worker.target));
            return DirectoryWalker::Action::Continue;
        }
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
        if (e.links > 1) {
            worker.linked.push_back(linkedName(e, worker.target));
            return DirectoryWalker::Action::Continue;
        }
        addEntry(folder, worker, e.folder, e.name, e.allocatedBytes, e.modifyTime, e.isFile());
        return DirectoryWalker::Action::Continue;
    }

    // An entry of a listed folder that is not a folder: its bytes go to the folder's hidden share,
    // a tile of its own when it is large, or the folder's loose files.
    void addEntry(Folder& folder, Worker& worker, std::string_view in, std::string_view name,
                  qint64 bytes, qint64 modified, bool file) {
        if (!name.empty() && name.front() == '.') {
            folder.hiddenBytes += bytes;
            folder.hiddenFiles += file ? 1 : 0;
            count(worker, file ? 1 : 0, bytes);
            return;
        }
        const DiskMapCategory category =
            ContentClassifier::fileCategoryBytes(name, folder.handedDown);
        count(worker, 1, bytes);
        if (bytes >= DiskMapMeasurer::looseThreshold) {
            folder.kids.push_back(Kid{nullptr, nullptr, int(folder.files.size())});
            folder.files.push_back(
                BigFile{joined(in, name), decode(name), bytes, modified, category});
            return;
        }
        folder.looseBytes += bytes;
        ++folder.looseCount;
        folder.looseByCategory[size_t(category)] += bytes;
        folder.looseEntered[size_t(category)] = true;
        folder.looseNewest = std::max(folder.looseNewest.value_or(modified), modified);
    }

    static LinkedName linkedName(const DirectoryWalker::Entry& e, const Target& target) {
        return LinkedName{e.device,
                          e.inode,
                          std::string(e.folder),
                          std::string(e.name),
                          e.allocatedBytes,
                          e.modifyTime,
                          e.isFile(),
                          target};
    }

    // After the walk: each file of several names counts once, under the name whose folder comes
    // first by path (then by name), whichever worker met which name when. A name in a folder
    // measured whole that reached the switch is left to the tool, which counts what that folder
    // holds; it is not a candidate, since whether the walk met it before the switch depends on
    // timing too.
    void placeLinkedFiles(int threads) {
        std::vector<LinkedName*> names;
        for (int w = 0; w < threads; ++w)
            for (LinkedName& name : m_workers.slot(w).linked)
                if (!name.target.sink || !name.target.sink->full.load())
                    names.push_back(&name);
        if (names.empty())
            return;
        const auto key = [](const LinkedName* n) {
            return std::tie(n->device, n->inode, n->folder, n->name);
        };
        std::sort(names.begin(), names.end(),
                  [&](const LinkedName* a, const LinkedName* b) { return key(a) < key(b); });
        Worker& worker = m_workers.slot(0);
        for (size_t i = 0; i < names.size(); ++i) {
            const LinkedName& n = *names[i];
            if (i > 0 && names[i - 1]->device == n.device && names[i - 1]->inode == n.inode)
                continue; // counted under an earlier name
            if (Sink* sink = n.target.sink) {
                sink->files.fetch_add(n.file ? 1 : 0, std::memory_order_relaxed);
                sink->bytes.fetch_add(n.bytes, std::memory_order_relaxed);
                count(worker, n.file ? 1 : 0, n.bytes);
            } else if (Folder* folder = n.target.folder) {
                addEntry(*folder, worker, n.folder, n.name, n.bytes, n.modified, n.file);
            }
        }
        flush(worker);
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

    const DiskMapMeasurer::Options& m_options;
    DiskMapTally& m_tally;
    const int m_threads;
    PerWorker<Worker> m_workers;
    DiskMapTargets m_targets;
    std::deque<Item> m_items;
    std::unordered_map<std::string, int> m_itemByName;
    int m_itemDepth = 0; // the walker's depth of the items: 0 for one item, 1 for a folder's
    bool m_announcesItems = false; // each item's end goes to the tally
    std::atomic<size_t> m_ended{0};
    const DiskMapNodeBuilder m_builder;
};

} // namespace

namespace DiskMapItemWalk {

std::optional<MapNode> measure(const DiskMapMeasurer::Options& options, DiskMapTally& tally,
                               int threads, const QString& path, int depth,
                               DiskMapCategory inherited) {
    ItemWalk walk(options, tally, threads);
    return walk.measure(path, depth, inherited);
}

std::vector<std::optional<MapNode>> measureItems(const DiskMapMeasurer::Options& options,
                                                 DiskMapTally& tally, int threads,
                                                 const QString& folder,
                                                 const std::vector<DiskMapMeasurer::Item>& items) {
    ItemWalk walk(options, tally, threads);
    return walk.measureItems(folder, items);
}

} // namespace DiskMapItemWalk
