#pragma once

#include <optional>
#include <QString>

// The capacity of the volume holding a path, as statvfs reports it for an unprivileged user, in
// the figures `df` shows: `total` is the file system's size (Size), `used` what is written on it
// (Used: size less the free blocks, so the blocks reserved for root are in neither `used` nor
// `available`) and `available` what a normal user may still write (Avail).
//
// How full the volume is for the user is used ÷ (used + available), as df's Use% has it: a
// volume is full for the user once `available` reaches 0, however many reserved blocks remain.
struct VolumeSpace {
    qint64 total = 0;
    qint64 available = 0;
    qint64 used = 0;
};

// None when the path cannot be examined or the figures do not fit in 64 bits.
std::optional<VolumeSpace> readVolumeSpace(const QString& path);
