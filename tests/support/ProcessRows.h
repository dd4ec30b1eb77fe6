#pragma once

#include "vitals/ProcessInfo.h"

#include <QString>

namespace testsupport {

// A row of a sample's biggest-memory list, and one of its busiest-CPU list (pid 0: unknown).
inline ProcessMemoryInfo memoryRow(const QString& name, quint64 bytes, qint64 pid = 0) {
    return {.name = name, .memoryBytes = bytes, .pid = pid};
}
inline ProcessCPUInfo cpuRow(const QString& name, double percent, qint64 pid = 0) {
    return {.name = name, .cpuPercent = percent, .pid = pid};
}

} // namespace testsupport
