#include "platform/FolderAt.h"
#include "platform/NativePath.h"

#include <cerrno>
#include <fcntl.h>
#include <QList>
#include <unistd.h>

namespace FolderAt {

Fd::~Fd() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

int openFolder(const QString& path) {
    return ::open(NativePath::encode(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int openBelow(int dir, const QByteArray& name) {
    return ::openat(dir, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
}

int reachBelow(int dir, const QByteArray& relative) {
    Fd at(::fcntl(dir, F_DUPFD_CLOEXEC, 0));
    for (const QByteArray& part : relative.split('/')) {
        if (!at)
            return -1;
        if (part.isEmpty())
            continue;
        if (part == "." || part == "..") {
            errno = EINVAL;
            return -1;
        }
        at =
            Fd(::openat(at.get(), part.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    }
    return at.release();
}

} // namespace FolderAt
