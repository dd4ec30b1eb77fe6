#include "vitals/SystemSnapshot.h"

#include "vitals/DecimalFormat.h"

#include "platform/MachineInfo.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr qint64 kMaxBytes = std::numeric_limits<qint64>::max();
} // namespace

SystemSnapshot::SystemSnapshot() : memTotalBytes(physicalMemoryBytes()) {}

quint64 SystemSnapshot::physicalMemoryBytes() {
    return MachineInfo::physicalMemoryBytes();
}

QList<SystemSnapshot::MemoryPart> SystemSnapshot::memoryBreakdown() const {
    return {
        {QStringLiteral("Available"), memCachedBytes + memFreeBytes},
        {QStringLiteral("App memory"), memActiveBytes},
        {QStringLiteral("Compressed"), memCompressedBytes},
        {QStringLiteral("Wired"), memWiredBytes},
        {QStringLiteral("Cache"), memBuffCacheBytes},
        {QStringLiteral("Free"), memFreeBytes},
    };
}

double SystemSnapshot::diskFreeFraction() const {
    const double free = std::max<double>(diskFreeBytes, 0);
    if (diskUsedBytes && *diskUsedBytes >= 0 && *diskUsedBytes + free > 0)
        return free / (double(*diskUsedBytes) + free);
    if (diskTotalBytes <= 0)
        return 1.0;
    return std::clamp(double(diskFreeBytes) / double(diskTotalBytes), 0.0, 1.0);
}

int SystemSnapshot::diskFullPercent() const {
    const qint64 free = std::max<qint64>(diskFreeBytes, 0);
    qint64 used = 0, whole = 0;
    if (diskUsedBytes && *diskUsedBytes >= 0 && *diskUsedBytes <= kMaxBytes - free &&
        *diskUsedBytes + free > 0) {
        used = *diskUsedBytes;
        whole = used + free;
    } else {
        whole = std::max<qint64>(diskTotalBytes, 0);
        used = std::max<qint64>(whole - free, 0);
    }
    if (whole < 1)
        return 0;
    // Rounded up, as df rounds its Use%: a volume with any share past a whole percent reads the
    // next one, so the figure is never a point under what df prints beside it.
    const __int128 hundredths = static_cast<__int128>(used) * 100;
    return int(std::clamp<qint64>(qint64((hundredths + whole - 1) / whole), 0, 100));
}

std::optional<SystemSnapshot::Busiest> SystemSnapshot::busiestApp() const {
    if (!topCPUProcesses.isEmpty() && topCPUProcesses.front().cpuPercent >= 8.0)
        return Busiest{topCPUProcesses.front().name, topCPUProcesses.front().cpuPercent};
    if (cpuPercent > 40.0 && !topProcesses.isEmpty()) {
        // Picked for its memory: its CPU figure is its own CPU row's, if it has one. Names are
        // not unique, so only the pid ties the two rows together.
        const ProcessMemoryInfo& largest = topProcesses.front();
        Busiest busiest{largest.name, std::nullopt};
        if (largest.pid > 0) {
            for (const ProcessCPUInfo& row : topCPUProcesses) {
                if (row.pid == largest.pid) {
                    busiest.cpuPercent = row.cpuPercent;
                    break;
                }
            }
        }
        return busiest;
    }
    return std::nullopt;
}

std::optional<QString> SystemSnapshot::busiestAppName() const {
    if (const auto busiest = busiestApp())
        return busiest->name;
    return std::nullopt;
}

SystemSnapshot::Verdict SystemSnapshot::verdict() const {
    using P = ThermalSnapshot::Pressure;
    switch (thermal.pressure) {
    case P::Fair:
        if (const auto app = busiestAppName())
            return {QStringLiteral("Your Mac is warm — ") + *app +
                        QStringLiteral(" is working hard."),
                    1};
        return {QStringLiteral("Your Mac is warm; the system is managing the heat."), 1};
    case P::Serious:
        return {QStringLiteral("Your Mac is running hot right now."), 2};
    case P::Critical:
        return {QStringLiteral("Your Mac is critically hot — ease the load."), 2};
    case P::Nominal:
    case P::Unknown:
        break;
    }
    if (memTotalBytes != 0 && double(memUsedBytes) / double(memTotalBytes) > 0.85)
        return {QStringLiteral("Your Mac is juggling too much at once."), 1};
    if (cpuPercent > 80)
        return {QStringLiteral("Something is working your Mac hard right now."), 1};
    return {QStringLiteral("Your Mac is healthy."), 0};
}

QString SystemSnapshot::headline() const {
    return verdict().sentence;
}

int SystemSnapshot::headlineLevel() const {
    return verdict().level;
}

namespace {

// A percentage truncated toward zero, safe for any double a caller may have stored.
QString truncatedPercent(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    const double t = std::trunc(value);
    if (t >= double(std::numeric_limits<qint64>::max()))
        return QString::number(std::numeric_limits<qint64>::max());
    if (t <= double(std::numeric_limits<qint64>::min()))
        return QString::number(std::numeric_limits<qint64>::min());
    return QString::number(qint64(t));
}

} // namespace

QString SystemSnapshot::thermalExplanation() const {
    QStringList parts;
    parts << ThermalSnapshot::pressureSentence(thermal.pressure);
    if (thermal.cpuCelsius)
        parts << QStringLiteral("CPU around ") + fixedDecimal(*thermal.cpuCelsius, 0) +
                     QStringLiteral("°C.");
    if (thermal.gpuCelsius)
        parts << QStringLiteral("GPU around ") + fixedDecimal(*thermal.gpuCelsius, 0) +
                     QStringLiteral("°C.");

    if (thermal.fanRPMs.isEmpty()) {
        parts << QStringLiteral("No fans reported (normal on fanless models).");
    } else {
        const int fastest = *std::max_element(thermal.fanRPMs.cbegin(), thermal.fanRPMs.cend());
        if (fastest >= 1)
            parts << QStringLiteral("Fans at %1 RPM.").arg(fastest);
    }

    using P = ThermalSnapshot::Pressure;
    const bool calm = thermal.pressure == P::Nominal || thermal.pressure == P::Unknown;
    const QString nothing = QStringLiteral("Nothing looks like it is forcing the Mac to overheat.");
    if (const auto app = busiestApp()) {
        if (!calm || cpuPercent > 50) {
            if (app->cpuPercent)
                parts << app->name + QStringLiteral(" is using about ") +
                             truncatedPercent(*app->cpuPercent) + QStringLiteral("% CPU.");
            else
                parts << app->name + QStringLiteral(" is among the busiest apps.");
        } else {
            parts << nothing;
        }
    } else if (calm) {
        parts << nothing;
    }
    return parts.join(QLatin1Char(' '));
}
