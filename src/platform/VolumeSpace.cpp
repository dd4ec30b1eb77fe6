#include "platform/VolumeSpace.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <sys/statvfs.h>

std::optional<VolumeSpace> readVolumeSpace(const QString& path) {
    struct statvfs info {};
    int rc;
    do {
        rc = ::statvfs(path.toLocal8Bit().constData(), &info);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return std::nullopt;
    const unsigned long long unit = info.f_frsize ? info.f_frsize : info.f_bsize;
    const unsigned long long limit = std::numeric_limits<qint64>::max();
    if (unit == 0 || info.f_blocks > limit / unit)
        return std::nullopt;
    VolumeSpace space;
    space.total = qint64(info.f_blocks * unit);
    space.available = qint64(std::min<unsigned long long>(info.f_bavail, info.f_blocks) * unit);
    space.used = qint64((info.f_blocks - std::min(info.f_bfree, info.f_blocks)) * unit);
    return space;
}
