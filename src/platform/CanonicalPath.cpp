#include "platform/CanonicalPath.h"

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

} // namespace

namespace CanonicalPath {

QString of(const QString& path) {
    QByteArray bytes = NativePath::encode(path);
    if (!bytes.startsWith('/'))
        bytes = NativePath::encode(QDir::currentPath()) + '/' + bytes;
    return NativePath::decode(canonicalBytes(bytes));
}

bool isOrHolds(const QString& folder, const QString& path) {
    if (folder == path || folder == QLatin1String("/"))
        return true;
    return path.size() > folder.size() && path.startsWith(folder) &&
           path.at(folder.size()) == QLatin1Char('/');
}

} // namespace CanonicalPath
