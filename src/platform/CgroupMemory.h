#pragma once

#include <optional>
#include <QString>

// How much more memory a cgroup (v2) may use before its own limit triggers the out-of-memory
// killer: the smallest memory.max − memory.current of the group and its ancestors under
// <sysRoot>/fs/cgroup. None when no level sets a limit (or the files cannot be read).
std::optional<quint64> readCgroupMemoryHeadroom(const QString& sysRoot, const QString& cgroupPath);
