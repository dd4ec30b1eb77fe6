#include "storage/OrganizerFiles.h"
#include "platform/NativePath.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <sys/stat.h>
#include <unistd.h>

namespace OrganizerFiles {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray native(const QString& path) {
    return NativePath::encode(path);
}

bool lstatPath(const QString& path, struct stat* st) {
    return ::lstat(native(path).constData(), st) == 0;
}

QString parentOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString lastComponent(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
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

// Makes a new or removed name in the folder reach the disk. 0 or the system's error; a file
// system that cannot sync a folder is no failure.
int syncFolder(const QString& folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS ? 0 : errno;
    ::close(fd);
    return error;
}

// Gives `from` the name `to` without ever replacing what is there. Where the file system cannot
// rename without replacing, a hard link does it; where it has no hard links either, `to` is
// first reserved with an empty file of our own, and only that reservation is replaced. 0 or the
// system's error (EXDEV across file systems).
int placeNoReplace(const QString& from, const QString& to) {
    const QByteArray f = native(from), t = native(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    int error = errno;
    if (error != EINVAL && error != ENOSYS)
        return error;
    if (::link(f.constData(), t.constData()) == 0) {
        ::unlink(f.constData());
        return 0;
    }
    error = errno;
    if (error != EPERM && error != EOPNOTSUPP && error != ENOSYS && error != EMLINK)
        return error;
    const int reserved =
        ::open(t.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (reserved < 0)
        return errno;
    ::close(reserved);
    if (::rename(f.constData(), t.constData()) != 0) {
        error = errno;
        ::unlink(t.constData());
        return error;
    }
    return 0;
}

bool isClean(const QString& path) {
    return path.startsWith(QLatin1Char('/')) && QDir::cleanPath(path) == path;
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
bool sameContents(const QString& a, const QString& b, QString* reason) {
    const int fa = ::open(native(a).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const int fb = ::open(native(b).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    bool same = fa >= 0 && fb >= 0;
    if (!same)
        *reason = systemReason(errno);
    static constexpr size_t kChunk = 1 << 16;
    std::unique_ptr<char[]> ba(new char[kChunk]), bb(new char[kChunk]);
    while (same) {
        const ssize_t na = readFull(fa, ba.get(), kChunk);
        const ssize_t nb = readFull(fb, bb.get(), kChunk);
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
    if (fa >= 0)
        ::close(fa);
    if (fb >= 0)
        ::close(fb);
    return same;
}

} // namespace

QString kindFolder(const QString& fileName) {
    static const QHash<QString, QString> kinds = [] {
        QHash<QString, QString> table;
        const auto add = [&table](const char* kind, std::initializer_list<const char*> exts) {
            for (const char* e : exts)
                table.insert(QString::fromLatin1(e), QString::fromLatin1(kind));
        };
        add("Images", {"png", "jpg", "jpeg", "gif", "heic", "webp", "tiff", "bmp"});
        add("Video", {"mp4", "mov", "m4v", "avi", "mkv"});
        add("Audio", {"mp3", "m4a", "wav", "aac", "flac"});
        add("Documents", {"pdf", "doc", "docx", "txt", "rtf", "pages", "md", "csv", "xls", "xlsx",
                          "ppt", "pptx"});
        add("Installers and archives", {"dmg", "pkg", "zip", "gz", "tar", "rar", "7z"});
        return table;
    }();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
    return kinds.value(ext, QStringLiteral("Other"));
}

QString moveReason(const QString& kind) {
    return QStringLiteral("Move into ") + kind + QStringLiteral("/ by file type.");
}

QString folderSkipReason() {
    return QStringLiteral("Folders are left in place.");
}

QString recentSkipReason(int leaveRecentDays) {
    return QStringLiteral("Changed in the last ") + QString::number(leaveRecentDays) +
           QStringLiteral(" days.");
}

bool isInside(const QString& root, const QString& path) {
    const QString r = QDir::cleanPath(root);
    const QString p = QDir::cleanPath(path);
    if (r.isEmpty() || p.isEmpty())
        return false;
    if (p == r)
        return true;
    return p.startsWith(r.endsWith(QLatin1Char('/')) ? r : r + QLatin1Char('/'));
}

bool isSafelyInside(const QString& root, const QString& path) {
    if (!isClean(path) || !isClean(root) || !isInside(root, path))
        return false;
    // Every existing folder between root and path must be a real folder.
    const QString base = root == QLatin1String("/") ? QString() : root;
    const QStringList below = path.mid(base.size() + 1).split(QLatin1Char('/'));
    QString walk = base;
    for (qsizetype i = 0; i + 1 < below.size(); ++i) {
        walk += QLatin1Char('/') + below.at(i);
        struct stat st;
        if (!lstatPath(walk, &st))
            return true; // what follows does not exist either
        if (!S_ISDIR(st.st_mode))
            return false;
    }
    return true;
}

bool exists(const QString& path) {
    struct stat st;
    return lstatPath(path, &st);
}

QString folderProblem(const QString& home, const QString& folder) {
    if (!isSafelyInside(home, folder))
        return QStringLiteral("Outside your home folder.");
    return QString();
}

bool Bounds::holds(const QString& path) const {
    if (!isClean(path) || !isInside(home, path))
        return false;
    if (isSafelyInside(home, path))
        return true;
    for (const QString& folder : folders)
        if (folder != path && isInside(folder, path) && folderProblem(home, folder).isEmpty() &&
            isSafelyInside(folder, path))
            return true;
    return false;
}

QString partialPath(const QString& path) {
    return parentOf(path) + QStringLiteral("/.") + lastComponent(path) +
           QStringLiteral(".pendrel-part");
}

QString uniqueDestination(const QString& candidate, const QString& fileName, QSet<QString>& taken) {
    const QString folder = parentOf(candidate);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    // A leading dot is part of the name, not an extension.
    const bool hasExtension = dot > 0 && dot + 1 < fileName.size();
    const QString base = hasExtension ? fileName.left(dot) : fileName;
    const QString extension = hasExtension ? fileName.mid(dot) : QString();
    QString path = candidate;
    for (qint64 n = 2; taken.contains(path) || exists(path); ++n)
        path = folder + QLatin1Char('/') + base + QLatin1Char(' ') + QString::number(n) + extension;
    taken.insert(path);
    return path;
}

OrganizerPlan buildPlan(const Bounds& bounds, const QStringList& roots, const QDateTime& now,
                        int leaveRecentDays) {
    OrganizerPlan plan;
    const qint64 cutoffSecs = now.toSecsSinceEpoch() - qint64(leaveRecentDays) * 86400;
    QSet<QString> taken;
    for (const QString& root : roots) {
        QDir dir(root);
        if (!dir.exists())
            continue;
        // The moves' own rule, applied to the whole folder: what could never be moved is not
        // offered.
        if (const QString problem = folderProblem(bounds.home, root); !problem.isEmpty()) {
            plan.skipped.append({lastComponent(root), problem});
            continue;
        }
        const QStringList names =
            dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : names) {
            const QString path = root + QLatin1Char('/') + name;
            struct stat st;
            if (!lstatPath(path, &st) || !S_ISREG(st.st_mode)) {
                plan.skipped.append({name, folderSkipReason()});
                continue;
            }
            if (qint64(st.st_mtim.tv_sec) > cutoffSecs ||
                (qint64(st.st_mtim.tv_sec) == cutoffSecs && st.st_mtim.tv_nsec > 0)) {
                plan.skipped.append({name, recentSkipReason(leaveRecentDays)});
                continue;
            }
            const QString kind = kindFolder(name);
            const QString destination = uniqueDestination(
                root + QLatin1Char('/') + kind + QLatin1Char('/') + name, name, taken);
            if (destination == path)
                continue;
            if (!bounds.holds(path) || !bounds.holds(destination)) {
                plan.skipped.append({name, QStringLiteral("Outside your home folder.")});
                continue;
            }
            plan.moves.append(OrganizerMove{path, path, destination, name,
                                            qint64(st.st_blocks) * 512, moveReason(kind), true});
        }
    }
    std::stable_sort(
        plan.moves.begin(), plan.moves.end(),
        [](const OrganizerMove& a, const OrganizerMove& b) { return a.sizeBytes > b.sizeBytes; });
    return plan;
}

QString copyThenRemove(const QString& from, const QString& to) {
    const int in = ::open(native(from).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0)
        return systemReason(errno);
    struct stat st;
    const int statError = ::fstat(in, &st) != 0 ? errno : (S_ISREG(st.st_mode) ? 0 : EXDEV);
    if (statError != 0) {
        ::close(in);
        return systemReason(statError);
    }
    // O_EXCL: the temporary name is ours alone, so removing it on failure loses nothing. A
    // leftover of an earlier run cut short is not reused: settle() decides about it.
    const QString partial = partialPath(to);
    const int out = ::open(native(partial).constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return systemReason(error);
    }
    QString reason;
    static constexpr size_t kChunk = 1 << 16;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    for (;;) {
        const ssize_t n = readFull(in, buffer.get(), kChunk);
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
    ::close(in);
    if (reason.isEmpty())
        sameContents(from, partial, &reason);
    if (reason.isEmpty()) {
        if (const int error = placeNoReplace(partial, to))
            reason = systemReason(error);
    }
    if (!reason.isEmpty()) {
        ::unlink(native(partial).constData());
        return reason;
    }
    // The copy's name is on disk before the source goes, so a power cut cannot lose both. When
    // the source cannot go, the copy is taken back while the source is still there: a failed
    // move leaves things as they were.
    int error = syncFolder(parentOf(to));
    if (error == 0 && ::unlink(native(from).constData()) != 0)
        error = errno;
    if (error != 0 && exists(from))
        ::unlink(native(to).constData());
    return error == 0 ? QString() : systemReason(error);
}

QString moveNoReplace(const QString& from, const QString& to) {
    const int error = placeNoReplace(from, to);
    if (error == 0)
        return QString();
    // Another file system: copy instead, which still never replaces.
    if (error == EXDEV)
        return copyThenRemove(from, to);
    return systemReason(error);
}

Outcome checkMove(const OrganizerMove& move, const Bounds& bounds) {
    if (!bounds.holds(move.sourcePath) || !bounds.holds(move.destinationPath))
        return {std::nullopt, QStringLiteral("Outside your home folder.")};
    if (!exists(move.sourcePath))
        return {std::nullopt, QStringLiteral("Already gone.")};
    QStringList created;
    const QString parent = parentOf(move.destinationPath);
    if (!exists(parent))
        created.append(parent);
    return {OrganizerCompletedMove{move.sourcePath, move.destinationPath, created}, QString()};
}

QString carryOut(const OrganizerCompletedMove& move) {
    for (const QString& folder : move.createdDirectories)
        if (const int error = makeFolders(folder))
            return systemReason(error);
    return moveNoReplace(move.sourcePath, move.destinationPath);
}

Outcome moveOne(const OrganizerMove& move, const Bounds& bounds) {
    Outcome outcome = checkMove(move, bounds);
    if (!outcome.moved)
        return outcome;
    if (const QString failure = carryOut(*outcome.moved); !failure.isEmpty())
        return {std::nullopt, failure};
    return outcome;
}

std::optional<QString> undoMove(const OrganizerCompletedMove& move, const QString& journalHome,
                                const Bounds& bounds) {
    const auto inside = [&](const QString& path) {
        return isInside(journalHome, path) && bounds.holds(path);
    };
    if (!isClean(journalHome) || !isInside(bounds.home, journalHome) || !inside(move.sourcePath) ||
        !inside(move.destinationPath))
        return move.destinationPath + QStringLiteral(": outside home");
    if (!exists(move.destinationPath))
        return move.destinationPath + QStringLiteral(": already moved");
    const QString backParent = parentOf(move.sourcePath);
    if (!exists(backParent))
        makeFolders(backParent);
    const QString failure = moveNoReplace(move.destinationPath, move.sourcePath);
    if (!failure.isEmpty())
        return lastComponent(move.destinationPath) + QStringLiteral(": ") + failure;
    // Only the destination's own folder was ever created for a move; rmdir leaves it in place
    // when anything has been put into it since.
    const QString destinationParent = parentOf(move.destinationPath);
    for (auto it = move.createdDirectories.crbegin(); it != move.createdDirectories.crend(); ++it)
        if (*it == destinationParent && inside(*it))
            ::rmdir(native(*it).constData());
    return std::nullopt;
}

bool settle(const QString& from, const QString& to, const Bounds& bounds) {
    const QString partial = partialPath(to);
    if (!bounds.holds(from) || !bounds.holds(to) || !bounds.holds(partial))
        return false;
    struct stat source, target;
    const bool hasSource = lstatPath(from, &source);
    // A copy that never reached its name: while the source is there it is at most a duplicate.
    // Without the source it may be the only copy left, so it stays.
    struct stat leftover;
    if (hasSource && lstatPath(partial, &leftover) && S_ISREG(leftover.st_mode))
        ::unlink(native(partial).constData());
    if (!lstatPath(to, &target))
        return false;
    if (!hasSource)
        return true;
    // Both names hold a file: the source was never removed. The other one goes only when it is
    // an exact copy, or the empty reservation of a move that had not happened yet.
    if (S_ISREG(source.st_mode) && S_ISREG(target.st_mode)) {
        QString differs;
        if (target.st_size == 0 || sameContents(from, to, &differs))
            ::unlink(native(to).constData());
    }
    return false;
}

} // namespace OrganizerFiles
