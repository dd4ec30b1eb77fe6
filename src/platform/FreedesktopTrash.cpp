#include "platform/FreedesktopTrash.h"
#include "platform/NativePath.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Renames without ever replacing something that appeared at the target meanwhile.
int renameNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without RENAME_NOREPLACE: the name was checked free just before.
    return ::rename(from, to) == 0 ? 0 : errno;
}

// Removes name below the folder parentFd for good; folders are emptied first. Symlinks are
// unlinked, never followed. Owner-only folders without write permission (read-only caches) are
// made writable first. Returns 0 or the first error met; the removal goes on past errors so as
// much as possible is gone.
int removeTree(int parentFd, const char* name) {
    if (::unlinkat(parentFd, name, 0) == 0)
        return 0;
    const int unlinkError = errno;
    if (unlinkError != EISDIR && unlinkError != EPERM)
        return unlinkError == ENOENT ? 0 : unlinkError;
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOTDIR ? unlinkError : errno;
    struct stat st;
    if (::fstat(fd, &st) == 0 && (st.st_mode & S_IRWXU) != S_IRWXU)
        ::fchmod(fd, st.st_mode | S_IRWXU);
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int e = errno;
        ::close(fd);
        return e;
    }
    int firstError = 0;
    while (dirent* d = ::readdir(dir)) {
        const char* child = d->d_name;
        if (child[0] == '.' && (child[1] == 0 || (child[1] == '.' && child[2] == 0)))
            continue;
        const int e = removeTree(::dirfd(dir), child);
        if (e && !firstError)
            firstError = e;
    }
    ::closedir(dir);
    if (::unlinkat(parentFd, name, AT_REMOVEDIR) != 0 && !firstError)
        firstError = errno;
    return firstError;
}

} // namespace

FreedesktopTrash::FreedesktopTrash(QString trashDir) : m_dir(QDir::cleanPath(trashDir)) {}

QByteArray FreedesktopTrash::encodePath(const QString& absolutePath) {
    return NativePath::encode(absolutePath).toPercentEncoding("/");
}

QString FreedesktopTrash::candidateName(const QString& fileName, int attempt) {
    if (attempt <= 1)
        return fileName;
    // The number goes before the extension, so the file manager still knows the kind.
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return fileName + QLatin1Char('.') + QString::number(attempt);
    return fileName.left(dot) + QLatin1Char('.') + QString::number(attempt) + fileName.mid(dot);
}

bool FreedesktopTrash::ensureFolders(QString* error) const {
    for (const QString& dir : {m_dir, itemsFolder(), infoFolder()}) {
        if (QFileInfo(dir).isDir())
            continue;
        if (!QDir().mkpath(dir)) {
            setError(error, QStringLiteral("The Trash folder %1 could not be created").arg(dir));
            return false;
        }
        if (dir == m_dir)
            ::chmod(NativePath::encode(dir).constData(), 0700);
    }
    return true;
}

bool FreedesktopTrash::moveToTrash(const QString& path, QString* error) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QByteArray source = NativePath::encode(absolute);
    const QString fileName = QFileInfo(absolute).fileName();
    struct stat st;
    if (::lstat(source.constData(), &st) != 0) {
        setError(error, systemError(errno));
        return false;
    }
    if (fileName.isEmpty()) {
        setError(error, systemError(EBUSY));
        return false;
    }
    if (!ensureFolders(error))
        return false;
    if (absolute == m_dir || absolute.startsWith(m_dir + QLatin1Char('/'))) {
        setError(error, QStringLiteral("It is already in the Trash"));
        return false;
    }
    struct stat trashStat;
    if (::stat(NativePath::encode(m_dir).constData(), &trashStat) != 0) {
        setError(error, systemError(errno));
        return false;
    }
    if (trashStat.st_dev != st.st_dev) {
        // Another volume keeps its own Trash; Qt knows where.
        QFile file(absolute);
        if (file.moveToTrash())
            return true;
        setError(error, file.errorString());
        return false;
    }

    const QByteArray info =
        "[Trash Info]\nPath=" + encodePath(absolute) + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() +
        "\n";
    for (int attempt = 1; attempt <= 10000; ++attempt) {
        const QString name = candidateName(fileName, attempt);
        const QByteArray infoPath = NativePath::encode(infoFolder() + QLatin1Char('/') + name +
                                                       QStringLiteral(".trashinfo"));
        const QByteArray target = NativePath::encode(itemsFolder() + QLatin1Char('/') + name);
        const int fd = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            setError(error, systemError(errno));
            return false;
        }
        struct stat existing;
        if (::lstat(target.constData(), &existing) == 0) {
            // An item without its record: leave it and take the next name.
            ::close(fd);
            ::unlink(infoPath.constData());
            continue;
        }
        const bool written = writeAll(fd, info);
        const int closeResult = ::close(fd);
        if (!written || closeResult != 0) {
            const int e = errno;
            ::unlink(infoPath.constData());
            setError(error, systemError(e ? e : EIO));
            return false;
        }
        const int e = renameNoReplace(source.constData(), target.constData());
        if (e == 0)
            return true;
        ::unlink(infoPath.constData());
        if (e == EEXIST)
            continue;
        setError(error, systemError(e));
        return false;
    }
    setError(error, systemError(EEXIST));
    return false;
}

bool FreedesktopTrash::erase(const QString& itemPath, QString* error) {
    const QString cleaned = QDir::cleanPath(itemPath);
    const QFileInfo item(cleaned);
    const QString name = item.fileName();
    if (name.isEmpty() || QDir::cleanPath(item.path()) != QDir::cleanPath(itemsFolder())) {
        setError(error, QStringLiteral("It is not an item of the Trash"));
        return false;
    }
    const QByteArray files = NativePath::encode(itemsFolder());
    const int filesFd = ::open(files.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (filesFd < 0) {
        setError(error, systemError(errno));
        return false;
    }
    const QByteArray encodedName = NativePath::encode(name);
    struct stat st;
    if (::fstatat(filesFd, encodedName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        const int e = errno;
        ::close(filesFd);
        setError(error, systemError(e));
        return false;
    }
    const int e = removeTree(filesFd, encodedName.constData());
    ::close(filesFd);
    if (e != 0) {
        setError(error, systemError(e));
        return false;
    }
    ::unlink(
        NativePath::encode(infoFolder() + QLatin1Char('/') + name + QStringLiteral(".trashinfo"))
            .constData());
    dropDirectorySize(name);
    return true;
}

void FreedesktopTrash::dropDirectorySize(const QString& name) {
    QMutexLocker guard(&m_sizesLock);
    const QString path = m_dir + QStringLiteral("/directorysizes");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    const QByteArray encodedName = NativePath::encode(name);
    QByteArray kept;
    bool dropped = false;
    for (const QByteArray& line : lines) {
        if (line.isEmpty())
            continue;
        // "<size> <mtime> <percent-encoded name>"
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 3 && QByteArray::fromPercentEncoding(fields.at(2)) == encodedName) {
            dropped = true;
            continue;
        }
        kept += line + '\n';
    }
    if (dropped)
        AtomicFile::write(path, kept);
}
