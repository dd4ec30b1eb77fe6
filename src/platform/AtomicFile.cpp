#include "platform/AtomicFile.h"
#include "platform/NativePath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// The file a write replaces: path itself, or what the chain of links at path names (a bounded
// number of hops), so a settings file kept elsewhere behind a link is updated where it lives.
QByteArray landingPath(QByteArray path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        QByteArray target(st.st_size > 0 ? qsizetype(st.st_size) + 1 : 4096, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            break;
        target.truncate(n);
        if (!target.startsWith('/'))
            target = path.left(path.lastIndexOf('/') + 1) + target;
        path = target;
    }
    return path;
}

// Creates every missing folder of path for its owner alone. 0, or the errno of the step that
// failed (ENOTDIR when something other than a folder stands in the way).
int makeFolders(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    QByteArray walk;
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty())
            continue;
        walk += '/' + part;
        if (::mkdir(walk.constData(), 0700) == 0)
            continue;
        const int error = errno;
        // A link to a folder counts as the folder, as it does for every later step.
        if (error != EEXIST)
            return error;
        if (::stat(walk.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return ENOTDIR;
    }
    return 0;
}

// Some file systems cannot sync a folder or a file (EINVAL), and a read-only one has nothing to
// sync; neither is a failure of the write.
bool synced(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
}

} // namespace

bool write(const QString& path, const QByteArray& bytes, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QString absolute =
        path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    const QByteArray target = landingPath(NativePath::encode(absolute));
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash == 0 ? QByteArray("/") : target.left(slash);
    if (const int code = makeFolders(folder))
        return fail(QStringLiteral("could not create the folder %1: %2")
                        .arg(NativePath::decode(folder), systemError(code)));

    // mkostemp creates the file 0600 before anything is written to it.
    QByteArray temporary = folder + "/." + target.mid(slash + 1) + ".XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(systemError(errno));
    const auto abandon = [&](int code) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.constData());
        return fail(systemError(code));
    };
    if (!AtomicFile::writeFully(fd, bytes))
        return abandon(errno);
    // A replaced file keeps what its owner may do with it (read-only, executable); the group and
    // others get nothing. Some file systems have no permissions to set: not a failure.
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, (existing.st_mode & 0700) | 0600);
    // Some file systems only report a lack of space or a failing device when the data is synced
    // or the file closed.
    if (!synced(fd))
        return abandon(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0 && errno != EINTR)
        return abandon(errno);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return abandon(errno);
    // The new name reaches the disk too, so a caller that acts on the file's contents next (the
    // organizer moves a file once its record is saved) finds them after a power cut.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const bool ok = synced(dir);
        const int code = errno;
        ::close(dir);
        if (!ok)
            return fail(systemError(code));
    }
    return true;
}

ReadResult read(const QString& path, qsizetype maxBytes) {
    ReadResult result;
    const QByteArray native = NativePath::encode(path);
    int fd;
    do {
        // Non-blocking, so a FIFO at this place cannot hold the caller waiting for a writer.
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return result;
        result.status = ReadResult::Status::Failed;
        result.error = systemError(errno);
        return result;
    }
    result.status = ReadResult::Status::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        result.error = systemError(errno);
    } else if (!S_ISREG(st.st_mode)) {
        result.error = QStringLiteral("not a regular file");
    } else if (st.st_size > maxBytes) {
        result.error = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    } else {
        QByteArray data;
        char buffer[16 * 1024];
        bool ok = true;
        while (ok) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result.error = systemError(errno);
                ok = false;
            } else if (n == 0) {
                break;
            } else if (data.size() + n > maxBytes) {
                result.error = QStringLiteral("larger than %1 bytes").arg(maxBytes);
                ok = false;
            } else {
                data.append(buffer, n);
            }
        }
        if (ok) {
            result.status = ReadResult::Status::Read;
            result.bytes = std::move(data);
        }
    }
    ::close(fd);
    return result;
}

QString moveAsideCorrupt(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    const QString base = path + QStringLiteral(".corrupt-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    // A plain rename: it moves whatever is there (a folder too) without reading it.
    if (::rename(NativePath::encode(path).constData(), NativePath::encode(target).constData()) != 0)
        return {};
    return target;
}

} // namespace AtomicFile

bool AtomicFile::writeFully(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qsizetype>(left, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}
