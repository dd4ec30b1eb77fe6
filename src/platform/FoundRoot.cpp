#include "platform/FoundRoot.h"
#include "platform/NativePath.h"

#include <cerrno>
#include <fcntl.h>
#include <QDir>

namespace {

// The part of `find` below `folder`, both in clean form; empty when it does not lie below.
QString below(const QString& folder, const QString& find) {
    if (folder.isEmpty())
        return {};
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return find.size() > prefix.size() && find.startsWith(prefix) ? find.mid(prefix.size())
                                                                  : QString();
}

} // namespace

FoundRoot::FoundRoot(const QString& path) : m_path(path.isEmpty() ? path : QDir::cleanPath(path)) {
    // The path as given, not its clean form: a ".." after a link resolves as the walk resolved it.
    if (!path.isEmpty())
        m_fd = FolderAt::Fd(
            ::open(NativePath::encode(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!m_fd)
        m_openError = path.isEmpty() ? ENOENT : errno;
}

bool FoundRoot::holds(const QString& find) const {
    return !below(m_path, QDir::cleanPath(find)).isEmpty();
}

FoundRoot::Reached FoundRoot::reach(const QString& find) const {
    Reached reached;
    const QString relative = below(m_path, QDir::cleanPath(find));
    if (relative.isEmpty()) {
        reached.error = NotBelow;
        return reached;
    }
    if (!m_fd) {
        reached.error = m_openError;
        return reached;
    }
    const QByteArray bytes = NativePath::encode(relative);
    const qsizetype slash = bytes.lastIndexOf('/');
    reached.name = bytes.mid(slash + 1);
    reached.folder = FolderAt::Fd(
        FolderAt::reachBelow(m_fd.get(), slash < 0 ? QByteArray() : bytes.left(slash)));
    if (!reached.folder)
        reached.error = errno;
    return reached;
}

QString FoundRoot::holderOf(const QStringList& folders, const QString& find) {
    const QString clean = QDir::cleanPath(find);
    QString holder;
    for (const QString& folder : folders) {
        const QString candidate = QDir::cleanPath(folder);
        if (!below(candidate, clean).isEmpty() && candidate.size() > holder.size())
            holder = candidate;
    }
    return holder;
}
