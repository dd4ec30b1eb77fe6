#include "platform/CgroupMemory.h"

#include "platform/KernelFiles.h"

#include <algorithm>
#include <QStringList>

std::optional<quint64> readCgroupMemoryHeadroom(const QString& sysRoot, const QString& cgroupPath) {
    const QString base = sysRoot + QStringLiteral("/fs/cgroup");
    QStringList parts = cgroupPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.contains(QStringLiteral("..")))
        return std::nullopt;
    std::optional<quint64> headroom;
    while (!parts.isEmpty()) {
        const QString dir = base + QLatin1Char('/') + parts.join(QLatin1Char('/'));
        const auto max =
            KernelFiles::readInteger(dir + QStringLiteral("/memory.max")); // "max" = none
        const auto current = KernelFiles::readInteger(dir + QStringLiteral("/memory.current"));
        if (max && current && *max >= 0 && *current >= 0) {
            const quint64 room = *max > *current ? quint64(*max - *current) : 0;
            headroom = std::min(headroom.value_or(room), room);
        }
        parts.removeLast();
    }
    return headroom;
}
