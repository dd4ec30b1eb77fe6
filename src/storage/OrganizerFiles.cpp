#include "storage/OrganizerFiles.h"
#include "platform/NativePath.h"
#include "storage/OrganizerMoveAt.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <sys/stat.h>
#include <unistd.h>

namespace OrganizerFiles {

using namespace OrganizerMoveAt;

namespace {

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

bool isClean(const QString& path) {
    return path.startsWith(QLatin1Char('/')) && QDir::cleanPath(path) == path;
}

// A name split as the renamed form builds on it: "<base>" and ".<ext>"; a leading dot is part of
// the name, not an extension.
std::pair<QString, QString> splitName(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && dot + 1 < fileName.size();
    return hasExtension ? std::pair(fileName.left(dot), fileName.mid(dot))
                        : std::pair(fileName, QString());
}

// `placed` is fileName, or its renamed form "<base> N.<ext>" with N ≥ 2 written plainly.
bool isPlacedName(const QString& fileName, const QString& placed) {
    if (placed == fileName)
        return true;
    const auto [base, extension] = splitName(fileName);
    const qsizetype fixed = base.size() + 1 + extension.size();
    if (placed.size() <= fixed || !placed.startsWith(base + QLatin1Char(' ')) ||
        !placed.endsWith(extension))
        return false;
    const QString number = placed.mid(base.size() + 1, placed.size() - fixed);
    if (number.startsWith(QLatin1Char('0')))
        return false;
    for (const QChar c : number)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    bool ok = false;
    return number.toLongLong(&ok) >= 2 && ok;
}

// A run's move taken apart: the tidied folder, the source's name, its kind folder and the name
// it has there. Empty when the paths do not have that shape.
struct Shape {
    QString folder;
    QString name;
    QString kind;
    QString placed;
};

std::optional<Shape> shapeOf(const QString& from, const QString& to) {
    if (!isClean(from) || !isClean(to))
        return std::nullopt;
    Shape shape;
    shape.folder = parentOf(from);
    shape.name = lastComponent(from);
    if (shape.name.isEmpty() || shape.name.startsWith(QLatin1Char('.')) ||
        shape.folder == QLatin1String("/"))
        return std::nullopt;
    shape.kind = kindFolder(shape.name);
    const QString prefix = shape.folder + QLatin1Char('/') + shape.kind + QLatin1Char('/');
    if (!to.startsWith(prefix))
        return std::nullopt;
    shape.placed = to.mid(prefix.size());
    if (shape.placed.contains(QLatin1Char('/')) || !isPlacedName(shape.name, shape.placed))
        return std::nullopt;
    return shape;
}

qint64 cutoffSecs(const Rules& rules) {
    return rules.now.toSecsSinceEpoch() - qint64(rules.leaveRecentDays) * 86400;
}

// Changed after the cutoff, to the nanosecond.
bool isRecent(const struct stat& st, qint64 cutoff) {
    return qint64(st.st_mtim.tv_sec) > cutoff ||
           (qint64(st.st_mtim.tv_sec) == cutoff && st.st_mtim.tv_nsec > 0);
}

// Why the file at from may not go now under the rules; empty when it may.
QString ruleProblem(const struct stat& st, const Rules& rules) {
    if (!S_ISREG(st.st_mode))
        return outsideRulesReason();
    if (isRecent(st, cutoffSecs(rules)))
        return recentSkipReason(rules.leaveRecentDays);
    return QString();
}

// The names of a folder's top level, by their bytes; hidden ones left out. False when the
// folder cannot be listed.
bool listNames(const QString& folder, QStringList* names) {
    DIR* dir = ::opendir(native(folder).constData());
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        names->append(NativePath::decode(QByteArray(entry->d_name)));
    }
    ::closedir(dir);
    std::sort(names->begin(), names->end());
    return true;
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

QString kindFolderTakenReason(const QString& kind) {
    return QStringLiteral("A file named “") + kind +
           QStringLiteral("” is where its folder would go.");
}

QString moveProblem(const Bounds& bounds, const QString& from, const QString& to) {
    // Checked first: the bounds refuse such a destination too, but not for being outside home.
    struct stat st;
    const QString parent = parentOf(to);
    if (isInside(bounds.home, parent) && lstatPath(parent, &st) && !S_ISDIR(st.st_mode) &&
        !S_ISLNK(st.st_mode))
        return kindFolderTakenReason(lastComponent(parent));
    if (!bounds.holds(from) || !bounds.holds(to))
        return QStringLiteral("Outside your home folder.");
    return QString();
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
    const auto [base, extension] = splitName(fileName);
    QString path = candidate;
    for (qint64 n = 2; taken.contains(path) || exists(path); ++n)
        path = folder + QLatin1Char('/') + base + QLatin1Char(' ') + QString::number(n) + extension;
    taken.insert(path);
    return path;
}

bool isRunMove(const QString& from, const QString& to, const QStringList& folders) {
    const std::optional<Shape> shape = shapeOf(from, to);
    return shape && folders.contains(shape->folder);
}

QString outsideRulesReason() {
    return QStringLiteral("Not within the current rules.");
}

QString notARunMove(const QString& path) {
    return path + QStringLiteral(": not a move the organizer makes");
}

OrganizerPlan buildPlan(const Bounds& bounds, const Rules& rules) {
    OrganizerPlan plan;
    const qint64 cutoff = cutoffSecs(rules);
    QSet<QString> taken;
    for (const QString& root : rules.folders) {
        struct stat folder;
        if (::stat(native(root).constData(), &folder) != 0 || !S_ISDIR(folder.st_mode))
            continue;
        // The moves' own rule, applied to the whole folder: what could never be moved is not
        // offered.
        if (const QString problem = folderProblem(bounds.home, root); !problem.isEmpty()) {
            plan.skipped.append({lastComponent(root), problem});
            continue;
        }
        QStringList names;
        if (!listNames(root, &names))
            continue;
        for (const QString& name : std::as_const(names)) {
            const QString path = root + QLatin1Char('/') + name;
            struct stat st;
            if (!lstatPath(path, &st) || !S_ISREG(st.st_mode)) {
                plan.skipped.append({name, folderSkipReason()});
                continue;
            }
            if (isRecent(st, cutoff)) {
                plan.skipped.append({name, recentSkipReason(rules.leaveRecentDays)});
                continue;
            }
            const QString kind = kindFolder(name);
            const QString destination = uniqueDestination(
                root + QLatin1Char('/') + kind + QLatin1Char('/') + name, name, taken);
            if (destination == path)
                continue;
            if (const QString problem = moveProblem(bounds, path, destination);
                !problem.isEmpty()) {
                plan.skipped.append({name, problem});
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
    const Fd fromDir(openFolder(parentOf(from))), toDir(openFolder(parentOf(to)));
    if (!fromDir || !toDir)
        return systemReason(errno);
    return copyThenRemoveAt(fromDir.get(), native(lastComponent(from)), toDir.get(),
                            native(lastComponent(to)));
}

QString moveNoReplace(const QString& from, const QString& to) {
    const Fd fromDir(openFolder(parentOf(from))), toDir(openFolder(parentOf(to)));
    if (!fromDir || !toDir)
        return systemReason(errno);
    return moveNoReplaceAt(fromDir.get(), native(lastComponent(from)), toDir.get(),
                           native(lastComponent(to)));
}

Outcome checkMove(const OrganizerMove& move, const Bounds& bounds, const Rules& rules) {
    if (const QString problem = moveProblem(bounds, move.sourcePath, move.destinationPath);
        !problem.isEmpty())
        return {std::nullopt, problem};
    if (!isRunMove(move.sourcePath, move.destinationPath, rules.folders))
        return {std::nullopt, outsideRulesReason()};
    struct stat st;
    if (!lstatPath(move.sourcePath, &st))
        return {std::nullopt, QStringLiteral("Already gone.")};
    if (const QString problem = ruleProblem(st, rules); !problem.isEmpty())
        return {std::nullopt, problem};
    QStringList created;
    const QString parent = parentOf(move.destinationPath);
    if (!exists(parent))
        created.append(parent);
    return {OrganizerCompletedMove{move.sourcePath, move.destinationPath, created}, QString()};
}

QString carryOut(const OrganizerCompletedMove& move, const Rules& rules) {
    const std::optional<Shape> shape = shapeOf(move.sourcePath, move.destinationPath);
    if (!shape || !rules.folders.contains(shape->folder))
        return outsideRulesReason();
    const Fd folder(openFolder(shape->folder));
    if (!folder)
        return systemReason(errno);
    const QByteArray name = native(shape->name), kind = native(shape->kind);
    // The file as it is now, not as it was planned or checked.
    struct stat st;
    if (::fstatat(folder.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? QStringLiteral("Already gone.") : systemReason(errno);
    if (const QString problem = ruleProblem(st, rules); !problem.isEmpty())
        return problem;
    if (!move.createdDirectories.isEmpty() &&
        ::mkdirat(folder.get(), kind.constData(), 0777) != 0 && errno != EEXIST)
        return systemReason(errno);
    const Fd kindDir(openBelow(folder.get(), kind));
    if (!kindDir)
        return errno == ELOOP || errno == ENOTDIR ? QStringLiteral("Outside your home folder.")
                                                  : systemReason(errno);
    return moveNoReplaceAt(folder.get(), name, kindDir.get(), native(shape->placed));
}

Outcome moveOne(const OrganizerMove& move, const Bounds& bounds, const Rules& rules) {
    Outcome outcome = checkMove(move, bounds, rules);
    if (!outcome.moved)
        return outcome;
    if (const QString failure = carryOut(*outcome.moved, rules); !failure.isEmpty())
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
    const std::optional<Shape> shape = shapeOf(move.sourcePath, move.destinationPath);
    if (!shape || !bounds.folders.contains(shape->folder))
        return notARunMove(move.destinationPath);
    if (!exists(move.destinationPath))
        return move.destinationPath + QStringLiteral(": already moved");
    const QString placed = lastComponent(move.destinationPath);
    const auto failed = [&placed](int error) {
        return placed + QStringLiteral(": ") + systemReason(error);
    };
    if (!exists(shape->folder))
        makeFolders(shape->folder);
    const Fd folder(openFolder(shape->folder));
    if (!folder)
        return failed(errno);
    const QByteArray kind = native(shape->kind);
    const Fd kindDir(openBelow(folder.get(), kind));
    if (!kindDir)
        return errno == ELOOP || errno == ENOTDIR
                   ? move.destinationPath + QStringLiteral(": outside home")
                   : failed(errno);
    const QString failure =
        moveNoReplaceAt(kindDir.get(), native(shape->placed), folder.get(), native(shape->name));
    if (!failure.isEmpty())
        return placed + QStringLiteral(": ") + failure;
    // Only the kind folder was ever created for a move; it is left in place when anything has
    // been put into it since.
    if (move.createdDirectories.contains(shape->folder + QLatin1Char('/') + shape->kind))
        ::unlinkat(folder.get(), kind.constData(), AT_REMOVEDIR);
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
    // Both names holding a file means the source was never removed: the step did not happen,
    // and both stay. Even an exact copy at `to` may be the user's own.
    return lstatPath(to, &target) && !hasSource;
}

} // namespace OrganizerFiles
