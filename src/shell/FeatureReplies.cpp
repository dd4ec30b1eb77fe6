#include "shell/FeatureReplies.h"

#include "platform/ByteFormat.h"
#include "vitals/SystemSnapshot.h"

#include <algorithm>
#include <cmath>

namespace {

// The whole-number part of a percentage, truncated toward zero; a non-finite value (a broken
// sample) reads as 0 rather than overflowing the conversion.
qint64 wholePart(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = 9.0e18;
    return static_cast<qint64>(std::trunc(std::clamp(value, -limit, limit)));
}

} // namespace

namespace FeatureReplies {

QString explain(const SystemSnapshot& s) {
    using P = ThermalSnapshot::Pressure;
    const bool warm = s.thermal.pressure == P::Fair || s.thermal.pressure == P::Serious ||
                      s.thermal.pressure == P::Critical;
    const bool busy = s.cpuPercent > 50.0;
    const double memoryUsed = s.memTotalBytes == 0 ? 0.0
                                                   : static_cast<double>(s.memUsedBytes) /
                                                         static_cast<double>(s.memTotalBytes);
    const bool memoryTight = memoryUsed > 0.7;
    const bool diskTight = s.diskTotalBytes >= 1 && s.diskFreeFraction() < 0.1;

    QString text = s.headline();
    text += QString::asprintf(" CPU load is %.0f%%.", s.cpuPercent);
    if (const std::optional<QString> busiest = s.busiestAppName(); busiest && (busy || warm))
        text += QStringLiteral(" %1 looks like the main load.").arg(*busiest);
    text += QStringLiteral(" You are using %1 of your %2 of memory.")
                .arg(formatBytesClamped(s.memUsedBytes), formatBytesClamped(s.memTotalBytes));
    if (memoryTight && !s.topProcesses.isEmpty()) {
        const ProcessMemoryInfo& biggest = s.topProcesses.constFirst();
        text += QStringLiteral(" The biggest memory user right now is %1 at %2. Quitting it would "
                               "free the most.")
                    .arg(biggest.name, formatBytesClamped(biggest.memoryBytes));
    }
    if (diskTight)
        text += QStringLiteral(" Your disk is over 90% full, and the system slows down when "
                               "storage is this tight.");
    if (!warm && !busy && !memoryTight && !diskTight && s.headlineLevel() == 0)
        text += QStringLiteral(" Nothing here is slowing it down right now.");
    return text;
}

QString dashboard(const SystemSnapshot& s) {
    QString text = s.headline();
    text += QStringLiteral(" You are using %1 of %2.")
                .arg(formatBytesClamped(s.memUsedBytes), formatBytesClamped(s.memTotalBytes));
    if (!s.topProcesses.isEmpty()) {
        const ProcessMemoryInfo& biggest = s.topProcesses.constFirst();
        text += QStringLiteral(" The biggest memory user right now is %1 at %2.")
                    .arg(biggest.name, formatBytesClamped(biggest.memoryBytes));
        if (s.memTotalBytes != 0 &&
            static_cast<double>(s.memUsedBytes) / static_cast<double>(s.memTotalBytes) > 0.7)
            text += QStringLiteral(" Quitting it would free the most.");
    }
    text += QString::asprintf(" CPU load is %.0f%%.", s.cpuPercent);
    return text;
}

QString disk(const SystemSnapshot& s) {
    return QStringLiteral("You have %1 free of %2. Pendrel explains what is using space before "
                          "anything is deleted — including database .bak files. Safe cleanup "
                          "goes to the Trash so you can undo.")
        .arg(formatBytes(s.diskFreeBytes), formatBytes(s.diskTotalBytes));
}

QString devClean(const SystemSnapshot&) {
    return QStringLiteral(
        "Developer Centre measures Docker, package caches and local AI models before "
        "cleanup. Keep Awake can stop idle sleep during long agent runs; it turns off when "
        "Pendrel quits or the timer ends. Ask Pendrel how much space Ollama or Docker is using "
        "for live numbers.");
}

QString performance(const SystemSnapshot& s) {
    using P = ThermalSnapshot::Pressure;
    const ThermalSnapshot& thermal = s.thermal;

    QString text = QStringLiteral("CPU is at %1% and thermal pressure is %2.")
                       .arg(QString::number(wholePart(s.cpuPercent)),
                            pressureWord(thermal.pressure).toLower());

    if (thermal.cpuCelsius)
        text += QStringLiteral(" CPU temperature is around %1°C.")
                    .arg(QString::asprintf("%.0f", *thermal.cpuCelsius));

    if (!thermal.fans.isEmpty()) {
        const FanReading* fastest = &thermal.fans.constFirst();
        for (const FanReading& fan : thermal.fans) {
            if (fan.rpm > fastest->rpm)
                fastest = &fan;
        }
        text +=
            QStringLiteral(" %1 is at %2 RPM (%3).")
                .arg(fastest->name, QString::number(fastest->rpm), fastest->stateLabel().toLower());
    } else if (thermal.fanRPMs.isEmpty()) {
        text += QStringLiteral(" No fans are reported on this Mac.");
    }

    const std::optional<QString> busiest = s.busiestAppName();
    const bool warm = thermal.pressure == P::Fair || thermal.pressure == P::Serious ||
                      thermal.pressure == P::Critical;
    if (busiest && (warm || s.cpuPercent > 50.0))
        return text + QStringLiteral(" %1 looks like the main load.").arg(*busiest);
    // The first sentence already says the pressure is unknown; saying it could not be read as
    // well only repeats it.
    if (thermal.pressure == P::Unknown)
        return text;
    return text + QLatin1Char(' ') + ThermalSnapshot::pressureSentence(thermal.pressure);
}

} // namespace FeatureReplies
