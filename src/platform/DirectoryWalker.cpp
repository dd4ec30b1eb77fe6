#include "platform/DirectoryWalker.h"
#include "platform/NativePath.h"
#include "platform/ParallelLoop.h"

#include <algorithm>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <QFile>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <unordered_set>

namespace {

// The record getdents64 fills; glibc declares no type for it.
struct LinuxDirent64 {
    quint64 d_ino;
    qint64 d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

// A folder waiting to be read: its path and the identity its parent's listing gave it.
struct Job {
    std::string path;
    int depth = 0;
    quint64 device = 0;
    quint64 inode = 0;
};

// The (device, inode) pairs of multiply linked files seen so far, sharded so that parallel
// workers rarely meet on one lock.
class LinkSet {
public:
    // True the first time a pair is offered.
    bool insert(quint64 device, quint64 inode) {
        const Key key{device, inode};
        Shard& shard = m_shards[KeyHash{}(key) % kShards];
        std::lock_guard<std::mutex> guard(shard.lock);
        return shard.keys.insert(key).second;
    }

private:
    struct Key {
        quint64 device;
        quint64 inode;
        bool operator==(const Key& o) const { return device == o.device && inode == o.inode; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            return std::hash<quint64>{}(k.inode * 0x9E3779B97F4A7C15ull ^ k.device);
        }
    };
    static constexpr size_t kShards = 32;
    struct Shard {
        std::mutex lock;
        std::unordered_set<Key, KeyHash> keys;
    };
    Shard m_shards[kShards];
};

DirectoryWalker::Type typeOf(mode_t mode) {
    if (S_ISREG(mode))
        return DirectoryWalker::Type::File;
    if (S_ISDIR(mode))
        return DirectoryWalker::Type::Directory;
    if (S_ISLNK(mode))
        return DirectoryWalker::Type::Symlink;
    return DirectoryWalker::Type::Other;
}

void fill(DirectoryWalker::Entry& e, const struct stat& st) {
    e.type = typeOf(st.st_mode);
    e.allocatedBytes = qint64(st.st_blocks) * 512;
    e.sizeBytes = qint64(st.st_size);
    e.device = quint64(st.st_dev);
    e.inode = quint64(st.st_ino);
    e.links = quint64(st.st_nlink);
    e.accessTime = qint64(st.st_atim.tv_sec);
    e.modifyTime = qint64(st.st_mtim.tv_sec);
    e.modifyTimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + qint64(st.st_mtim.tv_nsec);
    e.changeTimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + qint64(st.st_ctim.tv_nsec);
}

// Opens a folder for reading by its path (a symlink there followed only when asked) and checks
// that it is the one listed as (device, inode), so that nothing swapped in since is read; -1 when
// it cannot be opened or is another one.
int openFolder(const std::string& path, bool followSymlink, quint64 device, quint64 inode) {
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (!followSymlink)
        flags |= O_NOFOLLOW;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || quint64(st.st_dev) != device || quint64(st.st_ino) != inode) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Hands each name of an open folder, "." and ".." left out, to name(const char*) in directory
// order, a buffer at a time, until the folder ends or stop() says so between buffers. False when
// reading failed.
template <typename Stop, typename Name>
bool readNames(int fd, std::vector<char>& buffer, const Stop& stop, const Name& name) {
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd, buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (n == 0 || stop())
            return true;
        for (long offset = 0; offset < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer.data() + offset);
            offset += d->d_reclen;
            const char* entry = d->d_name;
            if (entry[0] == '.' && (entry[1] == 0 || (entry[1] == '.' && entry[2] == 0)))
                continue;
            name(entry);
        }
    }
}

std::string normalizedRoot(const QString& root) {
    std::string path = NativePath::encode(root).toStdString();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// One walk's shared state: the queue of folders and the bookkeeping that tells the workers when
// everything is read.
class Walk {
public:
    Walk(const DirectoryWalker::Options& options, const CancelToken& cancel,
         const DirectoryWalker::Visitor& visit, const DirectoryWalker::Leave& leave,
         quint64 rootDevice)
        : m_options(options), m_cancel(cancel), m_visit(visit), m_leave(leave),
          m_rootDevice(rootDevice) {}

    bool cancelled() const { return m_cancel.isCancelled(); }

    // Reads one folder, visiting its entries; the subfolders to enter are appended to children
    // in directory order.
    void readFolder(const Job& job, int worker, std::vector<char>& buffer,
                    std::vector<Job>& children) {
        const int fd = openFolder(job.path, job.depth == 0 && m_options.followRootSymlink,
                                  job.device, job.inode);
        if (fd < 0) {
            m_unreadable.fetch_add(1, std::memory_order_relaxed);
            return;
        }
        struct stat st;
        const bool rootSlash = !job.path.empty() && job.path.back() == '/';
        qint64 visited = 0;
        DirectoryWalker::Entry e;
        e.folder = job.path;
        e.depth = job.depth + 1;
        e.folderDevice = job.device;
        e.folderInode = job.inode;
        e.worker = worker;
        const bool read = readNames(
            fd, buffer, [this] { return cancelled(); },
            [&](const char* name) {
                if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
                    return;
                e.name = std::string_view(name);
                fill(e, st);
                e.repeatLink = e.type != DirectoryWalker::Type::Directory && st.st_nlink > 1 &&
                               !m_links.insert(e.device, e.inode);
                ++visited;
                const DirectoryWalker::Action action = m_visit(e);
                if (e.type == DirectoryWalker::Type::Directory &&
                    action == DirectoryWalker::Action::Continue &&
                    (!m_options.sameDevice || e.device == m_rootDevice)) {
                    Job child;
                    child.path.reserve(job.path.size() + 1 + e.name.size());
                    child.path = job.path;
                    if (!rootSlash)
                        child.path += '/';
                    child.path += e.name;
                    child.depth = e.depth;
                    child.device = e.device;
                    child.inode = e.inode;
                    children.push_back(std::move(child));
                }
            });
        if (!read)
            m_unreadable.fetch_add(1, std::memory_order_relaxed);
        ::close(fd);
        m_entries.fetch_add(visited, std::memory_order_relaxed);
    }

    // Queues the children of a finished folder and settles the count of outstanding folders.
    void finishJob(std::vector<Job>& children) {
        size_t added = 0;
        bool finished = false;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            // Reversed, so that taking from the back reads the first child first.
            for (auto it = children.rbegin(); it != children.rend(); ++it)
                m_queue.push_back(std::move(*it));
            added = children.size();
            m_pending += int(added) - 1;
            if (m_pending == 0 || cancelled())
                m_finished = true;
            finished = m_finished;
        }
        children.clear();
        if (finished)
            m_wake.notify_all();
        else if (added > 1)
            m_wake.notify_all();
        else if (added == 1)
            m_wake.notify_one();
    }

    void start(Job root) {
        m_queue.push_back(std::move(root));
        m_pending = 1;
    }

    bool hasQueuedWork() {
        std::lock_guard<std::mutex> guard(m_lock);
        return !m_finished && !m_queue.empty();
    }

    // Reads queued folders until the walk is finished, waiting for more while other workers may
    // still queue some; with once, reads at most the first queued folder and returns (the root,
    // read before deciding whether helpers pay). A worker given `grow` calls it when its folders
    // turn out to wait on the disk (ParallelLoop::Pace).
    void runWorker(int worker, const std::function<void()>* grow = nullptr, bool once = false) {
        std::vector<char> buffer(64 * 1024);
        std::vector<Job> children;
        std::optional<ParallelLoop::Pace> pace;
        if (grow)
            pace.emplace();
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> guard(m_lock);
                if (!once)
                    m_wake.wait(guard, [this] { return m_finished || !m_queue.empty(); });
                if (m_finished || m_queue.empty())
                    return;
                job = std::move(m_queue.back());
                m_queue.pop_back();
            }
            if (!cancelled()) {
                const int64_t began = pace ? ParallelLoop::wallNs() : 0;
                readFolder(job, worker, buffer, children);
                if (m_leave)
                    m_leave(job.path, worker);
                if (pace && pace->finished(ParallelLoop::wallNs() - began))
                    (*grow)();
            }
            finishJob(children);
            if (once)
                return;
        }
    }

    qint64 entries() const { return m_entries.load(); }
    int unreadable() const { return m_unreadable.load(); }

private:
    const DirectoryWalker::Options& m_options;
    const CancelToken& m_cancel;
    const DirectoryWalker::Visitor& m_visit;
    const DirectoryWalker::Leave& m_leave;
    const quint64 m_rootDevice;
    LinkSet m_links;

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<Job> m_queue;
    int m_pending = 0; // folders queued or being read
    bool m_finished = false;

    std::atomic<qint64> m_entries{0};
    std::atomic<int> m_unreadable{0};
};

} // namespace

QString DirectoryWalker::Entry::path() const {
    if (name.empty())
        return NativePath::decode(QByteArray(folder.data(), qsizetype(folder.size())));
    QByteArray bytes;
    bytes.reserve(qsizetype(folder.size() + 1 + name.size()));
    bytes.append(folder.data(), qsizetype(folder.size()));
    if (bytes.isEmpty() || !bytes.endsWith('/'))
        bytes.append('/');
    bytes.append(name.data(), qsizetype(name.size()));
    return NativePath::decode(bytes);
}

QString DirectoryWalker::Entry::fileName() const {
    if (!name.empty())
        return NativePath::decode(QByteArray(name.data(), qsizetype(name.size())));
    const size_t slash = folder.rfind('/');
    const std::string_view last =
        slash == std::string_view::npos ? folder : folder.substr(slash + 1);
    return NativePath::decode(QByteArray(last.data(), qsizetype(last.size())));
}

DirectoryWalker::DirectoryWalker() : DirectoryWalker(Options()) {}

DirectoryWalker::Result DirectoryWalker::walk(const QString& root, const Visitor& visit) const {
    return walk(root, visit, Leave());
}

bool DirectoryWalker::visitRoot(const QString& rootPath, const Visitor& visit, std::string& root,
                                Entry& entry, Result& result) const {
    root = normalizedRoot(rootPath);
    if (root.empty())
        return false;
    struct stat st;
    const int rc =
        m_options.followRootSymlink ? ::stat(root.c_str(), &st) : ::lstat(root.c_str(), &st);
    if (rc != 0)
        return false;
    result.rootFound = true;
    result.entries = 1;
    entry.folder = root;
    entry.depth = 0;
    fill(entry, st);
    const Action action = visit(entry);
    if (!entry.isDirectory() || action != Action::Continue) {
        result.cancelled = m_cancel.isCancelled();
        return false;
    }
    return true;
}

DirectoryWalker::Result DirectoryWalker::walk(const QString& rootPath, const Visitor& visit,
                                              const Leave& leave) const {
    Result result;
    std::string root;
    Entry rootEntry;
    if (!visitRoot(rootPath, visit, root, rootEntry, result))
        return result;

    Walk walk(m_options, m_cancel, visit, leave, rootEntry.device);
    walk.start(Job{root, 0, rootEntry.device, rootEntry.inode});
    // The root folder is read on the calling thread; helpers start only when it has subfolders.
    // They start as many as the processors and grow towards threads() while the folders wait on
    // the disk: with the tree in memory more threads than processors only contend.
    walk.runWorker(0, nullptr, true);
    const int most = walk.hasQueuedWork() ? threads() : 1;
    ParallelLoop::onGrowingThreads(
        std::min(most, ParallelLoop::flatThreads()), most,
        [&walk](int worker, const std::function<void()>& grow) { walk.runWorker(worker, &grow); });

    result.entries += walk.entries();
    result.unreadableFolders = walk.unreadable();
    result.cancelled = walk.cancelled();
    return result;
}

DirectoryWalker::Result DirectoryWalker::list(const QString& rootPath, const Visitor& visit) const {
    Result result;
    std::string root;
    Entry rootEntry;
    if (!visitRoot(rootPath, visit, root, rootEntry, result))
        return result;

    const int fd = openFolder(root, m_options.followRootSymlink, rootEntry.device, rootEntry.inode);
    if (fd < 0) {
        result.unreadableFolders = 1;
        return result;
    }

    // The names, each ending in a NUL for fstatat.
    std::string names;
    std::vector<size_t> starts;
    std::vector<char> buffer(64 * 1024);
    const bool read = readNames(
        fd, buffer, [this] { return m_cancel.isCancelled(); },
        [&](const char* name) {
            starts.push_back(names.size());
            names.append(name);
            names.push_back('\0');
        });
    if (!read)
        result.unreadableFolders = 1;

    std::vector<struct stat> stats(starts.size());
    std::vector<char> statted(starts.size(), 0);
    constexpr size_t kSlice = 512;
    ParallelLoop::run((starts.size() + kSlice - 1) / kSlice, threads(), [&](size_t slice, int) {
        if (m_cancel.isCancelled())
            return;
        const size_t end = std::min(starts.size(), (slice + 1) * kSlice);
        for (size_t k = slice * kSlice; k < end; ++k)
            statted[k] = ::fstatat(fd, names.data() + starts[k], &stats[k],
                                   AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) == 0;
    });
    ::close(fd);

    LinkSet links;
    Entry e;
    e.folder = root;
    e.depth = 1;
    for (size_t k = 0; k < starts.size() && !m_cancel.isCancelled(); ++k) {
        if (!statted[k])
            continue;
        e.name = std::string_view(names.data() + starts[k]);
        fill(e, stats[k]);
        e.repeatLink =
            e.type != Type::Directory && stats[k].st_nlink > 1 && !links.insert(e.device, e.inode);
        ++result.entries;
        visit(e);
    }
    result.cancelled = m_cancel.isCancelled();
    return result;
}
