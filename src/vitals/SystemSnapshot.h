#pragma once

#include "vitals/ProcessInfo.h"
#include "vitals/ThermalSnapshot.h"

#include <optional>
#include <QList>
#include <QMetaType>
#include <QString>

// One sample of the machine, a plain value copied freely. A default-constructed snapshot is the
// empty snapshot: `memTotalBytes` is the machine's physical memory, every other number 0, the
// battery values absent and not charging, no processes, thermal pressure `unknown`. Every sample
// starts from it, so a measurement that fails shows as 0 or absent.
//
// The memory figures follow the kernel's /proc/meminfo (see SystemStatsSampler.h for the exact
// mapping): `memCachedBytes` + `memFreeBytes` is the memory available to new work, and
// `memUsedBytes` = wired + active + compressed is everything else.
struct SystemSnapshot {
    SystemSnapshot();

    quint64 memUsedBytes = 0;         // wired + active + compressed
    quint64 memTotalBytes = 0;        // physical memory
    quint64 memWiredBytes = 0;        // kernel memory that can never be reclaimed
    quint64 memActiveBytes = 0;       // app memory
    quint64 memCompressedBytes = 0;   // the compressed-memory pool
    quint64 memCachedBytes = 0;       // reclaimable caches
    quint64 memFreeBytes = 0;         // unused memory
    double memoryPressurePercent = 0; // used / total × 100, at most 100; 0 when total is 0
    double cpuPercent = 0;            // share of CPU time not idle since the previous sample
    qint64 diskFreeBytes = 0;         // the home volume's space available to the user
    qint64 diskTotalBytes = 0;        // the home volume's size
    std::optional<int> batteryPercent;
    bool batteryCharging = false;            // true when the machine runs on external power
    std::optional<int> batteryHealthPercent; // full capacity as a share of design, at most 100
    std::optional<int> batteryCycles;
    QList<ProcessMemoryInfo> topProcesses; // largest resident first
    QList<ProcessCPUInfo> topCPUProcesses; // busiest first
    ThermalSnapshot thermal;

    struct MemoryPart {
        QString label;
        quint64 bytes = 0;
    };
    // Six parts in this order: "Available" (cached + free), "App memory" (active),
    // "Compressed", "Wired", "Cache" (cached), "Free".
    QList<MemoryPart> memoryBreakdown() const;

    // The app worth naming as the busiest: the first CPU row when it uses at least 8 %; else,
    // when the whole CPU is above 40 %, the largest memory process; else none.
    std::optional<QString> busiestAppName() const;

    // A one-line verdict led by thermal pressure, then memory (above 0.85 used), then CPU
    // (above 80 %): e.g. "Your Mac is healthy."
    QString headline() const;

    // A few sentences on heat: the pressure, the CPU/GPU temperatures, the fans and what is
    // causing the load, joined with single spaces.
    QString thermalExplanation() const;

    // The machine's physical memory in bytes (the empty snapshot's total).
    static quint64 physicalMemoryBytes();
};

Q_DECLARE_METATYPE(SystemSnapshot)
