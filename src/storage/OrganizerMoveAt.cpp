#include "storage/OrganizerMoveAt.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <QString>
#include <sys/stat.h>
#include <unistd.h>

namespace OrganizerMoveAt {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray native(const QString& path) {
    return NativePath::encode(path);
}

// mkdir -p; 0 or the error of the step that failed. A link to a folder on the way counts as the
// folder: the bounds were checked before anything is created.
int makeFolders(const QString& path) {
    QString walk;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walk += QLatin1Char('/') + part;
        if (::mkdir(native(walk).constData(), 0777) == 0)
            continue;
        const int error = errno;
        struct stat st;
        if (error != EEXIST || ::stat(native(walk).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return error == EEXIST ? ENOTDIR : error;
    }
    return 0;
}

namespace {

// Gives fromDir/from the name toDir/to without ever replacing what is there. Where the file
// system cannot rename without replacing, a hard link does it; where it has no hard links
// either, `to` is first reserved with an empty file of our own, and only that reservation is
// replaced. 0 or the system's error (EXDEV across file systems).
int placeNoReplaceAt(int fromDir, const QByteArray& from, int toDir, const QByteArray& to) {
    if (::renameat2(fromDir, from.constData(), toDir, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    int error = errno;
    if (error != EINVAL && error != ENOSYS)
        return error;
    if (::linkat(fromDir, from.constData(), toDir, to.constData(), 0) == 0) {
        ::unlinkat(fromDir, from.constData(), 0);
        return 0;
    }
    error = errno;
    if (error != EPERM && error != EOPNOTSUPP && error != ENOSYS && error != EMLINK)
        return error;
    const int reserved =
        ::openat(toDir, to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (reserved < 0)
        return errno;
    ::close(reserved);
    if (::renameat(fromDir, from.constData(), toDir, to.constData()) != 0) {
        error = errno;
        ::unlinkat(toDir, to.constData(), 0);
        return error;
    }
    return 0;
}

// Reads until count bytes or the end; -1 on an error.
ssize_t readFull(int fd, char* buffer, size_t count) {
    size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd, buffer + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += size_t(n);
    }
    return ssize_t(got);
}

bool writeFull(int fd, const char* buffer, size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, buffer, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        buffer += n;
        count -= size_t(n);
    }
    return true;
}

// Both files hold the same bytes.
bool sameContentsAt(int dirA, const QByteArray& a, int dirB, const QByteArray& b, QString* reason) {
    const Fd fa(RegularFile::openForReadingAt(dirA, a.constData(), O_CLOEXEC | O_NOFOLLOW));
    const Fd fb(RegularFile::openForReadingAt(dirB, b.constData(), O_CLOEXEC | O_NOFOLLOW));
    bool same = fa && fb;
    if (!same)
        *reason = systemReason(errno);
    static constexpr size_t kChunk = 1 << 16;
    std::unique_ptr<char[]> ba(new char[kChunk]), bb(new char[kChunk]);
    while (same) {
        const ssize_t na = readFull(fa.get(), ba.get(), kChunk);
        const ssize_t nb = readFull(fb.get(), bb.get(), kChunk);
        if (na < 0 || nb < 0) {
            *reason = systemReason(errno);
            same = false;
        } else if (na != nb || std::memcmp(ba.get(), bb.get(), size_t(na)) != 0) {
            *reason = QStringLiteral("The copy does not match the original.");
            same = false;
        } else if (na == 0) {
            break;
        }
    }
    return same;
}

} // namespace

QByteArray partialName(const QByteArray& name) {
    return '.' + name + ".pendrel-part";
}

// copyThenRemove within open folders.
QString copyThenRemoveAt(int fromDir, const QByteArray& from, int toDir, const QByteArray& to) {
    const Fd in(RegularFile::openForReadingAt(fromDir, from.constData(), O_CLOEXEC | O_NOFOLLOW));
    if (!in)
        return systemReason(errno);
    struct stat st;
    const int statError = ::fstat(in.get(), &st) != 0 ? errno : (S_ISREG(st.st_mode) ? 0 : EXDEV);
    if (statError != 0)
        return systemReason(statError);
    // O_EXCL: the temporary name is ours alone, so removing it on failure loses nothing. A
    // leftover of an earlier run cut short is not reused: settle() decides about it.
    const QByteArray partial = partialName(to);
    const int out = ::openat(toDir, partial.constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (out < 0)
        return systemReason(errno);
    QString reason;
    static constexpr size_t kChunk = 1 << 16;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    for (;;) {
        const ssize_t n = readFull(in.get(), buffer.get(), kChunk);
        if (n < 0 || (n > 0 && !writeFull(out, buffer.get(), size_t(n)))) {
            reason = systemReason(errno);
            break;
        }
        if (n == 0)
            break;
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (reason.isEmpty() && (::fsync(out) != 0 || ::futimens(out, times) != 0))
        reason = systemReason(errno);
    // The source's permissions once the bytes are in; some file systems keep none.
    if (reason.isEmpty())
        ::fchmod(out, st.st_mode & 07777);
    if (::close(out) != 0 && reason.isEmpty())
        reason = systemReason(errno);
    if (reason.isEmpty())
        sameContentsAt(fromDir, from, toDir, partial, &reason);
    if (reason.isEmpty()) {
        if (const int error = placeNoReplaceAt(toDir, partial, toDir, to))
            reason = systemReason(error);
    }
    if (!reason.isEmpty()) {
        ::unlinkat(toDir, partial.constData(), 0);
        return reason;
    }
    // The copy's name is on disk before the source goes, so a power cut cannot lose both. When
    // the source cannot go, the copy is taken back while the source is still there: a failed
    // move leaves things as they were.
    int error = ::fsync(toDir) == 0 || errno == EINVAL || errno == EROFS ? 0 : errno;
    if (error == 0 && ::unlinkat(fromDir, from.constData(), 0) != 0)
        error = errno;
    struct stat left;
    if (error != 0 && ::fstatat(fromDir, from.constData(), &left, AT_SYMLINK_NOFOLLOW) == 0)
        ::unlinkat(toDir, to.constData(), 0);
    return error == 0 ? QString() : systemReason(error);
}

// Renames within open folders without ever replacing; across file systems the file is copied.
QString moveNoReplaceAt(int fromDir, const QByteArray& from, int toDir, const QByteArray& to) {
    const int error = placeNoReplaceAt(fromDir, from, toDir, to);
    if (error == 0)
        return QString();
    // Another file system: copy instead, which still never replaces.
    if (error == EXDEV)
        return copyThenRemoveAt(fromDir, from, toDir, to);
    return systemReason(error);
}

} // namespace OrganizerMoveAt
