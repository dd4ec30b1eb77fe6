#include "platform/AtomicFile.h"
#include "platform/NativePath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

bool write(const QString& path, const QByteArray& bytes, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("could not create the folder %1").arg(info.absolutePath()));
    QSaveFile file(path);
    // Unbuffered: every write reaches the kernel at once, so a full disk shows up here. With a
    // buffer, Qt's commit() can miss an error of the last flush and rename a short file into
    // place while reporting success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    // commit() syncs but ignores the result; some file systems only report a lack of space or a
    // failing device when the data is synced.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const int code = errno;
        file.cancelWriting();
        return fail(systemError(code));
    }
    if (!file.commit())
        return fail(file.errorString());
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
