#include "platform/RegularFile.h"
#include "platform/NativePath.h"

#include <cerrno>
#include <fcntl.h>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 nanoseconds(const struct timespec& t) {
    return qint64(t.tv_sec) * 1000000000 + qint64(t.tv_nsec);
}

RegularFile::Stamp stampFrom(const struct stat& st) {
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

} // namespace

RegularFile::RegularFile(const QString& path) {
    const QByteArray native = NativePath::encode(path);
    if (native.isEmpty())
        return;
    const int fd = openForReading(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    // Plain files ignore the flag, but reads of a file that is later swapped must still block
    // like ordinary reads rather than fail with EAGAIN.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_fd = fd;
    m_size = qint64(st.st_size);
}

RegularFile::~RegularFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

qsizetype RegularFile::read(char* buffer, qsizetype capacity) {
    if (m_fd < 0)
        return -1;
    qsizetype total = 0;
    while (total < capacity) {
        const ssize_t got = ::read(m_fd, buffer + total, size_t(capacity - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

int RegularFile::openForReading(const char* nativePath, int flags) {
    return openForReadingAt(AT_FDCWD, nativePath, flags);
}

int RegularFile::openForReadingAt(int folder, const char* name, int flags) {
    int fd;
    do {
        fd = ::openat(folder, name, flags | O_NOATIME);
    } while (fd < 0 && errno == EINTR);
    // Only the owner (or a holder of CAP_FOWNER) may keep the access time still; anyone else
    // who may read the file reads it the ordinary way.
    if (fd < 0 && errno == EPERM) {
        do {
            fd = ::openat(folder, name, flags);
        } while (fd < 0 && errno == EINTR);
    }
    return fd;
}

bool RegularFile::moveInto(QFile& file) {
    if (m_fd < 0 || !file.open(m_fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return false;
    m_fd = -1;
    return true;
}

int RegularFile::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool RegularFile::isRegular(const QString& path) {
    const QByteArray native = NativePath::encode(path);
    struct stat st;
    return !native.isEmpty() && ::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<RegularFile::Stamp> RegularFile::stamp() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return stampFrom(st);
}

std::optional<QDateTime> RegularFile::birthTime() const {
    struct statx stx;
    if (m_fd < 0 || ::statx(m_fd, "", AT_EMPTY_PATH, STATX_BTIME, &stx) != 0 ||
        !(stx.stx_mask & STATX_BTIME))
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(stx.stx_btime.tv_sec) * 1000 +
                                          stx.stx_btime.tv_nsec / 1000000);
}

QString RegularFile::descriptorPath() const {
    return m_fd < 0 ? QString() : QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

std::optional<RegularFile::Stamp> RegularFile::stampOf(const QString& path) {
    return stampAt(NativePath::encode(path));
}

std::optional<RegularFile::Stamp> RegularFile::stampAt(const QByteArray& nativePath) {
    struct stat st;
    if (nativePath.isEmpty() || ::lstat(nativePath.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return stampFrom(st);
}
