#include "platform/RegularFile.h"
#include "platform/NativePath.h"

#include <cerrno>
#include <fcntl.h>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

RegularFile::RegularFile(const QString& path) {
    const QByteArray native = NativePath::encode(path);
    if (native.isEmpty())
        return;
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    // Plain files ignore the flag, but reads of a file that is later swapped must still block
    // like ordinary reads rather than fail with EAGAIN.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_fd = fd;
    m_size = qint64(st.st_size);
}

RegularFile::~RegularFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

qsizetype RegularFile::read(char* buffer, qsizetype capacity) {
    if (m_fd < 0)
        return -1;
    qsizetype total = 0;
    while (total < capacity) {
        const ssize_t got = ::read(m_fd, buffer + total, size_t(capacity - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

bool RegularFile::isRegular(const QString& path) {
    const QByteArray native = NativePath::encode(path);
    struct stat st;
    return !native.isEmpty() && ::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode);
}
