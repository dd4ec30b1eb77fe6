#include "platform/MountRoot.h"

#include "platform/KernelFiles.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <QString>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Never follow the entry, never trigger an automount (that would make a mount appear), never
// wait on a network file system for fresh attributes: only the mount identity is wanted.
constexpr int kFlags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC;

bool examine(int dirFd, const char* name, int flags, struct statx* out) {
    return ::statx(dirFd, name, flags | kFlags, STATX_TYPE | STATX_MNT_ID, out) == 0;
}

int octal(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// The path of an open file as the kernel names it, for old kernels that report no mount identity.
QByteArray pathOf(int fd) {
    char buffer[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), buffer, sizeof buffer);
    return n > 0 && size_t(n) < sizeof buffer ? QByteArray(buffer, n) : QByteArray();
}

bool listedAsMountPoint(int fd) {
    const QByteArray path = pathOf(fd);
    if (path.isEmpty())
        return false;
    const std::optional<QByteArray> table =
        KernelFiles::read(QStringLiteral("/proc/self/mountinfo"), 16 * 1024 * 1024);
    return table && MountRoot::mountPointsIn(*table).contains(path);
}

// entry: what statx said of the entry. reopen opens the entry (O_PATH) for the last resort.
template <typename Reopen> bool judge(const struct statx& entry, int parentFd, Reopen reopen) {
    if (S_ISLNK(entry.stx_mode))
        return false;
    if (entry.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return (entry.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    struct statx parent {};
    if (examine(parentFd, "", AT_EMPTY_PATH, &parent)) {
        if (entry.stx_dev_major != parent.stx_dev_major ||
            entry.stx_dev_minor != parent.stx_dev_minor)
            return true;
        if (entry.stx_mask & parent.stx_mask & STATX_MNT_ID)
            return entry.stx_mnt_id != parent.stx_mnt_id;
    }
    const int fd = reopen();
    if (fd < 0)
        return false;
    const bool listed = listedAsMountPoint(fd);
    ::close(fd);
    return listed;
}

} // namespace

namespace MountRoot {

bool isEntry(int parentFd, const char* name) {
    struct statx entry {};
    if (!examine(parentFd, name, 0, &entry))
        return false;
    return judge(entry, parentFd,
                 [&] { return ::openat(parentFd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC); });
}

bool isOpened(int fd, int parentFd) {
    struct statx entry {};
    if (!examine(fd, "", AT_EMPTY_PATH, &entry))
        return false;
    return judge(entry, parentFd, [&] { return ::fcntl(fd, F_DUPFD_CLOEXEC, 0); });
}

bool isPath(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    if (slash < 0 || name.isEmpty() || name == "." || name == "..")
        return slash == 0 || path == "/";
    const QByteArray parent = slash == 0 ? QByteArray("/") : path.left(slash);
    const int parentFd = ::open(parent.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return false;
    const bool root = isEntry(parentFd, name.constData());
    ::close(parentFd);
    return root;
}

QList<QByteArray> mountPointsIn(const QByteArray& mountinfo) {
    QList<QByteArray> points;
    for (const QByteArray& line : mountinfo.split('\n')) {
        // "<id> <parent id> <major:minor> <root> <mount point> <options> …"
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5 || !fields.at(4).startsWith('/'))
            continue;
        const QByteArray& field = fields.at(4);
        QByteArray point;
        point.reserve(field.size());
        for (qsizetype i = 0; i < field.size(); ++i) {
            if (field.at(i) == '\\' && i + 3 < field.size() && octal(field.at(i + 1)) >= 0 &&
                octal(field.at(i + 2)) >= 0 && octal(field.at(i + 3)) >= 0) {
                point.append(char(octal(field.at(i + 1)) * 64 + octal(field.at(i + 2)) * 8 +
                                  octal(field.at(i + 3))));
                i += 3;
            } else {
                point.append(field.at(i));
            }
        }
        points.append(point);
    }
    return points;
}

} // namespace MountRoot
