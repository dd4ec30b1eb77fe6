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

    quint64 memUsedBytes = 0;       // wired + active + compressed
    quint64 memTotalBytes = 0;      // physical memory
    quint64 memWiredBytes = 0;      // kernel memory that can never be reclaimed
    quint64 memActiveBytes = 0;     // app memory
    quint64 memCompressedBytes = 0; // the compressed-memory pool
    quint64 memCachedBytes = 0;     // reclaimable caches
    // Buffers, page cache and reclaimable slab: `free`'s buff/cache, the figure the word "Cache"
    // stands for here. Larger than memCachedBytes (which counts only what can be dropped at
    // once), and not part of any sum above.
    quint64 memBuffCacheBytes = 0;
    quint64 memFreeBytes = 0;         // unused memory
    double memoryPressurePercent = 0; // used / total × 100, at most 100; 0 when total is 0
    double cpuPercent = 0;            // share of CPU time not idle since the previous sample
    qint64 diskFreeBytes = 0;         // the home volume's space available to the user
    qint64 diskTotalBytes = 0;        // the home volume's size
    // The home volume's space in use (size less free blocks, df's Used); none when the sample
    // did not measure it. Blocks reserved for root are in neither this nor diskFreeBytes.
    std::optional<qint64> diskUsedBytes;
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
    // "Compressed", "Wired", "Cache" (buff/cache), "Free".
    QList<MemoryPart> memoryBreakdown() const;

    // The share of the home volume the user can still write to, 0 to 1: free ÷ (used + free),
    // as df's Use% counts it, so the blocks reserved for root do not make a volume look fuller
    // than it is to the user. Without a used figure, free ÷ total; 1 when the volume reports no
    // size. How full it is, is 1 minus this.
    double diskFreeFraction() const;
    // How full the home volume is for the user, as a whole percent: used ÷ (used + free),
    // rounded up as df's Use% is (60.2 % reads 61), worked out in integers so that 29 of 100
    // reads 29. Without a used figure (or with nothing used nor free) (total − free) ÷ total; 0
    // when the volume reports no size.
    // Always 0 to 100. Every screen that says how full the disk is shows this figure.
    int diskFullPercent() const;

    // The app worth naming as the busiest: the first CPU row when it uses at least 8 %; else,
    // when the whole CPU is above 40 %, the largest memory process; else none.
    std::optional<QString> busiestAppName() const;

    // A one-line verdict led by thermal pressure, then memory (above 0.85 used), then CPU
    // (above 80 %): e.g. "Your Mac is healthy."
    QString headline() const;
    // How serious the headline is, for the status dot beside it, so the two never disagree:
    // 0 healthy (green); 1 under strain (orange): warm, juggling too much, or working hard;
    // 2 hot (red): serious or critical thermal pressure.
    int headlineLevel() const;

    // A few sentences on heat: the pressure, the CPU/GPU temperatures, the fans and what is
    // causing the load, joined with single spaces. The busiest app is named with its own CPU
    // figure (its CPU row, found by pid when it was picked from the memory list), or as "among
    // the busiest apps" when it has no CPU row of its own.
    QString thermalExplanation() const;

    // The machine's physical memory in bytes (the empty snapshot's total).
    static quint64 physicalMemoryBytes();

private:
    struct Busiest {
        QString name;
        std::optional<double> cpuPercent; // its own CPU row's figure, when it has one
    };
    std::optional<Busiest> busiestApp() const;
    struct Verdict {
        QString sentence;
        int level = 0;
    };
    Verdict verdict() const;
};

Q_DECLARE_METATYPE(SystemSnapshot)
