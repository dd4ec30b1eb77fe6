#pragma once

#include "support/ProcessRows.h"
#include "vitals/SnapshotSampler.h"
#include "vitals/SystemSnapshot.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <QString>

namespace perftest {

constexpr quint64 GB = 1'000'000'000ull;

using testsupport::cpuRow;

using testsupport::memoryRow;

inline SystemSnapshot withCpu(double percent) {
    SystemSnapshot s;
    s.cpuPercent = percent;
    return s;
}

// Memory used as a share of a 1,000,000-byte machine, so ratios are exact.
inline SystemSnapshot withMemoryRatio(double ratio) {
    SystemSnapshot s;
    s.memTotalBytes = 1'000'000;
    s.memUsedBytes = quint64(ratio * 1'000'000);
    return s;
}

inline SystemSnapshot withDisk(qint64 freeBytes, qint64 totalBytes) {
    SystemSnapshot s;
    s.diskFreeBytes = freeBytes;
    s.diskTotalBytes = totalBytes;
    return s;
}

// As the sampler fills them: space available to the user, space used, size (the rest of the
// size is reserved for root).
inline SystemSnapshot withDiskUsed(qint64 freeBytes, qint64 usedBytes, qint64 totalBytes) {
    SystemSnapshot s = withDisk(freeBytes, totalBytes);
    s.diskUsedBytes = usedBytes;
    return s;
}

inline SystemSnapshot withPressure(ThermalSnapshot::Pressure pressure, double cpu = 0) {
    SystemSnapshot s;
    s.cpuPercent = cpu;
    s.thermal.pressure = pressure;
    return s;
}

inline FanReading fan(int id, int rpm, std::optional<int> min = {}, std::optional<int> max = {},
                      std::optional<int> target = {}) {
    return FanReading{id, QStringLiteral("Fan %1").arg(id + 1), rpm, min, max, target};
}

inline HardwareSensor sensor(const QString& key, const QString& name, double celsius) {
    return HardwareSensor{key,
                          name,
                          HardwareSensor::Kind::Temperature,
                          celsius,
                          QStringLiteral("°C"),
                          name + QStringLiteral(" temperature.")};
}

} // namespace perftest
