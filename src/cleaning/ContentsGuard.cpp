#include "cleaning/ContentsGuard.h"

#include "platform/HomeLayout.h"
#include "platform/NativePath.h"

#include <climits>
#include <cstdlib>
#include <QDir>

namespace {

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// realpath() for the part that exists, the rest resolved by its words ("." and "..").
QByteArray canonicalBytes(QByteArray path) {
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    char buffer[PATH_MAX];
    if (::realpath(path.constData(), buffer))
        return QByteArray(buffer);
    if (path == "/")
        return path;
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    const QByteArray base = canonicalBytes(parentOf(path));
    if (name.isEmpty() || name == ".")
        return base;
    if (name == "..")
        return parentOf(base);
    return (base == "/" ? QByteArray() : base) + '/' + name;
}

// True when folder is path or lies above it (both canonical).
bool isOrHolds(const QByteArray& folder, const QByteArray& path) {
    if (folder == path || folder == "/")
        return true;
    return path.size() > folder.size() && path.startsWith(folder) && path.at(folder.size()) == '/';
}

} // namespace

QString ContentsGuard::canonicalPath(const QString& path) {
    QByteArray bytes = NativePath::encode(path);
    if (!bytes.startsWith('/'))
        bytes = NativePath::encode(QDir::currentPath()) + '/' + bytes;
    return NativePath::decode(canonicalBytes(bytes));
}

ContentsGuard ContentsGuard::forLayout(const HomeLayout& layout) {
    using K = ContentsRefusal::Kind;
    QList<Kept> kept = {{layout.home(), K::Home}};
    for (const QString& folder : layout.userFolders())
        kept.append({folder, K::UserFolder});
    kept.append({layout.appSupportDir(), K::AppFolder});
    kept.append({layout.appConfigDir(), K::AppFolder});
    return ContentsGuard(std::move(kept));
}

std::optional<ContentsRefusal> ContentsGuard::check(const QString& location) const {
    if (m_kept.isEmpty())
        return std::nullopt;
    const QByteArray place =
        location.isEmpty() ? QByteArray("/") : NativePath::encode(canonicalPath(location));
    for (const Kept& k : m_kept) {
        if (k.path.isEmpty())
            continue;
        const QByteArray kept = NativePath::encode(canonicalPath(k.path));
        if (isOrHolds(place, kept))
            return ContentsRefusal{k.kind, location, k.path, place == kept};
    }
    return std::nullopt;
}

std::optional<ContentsRefusal> ContentsGuard::check(const QStringList& locations) const {
    for (const QString& location : locations) {
        if (std::optional<ContentsRefusal> refusal = check(location))
            return refusal;
    }
    return std::nullopt;
}
