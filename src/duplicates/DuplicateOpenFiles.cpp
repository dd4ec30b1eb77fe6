#include "duplicates/DuplicateOpenFiles.h"

#include "platform/DescriptorLimit.h"
#include "platform/ParallelLoop.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

using DuplicateCandidates::Candidate;
using DuplicateCandidates::Folder;
using DuplicateCandidates::Reading;

namespace {

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

} // namespace

DuplicateOpenFiles::DuplicateOpenFiles(const std::vector<Folder>& folders,
                                       const DuplicateScan::Reader& read, int keptBudget)
    : m_folders(folders), m_read(read), m_keptBudget(keptBudget) {}

DuplicateOpenFiles::~DuplicateOpenFiles() {
    for (const int fd : m_folderFds)
        if (fd >= 0)
            ::close(fd);
}

void DuplicateOpenFiles::openFolders(const std::vector<Reading*>& files, int threads) {
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
    ParallelLoop::runOnDisk((kept + chunk - 1) / chunk, threads, [&](size_t c, int) {
        for (size_t i = c * chunk; i < std::min(kept, (c + 1) * chunk); ++i) {
            const int fd = openFolder(m_folders[folders[i]]);
            m_folderFds[folders[i]] = fd >= 0 ? fd : unopened;
        }
    });
}

void DuplicateOpenFiles::prepareOwnTables() {
    m_null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    std::vector<int> ours = {0, 1, 2, m_null};
    for (const int fd : m_folderFds)
        if (fd >= 0)
            ours.push_back(fd);
    std::sort(ours.begin(), ours.end());
    m_foreign.clear();
    for (const int fd : DescriptorLimit::openNow())
        if (!std::binary_search(ours.begin(), ours.end(), fd))
            m_foreign.push_back(fd);
}

void DuplicateOpenFiles::useOwnTable() const {
    if (::unshare(CLONE_FILES) != 0)
        return;
    for (const int fd : m_foreign)
        if (m_null < 0 || ::dup2(m_null, fd) < 0)
            ::close(fd);
    if (m_null >= 0)
        ::close(m_null);
}

void DuplicateOpenFiles::endOwnTables() {
    if (m_null >= 0)
        ::close(m_null);
    m_null = -1;
}

int DuplicateOpenFiles::openAgain(const Candidate& file, Check check) const {
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

qsizetype DuplicateOpenFiles::readAt(int fd, char* buffer, qsizetype size, qint64 offset) const {
    return m_read ? m_read(fd, buffer, size, offset) : preadFully(fd, buffer, size, offset);
}

void DuplicateOpenFiles::keepOpen(Reading& r) {
    if (r.kept || r.fd < 0)
        return;
    r.kept = m_kept.fetch_add(1, std::memory_order_relaxed) < m_keptBudget;
    if (!r.kept) {
        m_kept.fetch_sub(1, std::memory_order_relaxed);
        ::close(r.fd);
        r.fd = -1;
    }
}

void DuplicateOpenFiles::closeFile(Reading& r) {
    if (r.fd >= 0)
        ::close(r.fd);
    r.fd = -1;
    if (r.kept)
        m_kept.fetch_sub(1, std::memory_order_relaxed);
    r.kept = false;
}

void DuplicateOpenFiles::release(Reading& r) {
    closeFile(r);
    r.digest.reset();
}

// The folder the walk read, opened again by its path; -1 when that path no longer leads to it.
int DuplicateOpenFiles::openFolder(const Folder& folder) {
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
// anything but a regular file (a FIFO opens without a writer and fails its reads, as a folder
// does); -1 unless it is still the file the walk saw, when checked at once. The read leaves the
// access time alone (RegularFile::openForReadingAt).
int DuplicateOpenFiles::openFile(int folderFd, const Candidate& file, Check check) {
    const int fd = RegularFile::openForReadingAt(
        folderFd, file.name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 || check == Check::AtTheEnd)
        return fd;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || quint64(st.st_dev) != file.stamp.device ||
        quint64(st.st_ino) != file.stamp.inode) {
        ::close(fd);
        return -1;
    }
    return fd;
}
