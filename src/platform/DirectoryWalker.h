#pragma once

#include "platform/CancelToken.h"

#include <functional>
#include <QString>
#include <QtGlobal>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Walks a folder tree with the kernel's own directory calls (open/getdents64/fstatat on the
// folder's descriptor), the one walker behind every measurement of the app: cleaners, disk map,
// large files, folder tree, duplicates, the health check and the uninstaller.
//
// Contract:
// - The root is stat'ed first (following a symlink at the root itself unless
//   Options::followRootSymlink is false) and visited as the entry of depth 0; when it is a folder
//   and the visitor returns Continue, its contents follow, depth 1 for its direct children.
// - Below the root a symlink is never followed: it is visited as a Symlink entry and nothing is
//   entered through it. A folder is opened by path with O_NOFOLLOW and its identity (device,
//   inode) is checked against what its parent listed, so a folder swapped for a link between
//   listing and opening is not entered either. Loops therefore cannot happen.
// - Every entry carries its allocated size (st_blocks × 512, what `du` counts), apparent size,
//   type, device, inode, link count and access/modification times. An entry that cannot be
//   stat'ed (vanished, permission) is not visited; a folder that cannot be opened or read is
//   counted in Result::unreadableFolders and its contents are missed, nothing else happens.
// - Hard links: the second and later names of a non-folder with several links are visited with
//   repeatLink set, so a sum over entries without repeatLink counts each file once. Which name
//   comes first is not defined when the walk is parallel.
// - The visitor returns SkipChildren to keep the walk out of a folder (pruning); the answer is
//   ignored for anything that is not a folder.
// - Options::threads > 1 fans the walk out over subfolders: the visitor is then called
//   concurrently from several threads (Entry::worker tells which, 0 … threads-1) and must be
//   thread-safe; PerWorker below gives lock-free per-thread slots. The order of entries is only
//   meaningful with one thread (a depth-first walk in directory order), so callers that publish
//   lists sort them.
// - The cancel token is polled between entries; a cancelled walk returns early with
//   Result::cancelled set and whatever was visited so far. A visitor may cancel its own walk.
// - walk() returns when every worker has finished; no thread outlives the call. The walker holds
//   no state between walks and one instance may serve several threads at once.
class DirectoryWalker {
public:
    enum class Type : quint8 { File, Directory, Symlink, Other };
    enum class Action : quint8 { Continue, SkipChildren };

    struct Entry {
        // The containing folder's path as bytes (no trailing slash) and the entry's own name.
        // For the root (depth 0) folder is the root path and name is empty. Both views are valid
        // only during the visitor call.
        std::string_view folder;
        std::string_view name;
        int depth = 0;
        Type type = Type::Other;
        qint64 allocatedBytes = 0;
        qint64 sizeBytes = 0;
        quint64 device = 0;
        quint64 inode = 0;
        quint64 links = 0;
        bool repeatLink = false;
        qint64 accessTime = 0; // seconds since 1970
        qint64 modifyTime = 0; // seconds since 1970
        // Modification and inode change times in nanoseconds since 1970, which tell, with the
        // device, inode and size, whether a file was touched after the walk saw it.
        qint64 modifyTimeNs = 0;
        qint64 changeTimeNs = 0;
        // The identity of the containing folder as read (for the root: none), so that a caller
        // who opens that folder again by its path can tell it is still the same one.
        quint64 folderDevice = 0;
        quint64 folderInode = 0;
        int worker = 0;

        QString path() const;
        // The last path component (for the root: the root's own last component).
        QString fileName() const;
        bool isHidden() const { return !name.empty() && name.front() == '.'; }
        bool isFile() const { return type == Type::File; }
        bool isDirectory() const { return type == Type::Directory; }
    };

    struct Options {
        // The most threads: 1 walks on the calling thread only; more starts helper threads once
        // there is more than one folder to read, as many as the processors at first and more,
        // up to this, while the folders wait on the disk. A walk of the app takes
        // ParallelLoop::diskThreads().
        int threads = 1;
        bool followRootSymlink = true;
        // Stay on the root's file system (like `du -x`).
        bool sameDevice = false;
    };

    struct Result {
        bool rootFound = false; // the root could be stat'ed
        bool cancelled = false;
        int unreadableFolders = 0;
        qint64 entries = 0; // entries visited, the root included
    };

    using Visitor = std::function<Action(const Entry&)>;
    // Told that a folder the walk entered (the root included) is finished: every entry of its
    // own has been visited, or it could not be opened or read. Called once per such folder, on
    // the thread that read it (worker as in Entry), before any of its subfolders is read, so a
    // caller can count a subtree's outstanding folders: one more for each folder its visitor
    // lets the walk into, one less here. A cancelled walk may leave folders unannounced.
    using Leave = std::function<void(std::string_view folder, int worker)>;

    DirectoryWalker();
    explicit DirectoryWalker(Options options, CancelToken cancel = CancelToken())
        : m_options(options), m_cancel(std::move(cancel)) {}

    Result walk(const QString& root, const Visitor& visit) const;
    Result walk(const QString& root, const Visitor& visit, const Leave& leave) const;
    // One folder's listing: visits the root and, when it is a folder and the visitor continues,
    // its direct children (depth 1) in directory order, all on the calling thread, as walk()
    // does when every child answers SkipChildren; nothing below them is read. The children's
    // stat calls, nearly all the cost of a folder of many entries, run beforehand on up to
    // threads() threads.
    Result list(const QString& root, const Visitor& visit) const;
    int threads() const { return m_options.threads < 1 ? 1 : m_options.threads; }

private:
    // How walk() and list() begin: the root is stat'ed (a symlink there followed as the options
    // say) and visited as the entry of depth 0; true when it is a folder the visitor continues
    // into. root receives its path as read (bytes, no trailing slash), entry its entry and result
    // what is known so far.
    bool visitRoot(const QString& rootPath, const Visitor& visit, std::string& root, Entry& entry,
                   Result& result) const;

    Options m_options;
    CancelToken m_cancel;
};

// One value per walker thread, each on its own cache line, for visitors that sum without locks:
// add into slot(entry.worker) during the walk, then total() after it.
template <typename T> class PerWorker {
public:
    explicit PerWorker(int workers) : m_slots(workers < 1 ? 1 : workers) {}
    T& slot(int worker) { return m_slots[worker].value; }
    template <typename Fold> T fold(T start, Fold f) const {
        for (const auto& s : m_slots)
            start = f(start, s.value);
        return start;
    }

private:
    struct alignas(64) Slot {
        T value{};
    };
    std::vector<Slot> m_slots;
};
