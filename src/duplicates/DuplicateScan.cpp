#include "duplicates/DuplicateScan.h"

#include "platform/DirectoryWalker.h"
#include "platform/NativePath.h"
#include "platform/ParallelLoop.h"
#include "platform/RegularFile.h"
#include "platform/Sha256.h"
#include "platform/WalkRules.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <limits>
#include <memory>
#include <QHash>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Digest = std::array<unsigned char, 32>;

// A folder that holds candidates: its path's bytes and the identity the walk read it under.
struct Folder {
    std::string path;
    quint64 device = 0;
    quint64 inode = 0;
};

// A file the walk found: where it is and what it was then.
struct Candidate {
    std::string name;
    quint32 folder = 0;
    qint64 allocated = 0;
    RegularFile::Stamp stamp;
};

// A file that shares its size with another, on its way through the passes: the descriptor it is
// read through (kept open from one read to the next while the budget allows), and what its first
// pass made of it: the fingerprint of its quick look, or an injected hasher's digest (none once it
// dropped out).
struct Reading {
    const Candidate* file = nullptr;
    int fd = -1;
    bool kept = false; // fd counts against the budget of descriptors kept between passes
    std::optional<Digest> digest;

    Reading() = default;
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;
    ~Reading() {
        if (fd >= 0)
            ::close(fd);
    }
    qint64 size() const { return file->stamp.size; }
};

std::optional<Digest> toDigest(const std::optional<QByteArray>& bytes) {
    if (!bytes || bytes->size() != 32)
        return std::nullopt;
    Digest d;
    std::memcpy(d.data(), bytes->constData(), d.size());
    return d;
}

// Puts files in order of digest and calls take(run, count) for every run of files with one
// digest, a lone file too; files without a digest go last and are left out.
template <typename Take> void digestRuns(Reading** begin, Reading** end, const Take& take) {
    std::sort(begin, end, [](const Reading* a, const Reading* b) {
        if (!a->digest || !b->digest)
            return a->digest.has_value() && !b->digest.has_value();
        return *a->digest < *b->digest;
    });
    for (Reading** i = begin; i < end && (*i)->digest;) {
        Reading** j = i + 1;
        while (j < end && (*j)->digest && *(*j)->digest == *(*i)->digest)
            ++j;
        take(i, size_t(j - i));
        i = j;
    }
}

qint64 nanoseconds(const struct timespec& t) {
    return qint64(t.tv_sec) * 1000000000 + qint64(t.tv_nsec);
}

RegularFile::Stamp stampFrom(const struct stat& st) {
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

bool folderOpens(const QString& folder) {
    const QByteArray native = NativePath::encode(folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

std::string joined(const Folder& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.path.size() + 1 + name.size());
    path.append(folder.path);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

// The descriptors the process has open now, in ascending order (those of /proc/self/fd, less
// the one that lists them); none when that cannot be read.
std::vector<int> openDescriptorList() {
    std::vector<int> open;
    DIR* listing = ::opendir("/proc/self/fd");
    if (!listing)
        return open;
    const int own = ::dirfd(listing);
    while (const struct dirent* entry = ::readdir(listing))
        if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != own)
            open.push_back(std::atoi(entry->d_name));
    ::closedir(listing);
    std::sort(open.begin(), open.end());
    return open;
}

int openDescriptors() {
    return int(openDescriptorList().size());
}

// Half of what the process may still open, once what it holds and what each of `threads` holds
// while it reads (a folder and a file) are set aside: the other half stays for the rest of the
// app.
int defaultKeptDescriptors(int threads) {
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    const qint64 soft = limit.rlim_cur == RLIM_INFINITY ? qint64(1) << 20 : qint64(limit.rlim_cur);
    const qint64 free = soft - openDescriptors() - 2 * qint64(threads);
    return int(std::clamp<qint64>(free / 2, 0, qint64(1) << 16));
}

// Makes the process's descriptor table large enough for `count` descriptors at once, in one
// step. Left to grow as files open, it doubles again and again while the threads open them, and
// each time every thread that opens a file waits until the kernel has swapped the table.
void growDescriptorTable(int count) {
    struct rlimit limit;
    if (count <= 0 || ::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return;
    if (limit.rlim_cur != RLIM_INFINITY)
        count = int(std::min<rlim_t>(rlim_t(count), limit.rlim_cur - 1));
    const int probe = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (probe < 0)
        return;
    const int high = ::fcntl(probe, F_DUPFD_CLOEXEC, count);
    if (high >= 0)
        ::close(high);
    ::close(probe);
}

DuplicateGroup makeGroup(const std::vector<Folder>& folders, Reading* const* run, size_t count,
                         const Digest& digest) {
    struct Member {
        QString path;
        RegularFile::Stamp stamp;
        qint64 allocated = 0;
    };
    std::vector<Member> members;
    members.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const Candidate& c = *run[i]->file;
        members.push_back(
            {NativePath::decode(QByteArray::fromStdString(joined(folders[c.folder], c.name))),
             c.stamp, c.allocated});
    }
    std::sort(members.begin(), members.end(),
              [](const Member& a, const Member& b) { return a.path < b.path; });
    DuplicateGroup group;
    group.id = QUuid::createUuid();
    group.fileSize = run[0]->size();
    group.files.reserve(qsizetype(count));
    group.stamps.reserve(qsizetype(count));
    group.allocatedBytes.reserve(qsizetype(count));
    for (Member& m : members) {
        group.files.append(std::move(m.path));
        group.stamps.append(m.stamp);
        group.allocatedBytes.append(m.allocated);
    }
    group.digest =
        QByteArray(reinterpret_cast<const char*>(digest.data()), qsizetype(digest.size()));
    return group;
}

// A fast 64-bit fingerprint of bytes, to tell apart what differs; equal prints prove nothing. Any
// seed but zero lets Qt hash with the processor's AES instructions, where it has them: several
// times faster than its portable hash.
quint64 fingerprint(const char* bytes, qsizetype size) {
    return qHashBits(bytes, size_t(size), 1);
}

// What files that may be equal are compared by at a time: two per thread cost little memory, and
// a read call costs little next to copying this much.
constexpr qsizetype comparePiece = 256 * 1024;
static_assert(comparePiece >= DuplicateScan::quickBytes, "a quick look reads into one piece");

// All of pread's count, fewer bytes only at the end of the file; -1 on failure.
qsizetype preadFully(int fd, char* buffer, qsizetype size, qint64 offset) {
    qsizetype total = 0;
    while (total < size) {
        const ssize_t got =
            ::pread(fd, buffer + total, size_t(size - total), off_t(offset + total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            // Files are opened without waiting (a FIFO put in a file's place must not hang the
            // open); a regular file that still answers so is read the ordinary way.
            if (errno == EAGAIN && ::fcntl(fd, F_SETFL, 0) == 0)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        total += qsizetype(got);
    }
    return total;
}

// The reading of one scan's files that share their size with another. With an injected hasher,
// each pass asks it for every file's digest by path. Otherwise every size is one piece of work,
// looked at and settled by one thread while the others go on with other sizes: its files are
// still open when they are compared, and no thread waits for a pass to end.
class Passes {
public:
    Passes(const std::vector<Folder>& folders, const DuplicateScan::Options& options, int threads)
        : m_folders(folders), m_hasher(options.hasher), m_read(options.read),
          m_cancel(options.cancel), m_threads(threads),
          m_keptBudget(options.keptDescriptors ? std::max(0, *options.keptDescriptors)
                                               : defaultKeptDescriptors(threads)),
          m_buffers(size_t(std::max(threads, 1))), m_spare(m_buffers.size()) {
        if (!m_hasher)
            growDescriptorTable(openDescriptors() + m_keptBudget + 2 * threads);
    }
    ~Passes() {
        for (const int fd : m_folderFds)
            if (fd >= 0)
                ::close(fd);
    }
    Passes(const Passes&) = delete;
    Passes& operator=(const Passes&) = delete;

    // Gives every file of `files` the injected hasher's digest of its first `prefix` bytes (of
    // all of it when prefix is negative), or none.
    void hashAll(const std::vector<Reading*>& files, qint64 prefix) {
        ParallelLoop::run(files.size(), m_threads, [&](size_t i, int) {
            if (m_cancel.isCancelled())
                files[i]->digest.reset();
            else
                hashByPath(*files[i], prefix);
        });
    }

    // The groups of identical files among `files` (those of one size side by side), in no
    // order. Sizes are taken most bytes first; every file is closed afterwards.
    std::vector<DuplicateGroup> settleAll(std::vector<Reading*>& files) {
        m_made.assign(size_t(std::max(m_threads, 1)), {});
        openFolders(files);
        std::vector<std::pair<size_t, size_t>> sizes;
        for (size_t start = 0, end; start < files.size(); start = end) {
            for (end = start + 1; end < files.size() && files[end]->size() == files[start]->size();)
                ++end;
            sizes.emplace_back(start, end - start);
        }
        std::sort(sizes.begin(), sizes.end(), [&files](const auto& a, const auto& b) {
            return files[a.first]->size() * qint64(a.second) >
                   files[b.first]->size() * qint64(b.second);
        });
        prepareOwnTables();
        std::vector<char> ownTable(size_t(std::max(m_threads, 1)), 0);
        ParallelLoop::run(sizes.size(), m_threads, [&](size_t s, int worker) {
            // The loop's helper threads end with it; the calling thread does not.
            if (worker != 0 && !ownTable[size_t(worker)]) {
                ownTable[size_t(worker)] = 1;
                useOwnTable();
            }
            Reading** group = files.data() + sizes[s].first;
            const size_t count = sizes[s].second;
            for (size_t i = 0; i < count; ++i) {
                Reading& r = *group[i];
                if (m_cancel.isCancelled()) {
                    release(r);
                    continue;
                }
                if (r.fd < 0)
                    r.fd = openAgain(*r.file, Check::AtTheEnd);
                quickLook(r, worker);
            }
            settle(group, count, worker);
            // Nothing a size opened may outlive its thread's table.
            for (size_t i = 0; i < count; ++i)
                if (group[i]->fd >= 0)
                    release(*group[i]);
        });
        if (m_null >= 0)
            ::close(m_null);
        m_null = -1;
        std::vector<DuplicateGroup> groups;
        for (std::vector<DuplicateGroup>& made : m_made)
            std::move(made.begin(), made.end(), std::back_inserter(groups));
        return groups;
    }

private:
    // A folder not kept open, opened again for each of its files; one that did not open.
    static constexpr int notKept = -1;
    static constexpr int unopened = -2;

    // Opens the folders of `files` again, in parallel, and keeps them open for the files' opens
    // while half the budget allows, those with most files first; the others are opened for each
    // of their files.
    void openFolders(const std::vector<Reading*>& files) {
        m_folderFds.assign(m_folders.size(), notKept);
        std::vector<quint32> filesIn(m_folders.size(), 0);
        std::vector<quint32> folders;
        for (const Reading* r : files)
            if (filesIn[r->file->folder]++ == 0)
                folders.push_back(r->file->folder);
        const size_t kept = std::min(folders.size(), size_t(m_keptBudget / 2));
        if (kept < folders.size())
            std::partial_sort(folders.begin(), folders.begin() + qsizetype(kept), folders.end(),
                              [&filesIn](quint32 a, quint32 b) { return filesIn[a] > filesIn[b]; });
        m_kept.fetch_add(int(kept), std::memory_order_relaxed);
        constexpr size_t chunk = 64;
        ParallelLoop::run((kept + chunk - 1) / chunk, m_threads, [&](size_t c, int) {
            for (size_t i = c * chunk; i < std::min(kept, (c + 1) * chunk); ++i) {
                const int fd = openFolder(m_folders[folders[i]]);
                m_folderFds[folders[i]] = fd >= 0 ? fd : unopened;
            }
        });
    }

    // Every size is settled by one thread, which opens and closes each of its files, and every
    // open and close takes the lock of the descriptor table: eight threads sharing one table
    // spend a fifth of their time waiting for it. So each helper thread of the loop (threads that
    // end with it) works in a table of its own. It starts as a copy of the process's, in which
    // every descriptor but the standard three and the kept folders is then pointed at /dev/null:
    // the copy holds none of the app's files open (one the app closes meanwhile closes for real,
    // bar one opened by another thread in the instant between the listing and the copy), and a
    // stray use of one reads nothing. A descriptor opened in a thread's own table means nothing
    // elsewhere, so every file a size opens is closed by the thread that settles that size, and
    // nothing on these threads may use another descriptor of the app: no progress is posted to an
    // event loop from here (its wake-up descriptor would be /dev/null). Where a thread cannot
    // have a table of its own, it shares the process's as before.
    void prepareOwnTables() {
        m_null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        std::vector<int> ours = {0, 1, 2, m_null};
        for (const int fd : m_folderFds)
            if (fd >= 0)
                ours.push_back(fd);
        std::sort(ours.begin(), ours.end());
        m_foreign.clear();
        for (const int fd : openDescriptorList())
            if (!std::binary_search(ours.begin(), ours.end(), fd))
                m_foreign.push_back(fd);
    }

    void useOwnTable() const {
        if (::unshare(CLONE_FILES) != 0)
            return;
        for (const int fd : m_foreign)
            if (m_null < 0 || ::dup2(m_null, fd) < 0)
                ::close(fd);
        if (m_null >= 0)
            ::close(m_null);
    }

    // Every file of one size after the quick look: those whose first bytes looked like others'
    // are compared with them to the end, the rest are released.
    void settle(Reading** files, size_t count, int worker) {
        digestRuns(files, files + count, [&](Reading** run, size_t n) {
            if (n >= 2)
                compareSet(run, n, worker);
            else
                release(*run[0]);
        });
    }

    // Closes the file and forgets what was read of it.
    void release(Reading& r) {
        closeFile(r);
        r.digest.reset();
    }

    static qint64 endOf(const Reading& r, qint64 prefix) {
        return prefix < 0 ? r.size() : std::min(prefix, r.size());
    }

    // The folder the walk read, opened again by its path; -1 when that path no longer leads to it.
    static int openFolder(const Folder& folder) {
        const int fd = ::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return -1;
        struct stat st;
        if (::fstat(fd, &st) != 0 || quint64(st.st_dev) != folder.device ||
            quint64(st.st_ino) != folder.inode) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    // When a file opened again is checked to be the one the walk saw. A quick look needs no
    // check: what it reads only decides which files are compared, and a file that reaches a
    // comparison through the same descriptor is checked after its last piece, which proves every
    // piece read through it (a stat there costs about as much as the open). A descriptor opened in
    // the middle of a comparison is checked at once, as the pieces before came through another.
    enum class Check { AtOnce, AtTheEnd };

    // The file by its name in its open folder, never through a symlink and without waiting on
    // anything but a regular file (a FIFO opens without a writer and fails its reads, as a
    // folder does); -1 unless it is still the file the walk saw, when checked at once.
    // The read leaves the access time alone (RegularFile::openForReadingAt).
    static int openFile(int folderFd, const Candidate& file, Check check) {
        const int fd = RegularFile::openForReadingAt(
            folderFd, file.name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        if (fd < 0 || check == Check::AtTheEnd)
            return fd;
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            quint64(st.st_dev) != file.stamp.device || quint64(st.st_ino) != file.stamp.inode) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    // The quick look: the first quickBytes of the open file (all of a shorter one), told apart by
    // a fingerprint, at a fraction of a digest's cost. Most files differ there and are never read
    // again; the rest are compared from their start.
    void quickLook(Reading& r, int worker) {
        if (r.fd < 0) {
            release(r);
            return;
        }
        // One buffer per worker for the whole scan: mapping and unmapping one per thread and pass
        // holds up the other threads' page faults.
        char* const buffer = this->buffer(m_buffers, worker, comparePiece);
        const qint64 end = std::min(DuplicateScan::quickBytes, r.size());
        if (readAt(r.fd, buffer, qsizetype(end), 0) != end) {
            release(r);
            return;
        }
        const quint64 print = fingerprint(buffer, qsizetype(end));
        Digest digest{};
        std::memcpy(digest.data(), &print, sizeof print);
        r.digest = digest;
        keepOpen(r);
    }

    // Settles a set of files of one size whose first bytes looked alike. They are read side by
    // side, piece by piece, and held to the bytes of the first of them that reads: those that
    // agree to the end are a group and share one SHA-256, taken of those bytes once. Files that
    // part from the held bytes at one piece held the same bytes as each other up to it (and share
    // the digest of them so far); those whose pieces there look alike (by a fingerprint) are
    // compared among themselves from that piece on, a file alone in its kind drops out, and files
    // that part at different pieces cannot be equal. So no file is read past the piece where it
    // stands alone, and a piece is read at most twice however many kinds part at once.
    void compareSet(Reading* const* set, size_t count, int worker) {
        struct Left {
            std::vector<Reading*> files;
            qint64 offset = 0;            // what the files are known to share before
            std::unique_ptr<Sha256> hash; // of those bytes
        };
        std::vector<Left> left;
        left.push_back({std::vector<Reading*>(set, set + count), 0, std::make_unique<Sha256>()});
        const qint64 size = set[0]->size();
        char* const held = buffer(m_buffers, worker, comparePiece);
        char* const other = buffer(m_spare, worker, comparePiece);
        while (!left.empty()) {
            std::vector<Reading*> same = std::move(left.back().files);
            qint64 offset = left.back().offset;
            const std::unique_ptr<Sha256> hash = std::move(left.back().hash);
            left.pop_back();
            while (offset < size && same.size() >= 2) {
                const qsizetype want = qsizetype(std::min<qint64>(size - offset, comparePiece));
                const bool last = offset + want == size;
                std::vector<Reading*> agree;
                std::vector<std::pair<quint64, Reading*>> differ;
                for (Reading* r : same) {
                    if (agree.empty()) {
                        if (readPiece(*r, held, want, offset, last))
                            agree.push_back(r);
                    } else if (readPiece(*r, other, want, offset, last)) {
                        if (std::memcmp(held, other, size_t(want)) == 0)
                            agree.push_back(r);
                        else
                            differ.emplace_back(fingerprint(other, want), r);
                    }
                }
                std::sort(differ.begin(), differ.end());
                for (size_t i = 0, j; i < differ.size(); i = j) {
                    for (j = i + 1; j < differ.size() && differ[j].first == differ[i].first;)
                        ++j;
                    if (j - i == 1) {
                        release(*differ[i].second);
                        continue;
                    }
                    Left kind{{}, offset, std::make_unique<Sha256>()};
                    kind.hash->assign(*hash);
                    for (size_t k = i; k < j; ++k)
                        kind.files.push_back(differ[k].second);
                    left.push_back(std::move(kind));
                }
                // Bytes that no two files share any more need no digest.
                if (agree.size() >= 2)
                    hash->update(held, want);
                offset += want;
                same = std::move(agree);
            }
            if (same.size() >= 2 && offset == size)
                if (const std::optional<Digest> digest = toDigest(hash->finish()))
                    m_made[size_t(worker)].push_back(
                        makeGroup(m_folders, same.data(), same.size(), *digest));
            for (Reading* r : same)
                release(*r);
        }
    }

    // Reads one piece of a file of a set into `into`, opening it again by its folder when it is
    // not open and keeping it open for its next piece while the budget allows. After its last
    // piece the file is closed and must still be the file the walk stamped. False, with the file
    // released, when any of that fails or the scan is cancelled.
    bool readPiece(Reading& r, char* into, qsizetype size, qint64 offset, bool last) {
        if (m_cancel.isCancelled()) {
            release(r);
            return false;
        }
        if (r.fd < 0)
            r.fd = openAgain(*r.file, Check::AtOnce);
        if (r.fd < 0 || readAt(r.fd, into, size, offset) != size) {
            release(r);
            return false;
        }
        if (!last) {
            keepOpen(r);
            return true;
        }
        struct stat st;
        if (::fstat(r.fd, &st) != 0 || st.st_nlink == 0 || stampFrom(st) != r.file->stamp) {
            release(r);
            return false;
        }
        closeFile(r);
        return true;
    }

    // openFile() through its folder: the one kept open, else one opened for it alone.
    int openAgain(const Candidate& file, Check check) const {
        const int kept = m_folderFds[file.folder];
        if (kept != notKept)
            return kept >= 0 ? openFile(kept, file, check) : -1;
        const int folderFd = openFolder(m_folders[file.folder]);
        if (folderFd < 0)
            return -1;
        const int fd = openFile(folderFd, file, check);
        ::close(folderFd);
        return fd;
    }

    void closeFile(Reading& r) {
        if (r.fd >= 0)
            ::close(r.fd);
        r.fd = -1;
        if (r.kept)
            m_kept.fetch_sub(1, std::memory_order_relaxed);
        r.kept = false;
    }

    // The worker's own buffer of `size` bytes from `buffers`, made on first use.
    static char* buffer(std::vector<std::unique_ptr<char[]>>& buffers, int worker, qsizetype size) {
        std::unique_ptr<char[]>& b = buffers[size_t(worker)];
        if (!b)
            b.reset(new char[size_t(size)]);
        return b.get();
    }

    qsizetype readAt(int fd, char* buffer, qsizetype size, qint64 offset) const {
        return m_read ? m_read(fd, buffer, size, offset) : preadFully(fd, buffer, size, offset);
    }

    // Keeps the file open for the next pass while the budget allows, else closes it.
    void keepOpen(Reading& r) {
        if (r.kept || r.fd < 0)
            return;
        r.kept = m_kept.fetch_add(1, std::memory_order_relaxed) < m_keptBudget;
        if (!r.kept) {
            m_kept.fetch_sub(1, std::memory_order_relaxed);
            ::close(r.fd);
            r.fd = -1;
        }
    }

    void hashByPath(Reading& r, qint64 prefix) {
        const std::string path = joined(m_folders[r.file->folder], r.file->name);
        if (endOf(r, prefix) == r.size() &&
            RegularFile::stampAt(QByteArray::fromStdString(path)) != r.file->stamp) {
            r.digest.reset();
            return;
        }
        r.digest = toDigest(m_hasher(path, prefix, m_cancel));
    }

    const std::vector<Folder>& m_folders;
    const DuplicateScan::Hasher& m_hasher;
    const DuplicateScan::Reader& m_read;
    const CancelToken& m_cancel;
    const int m_threads;
    const int m_keptBudget;
    std::atomic<int> m_kept{0};
    std::vector<std::unique_ptr<char[]>> m_buffers;
    std::vector<std::unique_ptr<char[]>> m_spare; // what compareSet() holds to the first file
    // By folder: its descriptor while kept open, else notKept or unopened.
    std::vector<int> m_folderFds;
    // While sizes are settled: /dev/null, and the process's other descriptors then, which the
    // helper threads' own tables point at it.
    int m_null = -1;
    std::vector<int> m_foreign;
    std::vector<std::vector<DuplicateGroup>> m_made; // by worker
};

// Calls take(run, count) for every run of two or more files of one size with equal digests.
// `files` are in order of size; each size's files are put in order of digest.
template <typename Take> void equalRuns(std::vector<Reading*>& files, const Take& take) {
    for (size_t start = 0; start < files.size();) {
        size_t end = start + 1;
        while (end < files.size() && files[end]->size() == files[start]->size())
            ++end;
        digestRuns(files.data() + start, files.data() + end, [&take](Reading** run, size_t n) {
            if (n >= 2)
                take(run, n);
        });
        start = end;
    }
}

} // namespace

namespace DuplicateScan {

std::optional<QByteArray> digest(const std::function<qsizetype(char*, qsizetype)>& read,
                                 qint64 limit, const CancelToken& cancel) {
    thread_local std::vector<char> buffer(static_cast<size_t>(Sha256::pieceSize));
    Sha256 hash;
    qint64 left = limit < 0 ? std::numeric_limits<qint64>::max() : limit;
    while (left > 0) {
        if (cancel.isCancelled())
            return std::nullopt;
        const qsizetype want = qsizetype(std::min<qint64>(left, Sha256::pieceSize));
        const qsizetype got = read(buffer.data(), want);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        hash.update(buffer.data(), got);
        left -= got;
    }
    return hash.finish();
}

std::optional<QByteArray> fileDigest(const std::string& path, qint64 limit,
                                     const CancelToken& cancel) {
    RegularFile file(NativePath::decode(QByteArray::fromStdString(path)));
    if (!file.isOpen())
        return std::nullopt;
    return digest([&file](char* buffer, qsizetype capacity) { return file.read(buffer, capacity); },
                  limit, cancel);
}

Outcome run(const QString& folder, const Options& options) {
    Outcome outcome;
    if (!folderOpens(folder))
        return outcome;
    outcome.readable = true;
    const CancelToken& cancel = options.cancel;
    const int threads = options.threads > 0 ? options.threads : ParallelLoop::flatThreads();

    // Walk: every worker collects into its own lists, a folder once for the run of its files it
    // meets.
    struct Found {
        std::vector<Folder> folders;
        std::vector<Candidate> files;
    };
    DirectoryWalker::Options walkOptions;
    walkOptions.threads = threads;
    const DirectoryWalker walker(walkOptions, cancel);
    PerWorker<Found> found(walker.threads());
    std::atomic<qint64> counted{0};
    const DirectoryWalker::Result walked = walker.walk(folder, [&](const DirectoryWalker::Entry&
                                                                       e) {
        if (const auto step = WalkRules::pickedFolderStep(e))
            return *step;
        if (!e.isFile() || e.repeatLink || e.sizeBytes < minimumSize)
            return DirectoryWalker::Action::Continue;
        Found& mine = found.slot(e.worker);
        if (mine.folders.empty() || mine.folders.back().inode != e.folderInode ||
            mine.folders.back().device != e.folderDevice || mine.folders.back().path != e.folder)
            mine.folders.push_back(Folder{std::string(e.folder), e.folderDevice, e.folderInode});
        mine.files.push_back(Candidate{
            std::string(e.name), quint32(mine.folders.size() - 1), e.allocatedBytes,
            RegularFile::Stamp{e.device, e.inode, e.sizeBytes, e.modifyTimeNs, e.changeTimeNs}});
        const qint64 n = counted.fetch_add(1, std::memory_order_relaxed) + 1;
        if (n % progressStep == 0 && options.progress)
            options.progress(n);
        return DirectoryWalker::Action::Continue;
    });
    outcome.candidates = counted.load();
    if (walked.cancelled || cancel.isCancelled()) {
        outcome.cancelled = true;
        return outcome;
    }

    // The candidates stay in the workers' lists; their folders are numbered across all of them.
    // Each worker's files are put in order of size on a thread of their own, then the lists are
    // merged, half of them into the other half at each step.
    const size_t workers = size_t(walker.threads());
    std::vector<Folder> folders;
    std::vector<quint32> firstFolder(workers);
    std::vector<size_t> firstFile(workers + 1, 0);
    for (size_t w = 0; w < workers; ++w) {
        firstFolder[w] = quint32(folders.size());
        for (Folder& f : found.slot(int(w)).folders)
            folders.push_back(std::move(f));
        firstFile[w + 1] = firstFile[w] + found.slot(int(w)).files.size();
    }
    std::vector<std::pair<qint64, const Candidate*>> bySize(firstFile[workers]);
    const auto from = [&bySize, &firstFile](size_t w) {
        return bySize.begin() + qsizetype(firstFile[std::min(w, firstFile.size() - 1)]);
    };
    ParallelLoop::run(workers, threads, [&](size_t w, int) {
        auto out = from(w);
        for (Candidate& c : found.slot(int(w)).files) {
            c.folder += firstFolder[w];
            *out++ = {c.stamp.size, &c};
        }
        std::sort(from(w), from(w + 1));
    });
    for (size_t width = 1; width < workers; width *= 2)
        ParallelLoop::run((workers + 2 * width - 1) / (2 * width), threads, [&](size_t m, int) {
            const size_t low = m * 2 * width;
            std::inplace_merge(from(low), from(low + width), from(low + 2 * width));
        });

    // Every file that shares its size with another goes through two passes: a quick look at its
    // first bytes, then, for the files whose first bytes looked like another's of their size, the
    // whole content. The quick look only saves reading on files that already differ near their
    // start: a group needs equal contents either way. An injected hasher settles a file no
    // longer than the quick look's prefix by that look.
    size_t shared = 0;
    for (size_t start = 0, end; start < bySize.size(); start = end) {
        for (end = start + 1; end < bySize.size() && bySize[end].first == bySize[start].first;)
            ++end;
        if (end - start >= 2)
            shared += end - start;
    }
    std::vector<Reading> readings(shared);
    std::vector<Reading*> pending;
    pending.reserve(shared);
    for (size_t start = 0, end; start < bySize.size(); start = end) {
        for (end = start + 1; end < bySize.size() && bySize[end].first == bySize[start].first;)
            ++end;
        if (end - start >= 2)
            for (size_t i = start; i < end; ++i) {
                Reading& r = readings[pending.size()];
                r.file = bySize[i].second;
                pending.push_back(&r);
            }
    }
    Passes passes(folders, options, threads);
    if (!options.hasher) {
        std::vector<DuplicateGroup> made = passes.settleAll(pending);
        outcome.groups.reserve(qsizetype(made.size()));
        std::move(made.begin(), made.end(), std::back_inserter(outcome.groups));
    }
    for (const qint64 prefix : {quickBytes, qint64(-1)}) {
        if (!options.hasher || pending.empty())
            break;
        passes.hashAll(pending, prefix);
        if (cancel.isCancelled())
            break;
        std::vector<Reading*> next;
        std::vector<std::pair<Reading* const*, size_t>> settled;
        equalRuns(pending, [&](Reading* const* run, size_t count) {
            if (prefix < 0 || run[0]->size() <= prefix) {
                settled.emplace_back(run, count);
                return;
            }
            next.insert(next.end(), run, run + count);
        });
        std::vector<DuplicateGroup> made(settled.size());
        ParallelLoop::run(settled.size(), threads, [&](size_t i, int) {
            made[i] = makeGroup(folders, settled[i].first, settled[i].second,
                                *settled[i].first[0]->digest);
        });
        for (DuplicateGroup& group : made)
            outcome.groups.append(std::move(group));
        pending = std::move(next);
    }
    if (cancel.isCancelled()) {
        outcome.cancelled = true;
        return outcome;
    }

    // Each group's reclaimable bytes are counted once, not again at every comparison.
    QList<DuplicateGroup>& groups = outcome.groups;
    std::vector<std::pair<qint64, qsizetype>> order;
    order.reserve(size_t(groups.size()));
    for (qsizetype i = 0; i < groups.size(); ++i)
        order.emplace_back(groups.at(i).reclaimableBytes(), i);
    std::sort(order.begin(), order.end(), [&groups](const auto& a, const auto& b) {
        return a.first != b.first
                   ? a.first > b.first
                   : groups.at(a.second).files.first() < groups.at(b.second).files.first();
    });
    QList<DuplicateGroup> sorted;
    sorted.reserve(groups.size());
    for (const auto& [reclaimable, i] : order)
        sorted.append(std::move(groups[i]));
    groups = std::move(sorted);
    return outcome;
}

} // namespace DuplicateScan
