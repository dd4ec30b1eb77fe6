#include "duplicates/DuplicateScan.h"

#include "cleaning/CategoryMeasurer.h"
#include "platform/DirectoryWalker.h"
#include "platform/NativePath.h"
#include "platform/ParallelLoop.h"
#include "platform/RegularFile.h"
#include "platform/Sha256.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <QHash>
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
// read through (kept open between passes while the budget allows), the hash of the bytes read so
// far, and the digest of the prefix of the pass that read it last (none once it dropped out).
struct Reading {
    const Candidate* file = nullptr;
    int fd = -1;
    bool kept = false; // fd counts against the budget of descriptors kept between passes
    bool fingerprinted = false;
    bool goesOn = false;
    quint32 sizeGroup = 0; // of the pass under way
    qint64 hashed = 0;
    std::unique_ptr<Sha256> hash;
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

// How many descriptors the process has open now (those of /proc/self/fd, less the one that
// lists them); 0 when that cannot be read.
int openDescriptors() {
    DIR* listing = ::opendir("/proc/self/fd");
    if (!listing)
        return 0;
    int count = 0;
    while (const struct dirent* entry = ::readdir(listing))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(listing);
    return std::max(0, count - 1);
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

// The passes of one scan. Each pass hashes its files up to its prefix in parallel; a file whose
// whole content the pass reads is settled by it.
class Passes {
public:
    Passes(const std::vector<Folder>& folders, const DuplicateScan::Options& options, int threads)
        : m_folders(folders), m_hasher(options.hasher), m_read(options.read),
          m_cancel(options.cancel), m_threads(threads),
          m_keptBudget(options.keptDescriptors ? std::max(0, *options.keptDescriptors)
                                               : defaultKeptDescriptors(threads)),
          m_buffers(size_t(std::max(threads, 1))) {
        if (!m_hasher)
            growDescriptorTable(openDescriptors() + m_keptBudget + 2 * threads);
    }

    // Gives every file of `files` (those of one size side by side) the digest of its first
    // `prefix` bytes (of all of it when prefix is negative), or none when it drops out. Files
    // already open are one piece of work each, biggest first; the others are read folder by
    // folder, each folder opened once.
    void run(const std::vector<Reading*>& files, qint64 prefix) {
        std::vector<Reading*> order;
        order.reserve(files.size());
        for (Reading* r : files)
            if (r->fd >= 0 || m_hasher)
                order.push_back(r);
        const size_t opened = order.size();
        // The others folder by folder, placed by a count per folder: this runs before the
        // threads start, over every file in the first pass.
        std::vector<size_t> at(m_folders.size() + 1, 0);
        for (const Reading* r : files)
            if (r->fd < 0 && !m_hasher)
                ++at[r->file->folder + 1];
        for (size_t f = 1; f < at.size(); ++f)
            at[f] += at[f - 1];
        order.resize(opened + at.back());
        for (Reading* r : files)
            if (r->fd < 0 && !m_hasher)
                order[opened + at[r->file->folder]++] = r;

        struct Piece {
            size_t begin = 0;
            size_t count = 0;
            qint64 bytes = 0;
        };
        std::vector<Piece> pieces;
        for (size_t i = 0; i < order.size();) {
            Piece piece{i, 1, toRead(*order[i], prefix)};
            if (i >= opened)
                while (i + piece.count < order.size() &&
                       order[i + piece.count]->file->folder == order[i]->file->folder)
                    piece.bytes += toRead(*order[i + piece.count++], prefix);
            i += piece.count;
            pieces.push_back(piece);
        }
        std::sort(pieces.begin(), pieces.end(),
                  [](const Piece& a, const Piece& b) { return a.bytes > b.bytes; });

        // The files of one size, which `files` holds side by side, and how many of them this pass
        // has yet to read.
        std::vector<size_t> sizeStarts;
        for (size_t i = 0; i < files.size(); ++i) {
            if (i == 0 || files[i]->size() != files[i - 1]->size())
                sizeStarts.push_back(i);
            files[i]->sizeGroup = quint32(sizeStarts.size() - 1);
        }
        sizeStarts.push_back(files.size());
        std::vector<std::atomic<int>> unread(sizeStarts.size() - 1);
        for (size_t g = 0; g + 1 < sizeStarts.size(); ++g)
            unread[g].store(int(sizeStarts[g + 1] - sizeStarts[g]), std::memory_order_relaxed);

        ParallelLoop::run(pieces.size(), m_threads, [&](size_t p, int worker) {
            int folderFd = -1;
            bool folderTried = false;
            for (size_t i = pieces[p].begin; i < pieces[p].begin + pieces[p].count; ++i) {
                Reading& r = *order[i];
                if (m_cancel.isCancelled()) {
                    release(r);
                } else if (m_hasher) {
                    hashByPath(r, prefix);
                } else {
                    if (r.fd < 0) {
                        if (!folderTried) {
                            folderTried = true;
                            folderFd = openFolder(m_folders[r.file->folder]);
                        }
                        if (folderFd >= 0)
                            r.fd = openFile(folderFd, *r.file);
                    }
                    readOn(r, prefix, worker);
                }
                // The last of its size to be read here closes those that matched none: the
                // descriptors they would keep till the end of the pass go to files that go on.
                const quint32 g = r.sizeGroup;
                if (unread[g].fetch_sub(1, std::memory_order_acq_rel) == 1)
                    releaseUnmatched(files.data() + sizeStarts[g],
                                     sizeStarts[g + 1] - sizeStarts[g]);
            }
            if (folderFd >= 0)
                ::close(folderFd);
        });
    }

    // release() of every file of `files`, in parallel: closing tens of thousands of files is
    // work of its own.
    void release(const std::vector<Reading*>& files) {
        constexpr size_t chunk = 256;
        ParallelLoop::run((files.size() + chunk - 1) / chunk, m_threads, [&](size_t c, int) {
            for (size_t i = c * chunk; i < std::min(files.size(), (c + 1) * chunk); ++i)
                release(*files[i]);
        });
    }

    // release() of every file of one size, read to the same prefix, whose digest no other has.
    void releaseUnmatched(Reading* const* files, size_t count) {
        std::vector<Reading*> digested;
        for (size_t i = 0; i < count; ++i)
            if (files[i]->digest)
                digested.push_back(files[i]);
        std::sort(digested.begin(), digested.end(),
                  [](const Reading* a, const Reading* b) { return *a->digest < *b->digest; });
        for (size_t i = 0; i < digested.size();) {
            size_t j = i + 1;
            while (j < digested.size() && *digested[j]->digest == *digested[i]->digest)
                ++j;
            if (j - i == 1)
                release(*digested[i]);
            i = j;
        }
    }

    // Closes the file and forgets what was read of it.
    void release(Reading& r) {
        if (r.fd >= 0)
            ::close(r.fd);
        r.fd = -1;
        if (r.kept)
            m_kept.fetch_sub(1, std::memory_order_relaxed);
        r.kept = false;
        r.hash.reset();
        r.digest.reset();
    }

private:
    static qint64 endOf(const Reading& r, qint64 prefix) {
        return prefix < 0 ? r.size() : std::min(prefix, r.size());
    }
    static qint64 toRead(const Reading& r, qint64 prefix) { return endOf(r, prefix) - r.hashed; }

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

    // The file by its name in its open folder, never through a symlink and without waiting on
    // anything but a regular file; -1 unless it is still the file the walk saw.
    static int openFile(int folderFd, const Candidate& file) {
        int fd;
        do {
            fd = ::openat(folderFd, file.name.c_str(),
                          O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return -1;
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            quint64(st.st_dev) != file.stamp.device || quint64(st.st_ino) != file.stamp.inode) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    // Reads the open file on to the pass's prefix. A file read to its end is settled: it keeps
    // its digest only while it is, after the read, still the file the walk stamped.
    void readOn(Reading& r, qint64 prefix, int worker) {
        if (r.fd < 0) {
            release(r);
            return;
        }
        // One buffer per worker for the whole scan: mapping and unmapping one per thread and pass
        // holds up the other threads' page faults.
        std::unique_ptr<char[]>& buffer = m_buffers[size_t(worker)];
        if (!buffer)
            buffer.reset(new char[size_t(Sha256::pieceSize)]);
        const qint64 end = endOf(r, prefix);
        // A first look that settles nothing only has to tell files apart, which a fingerprint
        // does at a fraction of a digest's cost; most files differ there and are never read
        // again, the rest are digested from their start by the next pass.
        if (!r.fingerprinted && r.hashed == 0 && end < r.size() && end <= Sha256::pieceSize) {
            r.fingerprinted = true;
            const qsizetype got = readAt(r.fd, buffer.get(), qsizetype(end), 0);
            if (got != end) {
                release(r);
                return;
            }
            // Any seed but zero lets Qt hash with the processor's AES instructions, where it has
            // them: several times faster than its portable hash.
            const quint64 print = qHashBits(buffer.get(), size_t(end), 1);
            Digest digest{};
            std::memcpy(digest.data(), &print, sizeof print);
            r.digest = digest;
            keepOpen(r);
            return;
        }
        if (!r.hash)
            r.hash = std::make_unique<Sha256>();
        while (r.hashed < end) {
            if (m_cancel.isCancelled()) {
                release(r);
                return;
            }
            const qsizetype want = qsizetype(std::min<qint64>(end - r.hashed, Sha256::pieceSize));
            const qsizetype got = readAt(r.fd, buffer.get(), want, r.hashed);
            // Fewer bytes than the walk saw: the file changed.
            if (got <= 0) {
                release(r);
                return;
            }
            r.hash->update(buffer.get(), got);
            r.hashed += got;
        }
        if (end < r.size()) {
            r.digest = toDigest(r.hash->current());
            keepOpen(r);
            return;
        }
        struct stat st;
        const bool same =
            ::fstat(r.fd, &st) == 0 && st.st_nlink > 0 && stampFrom(st) == r.file->stamp;
        const std::optional<Digest> digest =
            same ? toDigest(r.hash->finish()) : std::optional<Digest>();
        release(r);
        r.digest = digest;
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
};

// Calls take(run, count) for every run of two or more files of one size with equal digests.
// `files` are in order of size; each size's files are put in order of digest.
template <typename Take> void equalRuns(std::vector<Reading*>& files, const Take& take) {
    for (size_t start = 0; start < files.size();) {
        size_t end = start + 1;
        while (end < files.size() && files[end]->size() == files[start]->size())
            ++end;
        // Files without a digest go last.
        std::sort(files.begin() + qsizetype(start), files.begin() + qsizetype(end),
                  [](const Reading* a, const Reading* b) {
                      if (!a->digest || !b->digest)
                          return a->digest.has_value() && !b->digest.has_value();
                      return *a->digest < *b->digest;
                  });
        for (size_t i = start; i < end && files[i]->digest;) {
            size_t j = i + 1;
            while (j < end && files[j]->digest && *files[j]->digest == *files[i]->digest)
                ++j;
            if (j - i >= 2)
                take(files.data() + i, j - i);
            i = j;
        }
        start = end;
    }
}

DuplicateGroup makeGroup(const std::vector<Folder>& folders, Reading* const* run, size_t count) {
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
    const Digest& digest = *run[0]->digest;
    group.digest =
        QByteArray(reinterpret_cast<const char*>(digest.data()), qsizetype(digest.size()));
    return group;
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
        if (e.depth == 0)
            return DirectoryWalker::Action::Continue;
        if (e.isHidden())
            return DirectoryWalker::Action::SkipChildren;
        if (e.isDirectory())
            return CategoryMeasurer::isPackageName(e.name) ? DirectoryWalker::Action::SkipChildren
                                                           : DirectoryWalker::Action::Continue;
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
    std::vector<Folder> folders;
    std::vector<std::pair<qint64, const Candidate*>> bySize;
    bySize.reserve(size_t(outcome.candidates));
    for (int w = 0; w < walker.threads(); ++w) {
        const quint32 first = quint32(folders.size());
        for (Folder& f : found.slot(w).folders)
            folders.push_back(std::move(f));
        for (Candidate& c : found.slot(w).files) {
            c.folder += first;
            bySize.emplace_back(c.stamp.size, &c);
        }
    }
    std::sort(bySize.begin(), bySize.end());

    // Every file that shares its size with another goes through the passes in turn; each pass
    // reads on the files whose shorter prefixes matched. A file no longer than a pass's prefix
    // is settled by it. The quick first pass only saves reading whole heads of files that
    // already differ near their start: a group needs equal heads and equal contents either way.
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
    for (const qint64 prefix : {quickBytes, headBytes, qint64(-1)}) {
        if (pending.empty())
            break;
        passes.run(pending, prefix);
        if (cancel.isCancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
        std::vector<Reading*> next;
        std::vector<std::pair<Reading* const*, size_t>> settled;
        equalRuns(pending, [&](Reading* const* run, size_t count) {
            if (prefix < 0 || run[0]->size() <= prefix) {
                settled.emplace_back(run, count);
                return;
            }
            for (size_t i = 0; i < count; ++i) {
                run[i]->goesOn = true;
                next.push_back(run[i]);
            }
        });
        std::vector<DuplicateGroup> made(settled.size());
        ParallelLoop::run(settled.size(), threads, [&](size_t i, int) {
            made[i] = makeGroup(folders, settled[i].first, settled[i].second);
        });
        for (DuplicateGroup& group : made)
            outcome.groups.append(std::move(group));
        std::vector<Reading*> done;
        for (Reading* r : pending)
            if (!r->goesOn && (r->fd >= 0 || r->hash))
                done.push_back(r);
        passes.release(done);
        for (Reading* r : next)
            r->goesOn = false;
        pending = std::move(next);
    }

    std::sort(outcome.groups.begin(), outcome.groups.end(),
              [](const DuplicateGroup& a, const DuplicateGroup& b) {
                  const qint64 ra = a.reclaimableBytes();
                  const qint64 rb = b.reclaimableBytes();
                  return ra != rb ? ra > rb : a.files.first() < b.files.first();
              });
    return outcome;
}

} // namespace DuplicateScan
