#pragma once

#include <optional>
#include <QString>

// The capacity of the volume holding a path, as statvfs reports it for an unprivileged user:
// `total` is the file system's size and `available` what a normal user may still write (the
// root-reserved blocks are not counted as available), the figures `df` shows as Size and Avail.
struct VolumeSpace {
    qint64 total = 0;
    qint64 available = 0;
};

// None when the path cannot be examined or the figures do not fit in 64 bits.
std::optional<VolumeSpace> readVolumeSpace(const QString& path);
