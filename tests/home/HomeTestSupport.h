#pragma once

#include "home/HealthCheck.h"
#include "support/ProcessRows.h"
#include "vitals/SystemSnapshot.h"

#include <QString>

namespace hometest {

// A sample on a machine of 1,000,000 bytes of memory and a volume of 1,000,000 bytes, so every
// ratio is exact; no processes, pressure unknown.
inline SystemSnapshot
sample(double memoryUsed = 0.5, double diskFree = 0.5, double cpu = 10,
       ThermalSnapshot::Pressure pressure = ThermalSnapshot::Pressure::Nominal) {
    SystemSnapshot s;
    s.memTotalBytes = 1'000'000;
    s.memUsedBytes = quint64(memoryUsed * 1'000'000 + 0.5);
    s.diskTotalBytes = 1'000'000;
    s.diskFreeBytes = qint64(diskFree * 1'000'000 + 0.5);
    s.cpuPercent = cpu;
    s.thermal.pressure = pressure;
    return s;
}

inline ProcessMemoryInfo memoryUser(const QString& name, quint64 bytes) {
    return testsupport::memoryRow(name, bytes);
}

inline HealthCheck::Status junkDone(qint64 bytes, int files = 10) {
    return HealthCheck::Status::done(HealthCheck::junkFinding(bytes, files));
}

inline HealthCheck::Status bigDone(qint64 bytes, int count) {
    return HealthCheck::Status::done(HealthCheck::bigFilesFinding(bytes, count));
}

} // namespace hometest
