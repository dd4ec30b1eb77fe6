#include "vitals/SystemStatsSampler.h"

#include "platform/CgroupMemory.h"
#include "platform/HomeLayout.h"
#include "platform/MachineInfo.h"
#include "platform/PowerSupplies.h"
#include "platform/ProcFs.h"
#include "vitals/HwmonSMCClient.h"
#include "vitals/ProcessListing.h"
#include "vitals/ThermalPressure.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

SamplerEnvironment SamplerEnvironment::live() {
    SamplerEnvironment env;
    env.homePath = HomeLayout::fromEnvironment().home();
    return env;
}

namespace {

SamplerEnvironment completed(SamplerEnvironment env) {
    if (env.pageSize == 0)
        env.pageSize = MachineInfo::pageSize();
    if (env.ticksPerSecond == 0)
        env.ticksPerSecond = MachineInfo::clockTicksPerSecond();
    if (env.homePath.isEmpty())
        env.homePath = HomeLayout::fromEnvironment().home();
    if (!env.volumeSpace)
        env.volumeSpace = [](const QString& path) { return readVolumeSpace(path); };
    if (!env.openSMC) {
        const QString sysRoot = env.sysRoot;
        env.openSMC = [sysRoot] { return std::make_unique<HwmonSMCClient>(sysRoot); };
    }
    if (!env.allocator)
        env.allocator = std::make_shared<TouchedMemoryAllocator>();
    if (!env.firstWindow)
        env.firstWindow = [] { std::this_thread::sleep_for(std::chrono::milliseconds(250)); };
    return env;
}

quint64 field(const QHash<QByteArray, quint64>& info, const char* name) {
    return info.value(QByteArray(name), 0);
}

quint64 saturatingSum(std::initializer_list<quint64> values) {
    quint64 sum = 0;
    for (quint64 v : values)
        sum = v > std::numeric_limits<quint64>::max() - sum ? std::numeric_limits<quint64>::max()
                                                            : sum + v;
    return sum;
}

// MemAvailable, or the kernel's own estimate of it for kernels that do not publish it.
std::optional<quint64> availableBytes(const QHash<QByteArray, quint64>& info) {
    if (info.contains("MemAvailable"))
        return info.value("MemAvailable");
    if (!info.contains("MemFree"))
        return std::nullopt;
    const quint64 estimate = saturatingSum({field(info, "MemFree"), field(info, "Buffers"),
                                            field(info, "Cached"), field(info, "SReclaimable")});
    const quint64 shmem = field(info, "Shmem");
    return estimate > shmem ? estimate - shmem : 0;
}

} // namespace

SystemStatsSampler::SystemStatsSampler(SamplerEnvironment environment)
    : m_env(completed(std::move(environment))),
      m_thermal(m_env.openSMC(), [root = m_env.sysRoot] { return readThermalPressure(root); }) {}

SystemSnapshot SystemStatsSampler::takeSample() {
    if (!m_primed) {
        // A quarter of a second at 100 ticks a second per core measures the load to half a
        // percent on a machine of eight cores, and a busy process to a few percent of one.
        m_primed = true;
        SystemSnapshot baseline;
        sampleCPU(baseline);
        listProcesses();
        m_env.firstWindow();
    }
    SystemSnapshot snapshot;
    sampleMemory(snapshot);
    sampleCPU(snapshot);
    sampleDisk(snapshot);
    sampleBattery(snapshot);
    // Both lists come from one read of the process table.
    const Listings listings = listProcesses();
    snapshot.topProcesses = ProcessListing::parseMemory(listings.memory, 6);
    snapshot.topCPUProcesses = ProcessListing::parseCPU(listings.cpu, 5);
    snapshot.thermal = m_thermal.sample();
    return snapshot;
}

int SystemStatsSampler::sampleMemory(SystemSnapshot& s) {
    const auto info = ProcFs::readMemInfo(m_env.procRoot);
    if (!info || !info->contains("MemTotal") || !info->contains("MemFree"))
        return -1;
    const auto available = availableBytes(*info);
    if (!available)
        return -1;
    const quint64 total = field(*info, "MemTotal");
    const quint64 free = std::min(field(*info, "MemFree"), total);
    const quint64 avail = std::min(*available, total);

    s.memTotalBytes = total;
    s.memFreeBytes = free;
    s.memCachedBytes = avail > free ? avail - free : 0;
    s.memBuffCacheBytes = saturatingSum(
        {field(*info, "Buffers"), field(*info, "Cached"), field(*info, "SReclaimable")});
    const quint64 used = total - std::max(avail, free);
    s.memCompressedBytes = std::min(field(*info, "Zswap"), used);
    const quint64 wired = saturatingSum({field(*info, "SUnreclaim"), field(*info, "KernelStack"),
                                         field(*info, "PageTables"), field(*info, "SecPageTables"),
                                         field(*info, "Percpu"), field(*info, "Unevictable")});
    s.memWiredBytes = std::min(wired, used - s.memCompressedBytes);
    s.memActiveBytes = used - s.memCompressedBytes - s.memWiredBytes;
    s.memUsedBytes = s.memWiredBytes + s.memActiveBytes + s.memCompressedBytes;
    s.memoryPressurePercent =
        total == 0 ? 0.0 : std::min(100.0, double(s.memUsedBytes) / double(total) * 100.0);
    return 0;
}

int SystemStatsSampler::sampleCPU(SystemSnapshot& s) {
    const auto times = ProcFs::readCpuTimes(m_env.procRoot);
    if (!times)
        return -1;
    if (m_lastTotalTicks != 0 && times->total != m_lastTotalTicks) {
        const quint64 dTotal = times->total - m_lastTotalTicks;
        const quint64 dIdle = times->idle - m_lastIdleTicks;
        // Counters that went backwards (a reset, or iowait that the kernel revised down) give
        // no meaningful load for this one sample: the value stays as it was.
        if (times->total > m_lastTotalTicks && times->idle >= m_lastIdleTicks && dIdle <= dTotal) {
            const double busy = double(dTotal - dIdle);
            s.cpuPercent = std::clamp(busy * 100.0 / double(dTotal), 0.0, 100.0);
        }
    }
    m_lastTotalTicks = times->total;
    m_lastIdleTicks = times->idle;
    return 0;
}

void SystemStatsSampler::sampleDisk(SystemSnapshot& s) {
    const auto space = m_env.volumeSpace(m_env.homePath);
    if (!space)
        return;
    s.diskTotalBytes = std::max<qint64>(space->total, 0);
    s.diskFreeBytes = std::max<qint64>(space->available, 0);
    s.diskUsedBytes = std::max<qint64>(space->used, 0);
}

namespace {

std::optional<int> toInt(std::optional<qint64> v) {
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*v);
}

std::optional<int> healthPercent(const PowerSupply& battery) {
    auto percent = [](std::optional<qint64> full,
                      std::optional<qint64> design) -> std::optional<int> {
        if (!full || !design || *design < 1 || *full < 0)
            return std::nullopt;
        const double ratio = std::round(double(*full) * 100.0 / double(*design));
        return int(std::min(ratio, 100.0));
    };
    // The energy pair when the driver has it, else the charge pair; never one of each.
    if (battery.energyFullDesign)
        return percent(battery.energyFull, battery.energyFullDesign);
    return percent(battery.chargeFull, battery.chargeFullDesign);
}

} // namespace

void SystemStatsSampler::sampleBattery(SystemSnapshot& s) {
    const QList<PowerSupply> supplies = readPowerSupplies(m_env.sysRoot);
    std::optional<bool> externalOnline;
    for (const PowerSupply& supply : supplies) {
        if (supply.isExternalPower() && supply.online)
            externalOnline = externalOnline.value_or(false) || *supply.online;
    }
    const PowerSupply* first = nullptr;
    for (const PowerSupply& supply : supplies) {
        if (!supply.isSystemBattery())
            continue;
        if (!first)
            first = &supply;
        if (const auto capacity = toInt(supply.capacity))
            s.batteryPercent = std::clamp(*capacity, 0, 100);
        if (externalOnline) {
            s.batteryCharging = *externalOnline;
        } else if (!supply.status.isEmpty() && supply.status != QLatin1String("Unknown")) {
            s.batteryCharging = supply.status == QLatin1String("Charging") ||
                                supply.status == QLatin1String("Full") ||
                                supply.status == QLatin1String("Not charging");
        }
    }
    if (!first)
        return;
    s.batteryCycles = toInt(first->cycleCount);
    s.batteryHealthPercent = healthPercent(*first);
}

SystemStatsSampler::Listings SystemStatsSampler::listProcesses() {
    const QList<ProcFs::ProcessRow> rows = ProcFs::readProcesses(m_env.procRoot);
    const auto uptime = ProcFs::readUptime(m_env.procRoot);

    QList<ProcessListing::Entry> memory;
    QList<ProcessListing::Entry> cpu;
    memory.reserve(rows.size());
    const double elapsed = uptime && m_previousUptime ? *uptime - *m_previousUptime : 0.0;
    const bool measurable = elapsed > 0 && !m_previousTicks.isEmpty();
    const double windowTicks = elapsed * double(m_env.ticksPerSecond);
    const double windowStartTicks = m_previousUptime.value_or(0) * double(m_env.ticksPerSecond);

    QHash<qint64, ProcessTicks> current;
    current.reserve(rows.size());
    for (const ProcFs::ProcessRow& row : rows) {
        if (row.kernelThread)
            continue;
        current.insert(row.pid, {row.startTicks, row.cpuTicks});
        ProcessListing::Entry entry;
        entry.name = row.name;
        entry.pid = row.pid;
        entry.residentBytes =
            row.residentPages > std::numeric_limits<quint64>::max() / m_env.pageSize
                ? std::numeric_limits<quint64>::max()
                : row.residentPages * m_env.pageSize;
        memory.append(entry);
        if (!measurable)
            continue;
        const auto previous = m_previousTicks.constFind(row.pid);
        quint64 before;
        if (previous != m_previousTicks.cend() && previous->startTicks == row.startTicks)
            before = previous->cpuTicks;
        else if (double(row.startTicks) >= windowStartTicks)
            before = 0; // started since the previous listing
        else
            continue; // missed last time: cannot tell when its time was spent
        if (row.cpuTicks < before)
            continue;
        entry.cpuPercent = double(row.cpuTicks - before) * 100.0 / windowTicks;
        cpu.append(entry);
    }
    if (uptime && (elapsed > 0 || !m_previousUptime)) {
        m_previousTicks = std::move(current);
        m_previousUptime = uptime;
    } // else: the clock did not move; keep the older baseline for a longer window next time

    std::stable_sort(memory.begin(), memory.end(), [](const auto& a, const auto& b) {
        return a.residentBytes > b.residentBytes;
    });
    std::stable_sort(cpu.begin(), cpu.end(),
                     [](const auto& a, const auto& b) { return a.cpuPercent > b.cpuPercent; });
    return {ProcessListing::writeMemory(memory), ProcessListing::writeCPU(cpu)};
}

QList<ProcessMemoryInfo> SystemStatsSampler::topMemoryProcesses(int limit) {
    return ProcessListing::parseMemory(listProcesses().memory, limit);
}

QList<ProcessCPUInfo> SystemStatsSampler::topCPUProcesses(int limit) {
    return ProcessListing::parseCPU(listProcesses().cpu, limit);
}

std::optional<quint64> SystemStatsSampler::memoryHeadroom() {
    const auto info = ProcFs::readMemInfo(m_env.procRoot);
    if (!info)
        return std::nullopt;
    auto available = availableBytes(*info);
    if (!available)
        return std::nullopt;
    if (const auto group = ProcFs::readOwnCgroup(m_env.procRoot)) {
        if (const auto room = readCgroupMemoryHeadroom(m_env.sysRoot, *group))
            available = std::min(*available, *room);
    }
    const quint64 margin = MemoryRelief::safetyMargin(field(*info, "MemTotal"));
    return *available > margin ? *available - margin : 0;
}

void SystemStatsSampler::relieveMemoryPressure() {
    quint64 physical = SystemSnapshot::physicalMemoryBytes();
    if (const auto info = ProcFs::readMemInfo(m_env.procRoot); info && info->contains("MemTotal"))
        physical = info->value("MemTotal");
    MemoryRelief::run(physical, *m_env.allocator, [this] { return memoryHeadroom(); });
}
