#pragma once

#include "platform/VolumeSpace.h"
#include "vitals/MemoryRelief.h"
#include "vitals/SMCClient.h"
#include "vitals/SnapshotSampler.h"
#include "vitals/ThermalSampler.h"

#include <functional>
#include <memory>
#include <QHash>
#include <QString>

// Everything the sampler reads from, so tests can point it at fixture trees.
struct SamplerEnvironment {
    QString procRoot = QStringLiteral("/proc");
    QString sysRoot = QStringLiteral("/sys");
    QString homePath;           // the folder whose volume gives the disk figures
    quint64 pageSize = 0;       // of the page counts in /proc/<pid>/stat; 0 = the kernel's
    quint64 ticksPerSecond = 0; // of the CPU-time counters; 0 = the kernel's
    // Defaults (when empty): statvfs, the hwmon sensor client on sysRoot, touched memory.
    std::function<std::optional<VolumeSpace>(const QString& path)> volumeSpace;
    std::function<std::unique_ptr<SMCClient>()> openSMC;
    std::shared_ptr<MemoryBlockAllocator> allocator;
    // How the first sample waits between the readings its CPU figures are the difference of;
    // empty: a quarter of a second.
    std::function<void()> firstWindow;

    // The live machine: /proc, /sys and the user's home folder.
    static SamplerEnvironment live();
};

// Fills snapshots from the kernel on Linux.
//
// Memory comes from <proc>/meminfo, mapped onto the snapshot's fields so that they add up the
// way `free` reports them:
//   memTotalBytes      MemTotal
//   memFreeBytes       MemFree                           ("free" column)
//   memCachedBytes     MemAvailable − MemFree            (caches the kernel can drop at once;
//                                                         Available = cached + free = MemAvailable)
//   memUsedBytes       MemTotal − MemAvailable           ("used" column)
//   memBuffCacheBytes  Buffers + Cached + SReclaimable   ("buff/cache" column)
//   memCompressedBytes Zswap (the compressed pool), at most used
//   memWiredBytes      SUnreclaim + KernelStack + PageTables + SecPageTables + Percpu
//                      + Unevictable (memory that can never be reclaimed), at most used −
//                      compressed
//   memActiveBytes     the rest of used: what applications hold
// Without MemAvailable (kernels before 3.14) it is estimated as MemFree + Buffers + Cached +
// SReclaimable − Shmem.
//
// CPU load comes from the aggregate line of <proc>/stat (idle = idle + iowait). Disk figures are
// the home folder's volume (statvfs: size, space used and space available to the user, as `df`
// shows them).
// The battery comes from <sys>/class/power_supply: peripherals' own batteries (scope "Device",
// such as a mouse) are skipped; the percent is the last system battery's capacity, charging
// means external power is online (or, with no such supply listed, a battery status of
// Charging, Full or Not charging); cycles and health come from the first system battery, health
// as energy_full / energy_full_design (or the charge_ pair) in percent, at most 100.
//
// The process lists come from <proc>/<pid>/stat (name, resident pages, CPU time; kernel threads
// are left out). A process's CPU percent is its CPU time between this listing and the previous
// one of the same sampler, as a share of one core; a process that started in between is
// measured from its start; the first listing of a sampler has no CPU rows.
//
// Load is a difference of counters, so a sampler's first takeSample() reads them twice, a short
// window apart (SamplerEnvironment::firstWindow), and every sample it hands out carries a measured
// CPU load and CPU rows, never the 0 % of a sample with nothing to compare with.
//
// The thermal part comes from a ThermalSampler around the sensor client (hwmon) opened when the
// sampler is made, with the pressure judged from <sys>/class/thermal.
//
// Not thread-safe: one sample at a time (see SnapshotSampler).
class SystemStatsSampler final : public SnapshotSampler {
public:
    explicit SystemStatsSampler(SamplerEnvironment environment = SamplerEnvironment::live());

    SystemSnapshot takeSample() override;
    void relieveMemoryPressure() override;

    // The steps of a full sample. The two status codes are 0 on success and -1 when the source
    // could not be read (then nothing was changed).
    int sampleMemory(SystemSnapshot& snapshot);
    int sampleCPU(SystemSnapshot& snapshot);
    void sampleDisk(SystemSnapshot& snapshot);
    void sampleBattery(SystemSnapshot& snapshot);
    // Each call lists the processes anew (and moves the CPU baseline forward).
    QList<ProcessMemoryInfo> topMemoryProcesses(int limit);
    QList<ProcessCPUInfo> topCPUProcesses(int limit);

    // The listings in the process-status tool's text form (see ProcessListing.h), from one read
    // of the process table.
    struct Listings {
        QString memory; // largest first
        QString cpu;    // busiest first; empty on the first listing
    };
    Listings listProcesses();

    quint64 lastIdleTicks() const { return m_lastIdleTicks; }
    quint64 lastTotalTicks() const { return m_lastTotalTicks; }

    // Bytes the free-memory routine may still take now: what the kernel (and the app's own
    // cgroup limit, if any) says is available, less the safety margin. None when unknown.
    std::optional<quint64> memoryHeadroom();

private:
    SamplerEnvironment m_env;
    quint64 m_lastIdleTicks = 0;
    quint64 m_lastTotalTicks = 0;
    ThermalSampler m_thermal;
    bool m_primed = false; // the counters of the first window have been read

    struct ProcessTicks {
        quint64 startTicks = 0;
        quint64 cpuTicks = 0;
    };
    QHash<qint64, ProcessTicks> m_previousTicks; // by pid, from the previous listing
    std::optional<double> m_previousUptime;      // seconds, at the previous listing
};
