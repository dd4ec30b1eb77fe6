#include "platform/FreedesktopTrash.h"

#include "platform/AtomicFile.h"
#include "platform/DirectoryWalker.h"
#include "platform/FolderAt.h"
#include "platform/FoundRoot.h"
#include "platform/MountRoot.h"
#include "platform/NativePath.h"
#include "platform/ParallelLoop.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <stdio.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using FolderAt::Fd;

namespace {

// removeTree()'s answer for a folder of another file system; no errno value is negative.
constexpr int CrossesFileSystem = -1;

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

// Renames the entry `from` of the open folder `folder` to the path `to`, without ever replacing
// something that appeared there meanwhile.
int renameNoReplace(int folder, const char* from, const char* to) {
    if (::renameat2(folder, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without RENAME_NOREPLACE: the name was checked free just before.
    return ::renameat(folder, from, AT_FDCWD, to) == 0 ? 0 : errno;
}

// The name under which the open descriptor fd is reached again ("/proc/self/fd/N").
QByteArray descriptorPath(int fd) {
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// "/a/b" → "/a"; "/a" → "/".
QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// Creates the folder and any missing one above it, each new one with mode 0700 (the Trash
// standard asks that of the Trash folders, the base-directory standard of a data home).
int makeFolders(const QByteArray& path) {
    struct stat st;
    if (::stat(path.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (path != "/") {
        if (const int e = makeFolders(parentOf(path)))
            return e;
    }
    if (::mkdir(path.constData(), 0700) == 0)
        return 0;
    return errno == EEXIST ? 0 : errno;
}

// A Trash folder of a volume that belongs to us: a real folder (never a symlink) we own, with
// files/ and info/ inside, made when missing. 0 or the reason it cannot be used.
int ensureOwnTrash(const QByteArray& dir) {
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    for (const QByteArray& path : {dir, dir + "/files", dir + "/info"}) {
        if (path != dir && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            return errno;
        struct stat st;
        if (::lstat(path.constData(), &st) != 0)
            return errno;
        if (!S_ISDIR(st.st_mode))
            return ENOTDIR;
        if (st.st_uid != ::getuid())
            return EACCES;
    }
    return 0;
}

QByteArray canonical(const QByteArray& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.constData(), buffer) ? QByteArray(buffer) : QByteArray();
}

} // namespace

FreedesktopTrash::FreedesktopTrash(QString trashDir)
    : FreedesktopTrash(std::move(trashDir), Deps()) {}

FreedesktopTrash::FreedesktopTrash(QString trashDir, Deps deps)
    : m_dir(QDir::cleanPath(trashDir)), m_deps(std::move(deps)) {
    if (!m_deps.deviceOf)
        m_deps.deviceOf = [](const QByteArray&, quint64 statDevice) { return statDevice; };
    if (!m_deps.mayEmpty)
        m_deps.mayEmpty = [](const struct stat&) { return true; };
}

QByteArray FreedesktopTrash::encodePath(const QString& absolutePath) {
    return NativePath::encode(absolutePath).toPercentEncoding("/");
}

QByteArray FreedesktopTrash::candidateName(const QByteArray& fileName, int attempt) {
    const QByteArray number = attempt > 1 ? '.' + QByteArray::number(attempt) : QByteArray();
    // The extension: the last dot part when short, with a short part before it ("tar" of
    // "tar.gz"); a leading dot starts a hidden name, not an extension.
    qsizetype dot = fileName.lastIndexOf('.');
    if (dot <= 0 || dot == fileName.size() - 1 || fileName.size() - dot - 1 > 16)
        dot = -1;
    if (dot > 0) {
        const qsizetype before = fileName.lastIndexOf('.', dot - 1);
        if (before > 0 && dot - before - 1 >= 1 && dot - before - 1 <= 4)
            dot = before;
    }
    QByteArray stem = dot > 0 ? fileName.left(dot) : fileName;
    QByteArray extension = dot > 0 ? fileName.mid(dot) : QByteArray();
    qsizetype room = maxItemNameBytes - number.size() - extension.size();
    if (stem.size() <= room)
        return stem + number + extension;
    if (room < 16) {
        // Keeping the extension would leave almost nothing of the name itself.
        stem = fileName;
        extension.clear();
        room = maxItemNameBytes - number.size();
    }
    // Never inside a UTF-8 character: a cut before continuation bytes moves back to their lead
    // byte, at most three bytes away. Bytes that are no UTF-8 (continuation bytes with no lead
    // byte) are cut where the room ends, so the stem never shrinks to nothing and the name
    // never turns into a hidden one made of its number or extension (".2", ".pdf").
    const auto continuation = [&](qsizetype i) { return (uchar(stem.at(i)) & 0xC0) == 0x80; };
    qsizetype lead = room;
    while (lead > 0 && room - lead < 3 && continuation(lead))
        --lead;
    const qsizetype cut = lead > 0 && uchar(stem.at(lead)) >= 0xC0 ? lead : room;
    return stem.left(cut) + number + extension;
}

quint64 FreedesktopTrash::deviceOf(const QByteArray& path, quint64 statDevice) const {
    return m_deps.deviceOf(path, statDevice);
}

bool FreedesktopTrash::holdsMountPoint(int dir, const QByteArray& name, const QByteArray& shownAs,
                                       quint64 device) const {
    // The walk goes through the open folder, whatever its path leads to by now; only where /proc
    // is not mounted does it take the path.
    QByteArray root = descriptorPath(dir) + '/' + name;
    struct stat probe;
    if (::lstat(root.constData(), &probe) != 0)
        root = shownAs;
    // Finding one is enough: it also stops the walk.
    const CancelToken found;
    DirectoryWalker::Options options;
    options.threads = ParallelLoop::diskThreads();
    options.followRootSymlink = false;
    const DirectoryWalker walker(options, found);
    walker.walk(NativePath::decode(root), [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0 || e.type == DirectoryWalker::Type::Symlink)
            return DirectoryWalker::Action::Continue;
        std::string path;
        path.reserve(e.folder.size() + 1 + e.name.size());
        path.append(e.folder).append(1, '/').append(e.name);
        const QByteArray entry = QByteArray::fromStdString(path);
        // A file can be bound over as well as a folder; removing its folder would still fail
        // half way, so any entry counts.
        if (deviceOf(shownAs + entry.mid(root.size()), e.device) != device ||
            MountRoot::isPath(entry)) {
            found.cancel();
            return DirectoryWalker::Action::SkipChildren;
        }
        return DirectoryWalker::Action::Continue;
    });
    return found.isCancelled();
}

bool FreedesktopTrash::moveToTrash(const QString& path, QString* error) {
    if (m_deps.beforeMove)
        m_deps.beforeMove(path);
    QString absolute = path;
    if (!QDir::isAbsolutePath(absolute))
        absolute = QDir::currentPath() + QLatin1Char('/') + absolute;
    absolute = QDir::cleanPath(absolute);
    const QByteArray source = NativePath::encode(absolute);
    const QByteArray name = source.mid(source.lastIndexOf('/') + 1);
    if (name.isEmpty()) {
        setError(error, systemError(EBUSY));
        return false;
    }
    // The item is examined and moved through one open folder, so what is checked is what moves.
    const Fd folder(::open(parentOf(source).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat st;
    if (!folder || ::fstatat(folder.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        setError(error, systemError(errno));
        return false;
    }
    return moveOpened(folder.get(), name, st, source, error);
}

bool FreedesktopTrash::moveFoundToTrash(const FoundRoot& root, const QString& path, const Vet& vet,
                                        QString* error) {
    if (m_deps.beforeMove)
        m_deps.beforeMove(path);
    const FoundRoot::Reached reached = root.reach(path);
    if (reached.error != 0) {
        setError(error, reached.error == FoundRoot::NotBelow ? notBelowText()
                        : reached.error == ELOOP || reached.error == ENOTDIR
                            ? movedAwayText()
                            : systemError(reached.error));
        return false;
    }
    struct stat st;
    if (::fstatat(reached.folder.get(), reached.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        setError(error, systemError(errno));
        return false;
    }
    if (vet) {
        if (const QString reason = vet(st); !reason.isEmpty()) {
            setError(error, reason);
            return false;
        }
    }
    return moveOpened(reached.folder.get(), reached.name, st,
                      NativePath::encode(QDir::cleanPath(path)), error);
}

bool FreedesktopTrash::moveOpened(int folder, const QByteArray& name, const struct stat& st,
                                  const QByteArray& source, QString* error) {
    const QString absolute = NativePath::decode(source);
    if (absolute == m_dir || absolute.startsWith(m_dir + QLatin1Char('/'))) {
        setError(error, QStringLiteral("It is already in the Trash"));
        return false;
    }
    if (!S_ISLNK(st.st_mode)) {
        struct stat folderStat;
        const quint64 device = deviceOf(source, st.st_dev);
        if ((::fstat(folder, &folderStat) == 0 &&
             deviceOf(parentOf(source), folderStat.st_dev) != device) ||
            MountRoot::isEntry(folder, name.constData())) {
            setError(error, isMountText());
            return false;
        }
        if (S_ISDIR(st.st_mode) && holdsMountPoint(folder, name, source, device)) {
            setError(error, holdsMountText());
            return false;
        }
    }

    const QByteArray home = NativePath::encode(m_dir);
    for (const QByteArray& dir : {home, home + "/files", home + "/info"}) {
        if (makeFolders(dir) != 0) {
            setError(error, QStringLiteral("The Trash folder %1 could not be created").arg(m_dir));
            return false;
        }
    }
    struct stat trashStat;
    if (::stat(home.constData(), &trashStat) != 0) {
        setError(error, systemError(errno));
        return false;
    }
    if (trashStat.st_dev == st.st_dev)
        return place(home, folder, name, source, error);
    // Another volume keeps its own Trash.
    QByteArray relative;
    const QByteArray volumeTrash = volumeTrashFor(folder, name, &relative, error);
    return !volumeTrash.isEmpty() && place(volumeTrash, folder, name, relative, error);
}

QByteArray FreedesktopTrash::volumeTrashFor(int folder, const QByteArray& name,
                                            QByteArray* relativePath, QString* error) const {
    // Where the open folder is now, whatever path led to it.
    const QByteArray parent = canonical(descriptorPath(folder));
    struct stat st;
    if (parent.isEmpty() || ::stat(parent.constData(), &st) != 0) {
        setError(error, systemError(errno));
        return {};
    }
    // The volume's top folder: the highest folder above the item on the same file system.
    QByteArray top = parent;
    while (top != "/") {
        const QByteArray up = parentOf(top);
        struct stat upStat;
        if (::stat(up.constData(), &upStat) != 0 || upStat.st_dev != st.st_dev)
            break;
        top = up;
    }
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray item = (parent == "/" ? QByteArray() : parent) + '/' + name;
    *relativePath = item.mid(base.size() + 1);
    const QByteArray uid = QByteArray::number(qulonglong(::getuid()));

    // A shared $topdir/.Trash counts only as a real, sticky folder.
    struct stat shared;
    if (::lstat((base + "/.Trash").constData(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) && ensureOwnTrash(base + "/.Trash/" + uid) == 0)
        return base + "/.Trash/" + uid;
    const QByteArray own = base + "/.Trash-" + uid;
    if (const int e = ensureOwnTrash(own)) {
        setError(
            error,
            QStringLiteral("The Trash of that volume could not be used: %1").arg(systemError(e)));
        return {};
    }
    return own;
}

bool FreedesktopTrash::place(const QByteArray& trashDir, int folder, const QByteArray& name,
                             const QByteArray& recordedPath, QString* error) const {
    const QByteArray info =
        "[Trash Info]\nPath=" + recordedPath.toPercentEncoding("/") + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() +
        "\n";
    for (int attempt = 1; attempt <= 10000; ++attempt) {
        const QByteArray candidate = candidateName(name, attempt);
        const QByteArray infoPath = trashDir + "/info/" + candidate + ".trashinfo";
        const QByteArray target = trashDir + "/files/" + candidate;
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
        const int e = renameNoReplace(folder, name.constData(), target.constData());
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

// One erase under way: the file system it stays on, the path of the entry at hand (the Trash's
// files/ folder, the item, then below it), and what stayed.
struct FreedesktopTrash::Removal {
    quint64 device = 0;
    std::string path;
    size_t belowItem = 0; // where the part of path below the item begins
    int firstError = 0;
    bool crossed = false;   // a folder of another file system was met
    bool itemStays = false; // the item itself stayed for a reason of its own
    QStringList left;       // the first entries below the item that stayed, relative to it
    int leftCount = 0;

    // The entry at path stayed for a reason of its own (not because something in it stayed).
    void stays(int error) {
        if (!firstError)
            firstError = error;
        if (path.size() <= belowItem) {
            itemStays = true;
            return;
        }
        if (++leftCount <= 2)
            left.append(NativePath::decode(QByteArray::fromStdString(path.substr(belowItem))));
    }
};

// The folder open as `at` (O_PATH), the entry `name` of parentFd with status st, opened to be
// listed and emptied. The user's own folder first gets back what its owner may always give it
// (read and search to list it, write to remove what it holds), through that descriptor, never by
// a path a link could redirect; a folder of anyone else keeps its mode. -1 with errno when it
// cannot be opened.
int FreedesktopTrash::openToEmpty(int at, int parentFd, const char* name, struct stat& st) const {
    const QByteArray self = descriptorPath(at);
    if (st.st_uid == ::geteuid() && (st.st_mode & S_IRWXU) != S_IRWXU &&
        ::chmod(self.constData(), (st.st_mode | S_IRWXU) & 07777) == 0)
        ::fstat(at, &st);
    if (!m_deps.mayEmpty(st)) {
        errno = EACCES;
        return -1;
    }
    const int fd = ::open(self.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    // Without /proc: by name again, accepted only while it is still the same folder.
    const int byName = FolderAt::openBelow(parentFd, QByteArray(name));
    struct stat again;
    if (byName >= 0 &&
        (::fstat(byName, &again) != 0 || again.st_dev != st.st_dev || again.st_ino != st.st_ino)) {
        ::close(byName);
        errno = ENOENT;
        return -1;
    }
    return byName;
}

// Removes name below the folder parentFd for good; folders are emptied first. Symlinks are
// unlinked, never followed, and a folder that is a mount point or of a file system other than
// the removal's is never entered (CrossesFileSystem). A file bound over another cannot be
// unlinked (EBUSY), so only folders need the check. Returns 0 or the first error met; the
// removal goes on past errors so as much as possible is gone, and notes each entry that stayed.
int FreedesktopTrash::removeTree(Removal& removal, int parentFd, const char* name) const {
    const size_t mark = removal.path.size();
    removal.path.append(1, '/').append(name);
    const auto leave = [&](int e) {
        removal.path.resize(mark);
        return e;
    };
    const auto stays = [&](int e) {
        removal.stays(e);
        return leave(e);
    };
    if (::unlinkat(parentFd, name, 0) == 0)
        return leave(0);
    const int unlinkError = errno;
    if (unlinkError == ENOENT)
        return leave(0);
    if (unlinkError != EISDIR && unlinkError != EPERM)
        return stays(unlinkError);
    const Fd at(::openat(parentFd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (!at || ::fstat(at.get(), &st) != 0)
        return errno == ENOENT ? leave(0) : stays(errno);
    if (!S_ISDIR(st.st_mode))
        return stays(unlinkError);
    if (deviceOf(QByteArray::fromStdString(removal.path), quint64(st.st_dev)) != removal.device ||
        MountRoot::isOpened(at.get(), parentFd)) {
        removal.crossed = true;
        return leave(CrossesFileSystem);
    }
    const int fd = openToEmpty(at.get(), parentFd, name, st);
    if (fd < 0)
        return stays(errno);
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int e = errno;
        ::close(fd);
        return stays(e);
    }
    int firstError = 0;
    while (dirent* d = ::readdir(dir)) {
        const char* child = d->d_name;
        if (child[0] == '.' && (child[1] == 0 || (child[1] == '.' && child[2] == 0)))
            continue;
        const int e = removeTree(removal, ::dirfd(dir), child);
        if (e && !firstError)
            firstError = e;
    }
    ::closedir(dir);
    if (::unlinkat(parentFd, name, AT_REMOVEDIR) != 0 && !firstError)
        return stays(errno);
    return leave(firstError);
}

bool FreedesktopTrash::erase(const QString& itemPath, QString* error) {
    const QString cleaned = QDir::cleanPath(itemPath);
    const qsizetype slash = cleaned.lastIndexOf(QLatin1Char('/'));
    const QString name = slash >= 0 ? cleaned.mid(slash + 1) : QString();
    if (name.isEmpty() || cleaned.left(slash) != QDir::cleanPath(itemsFolder())) {
        setError(error, QStringLiteral("It is not an item of the Trash"));
        return false;
    }
    const QByteArray files = NativePath::encode(itemsFolder());
    const Fd filesFd(::open(files.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!filesFd) {
        setError(error, systemError(errno));
        return false;
    }
    const QByteArray encodedName = NativePath::encode(name);
    const QByteArray item = files + '/' + encodedName;
    struct stat filesStat;
    struct stat st;
    if (::fstat(filesFd.get(), &filesStat) != 0 ||
        ::fstatat(filesFd.get(), encodedName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        setError(error, systemError(errno));
        return false;
    }
    // Nothing of an item that reaches into another file system is deleted: checked whole first,
    // and again folder by folder while removing.
    const quint64 device = deviceOf(files, filesStat.st_dev);
    QString refusal;
    if (!S_ISLNK(st.st_mode) && (deviceOf(item, st.st_dev) != device ||
                                 MountRoot::isEntry(filesFd.get(), encodedName.constData())))
        refusal = isMountText();
    else if (S_ISDIR(st.st_mode) && holdsMountPoint(filesFd.get(), encodedName, item, device))
        refusal = holdsMountText();
    if (!refusal.isEmpty()) {
        setError(error, refusal);
        return false;
    }
    Removal removal;
    removal.device = device;
    removal.path = files.toStdString();
    removal.belowItem = size_t(item.size()) + 1;
    if (removeTree(removal, filesFd.get(), encodedName.constData()) != 0) {
        const QString reason = systemError(removal.firstError ? removal.firstError : EIO);
        setError(error, removal.crossed ? holdsMountText()
                        : removal.left.isEmpty()
                            ? reason
                            : leftText(removal.left, removal.leftCount, reason));
        return false;
    }
    ::unlink((NativePath::encode(infoFolder()) + '/' + encodedName + ".trashinfo").constData());
    dropDirectorySize(encodedName);
    return true;
}

void FreedesktopTrash::dropDirectorySize(const QByteArray& encodedName) {
    QMutexLocker guard(&m_sizesLock);
    const QString path = m_dir + QStringLiteral("/directorysizes");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
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
    // The file only spares a walk of the folders it names: when the rewrite fails, the line
    // stays behind for a name that is no longer in the Trash, and nothing else changes.
    if (dropped)
        (void)AtomicFile::write(path, kept);
}
