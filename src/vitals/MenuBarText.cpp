#include "vitals/MenuBarText.h"

#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "platform/TextConstant.h"

#include <limits>

namespace MenuBarText {

quint64 availableMemoryBytes(const SystemSnapshot& s) {
    const quint64 max = std::numeric_limits<quint64>::max();
    return s.memCachedBytes > max - s.memFreeBytes ? max : s.memCachedBytes + s.memFreeBytes;
}

QString freedText(qint64 bytes) {
    if (bytes < 1)
        return QStringLiteral("Already tidy — little to recover");
    return QStringLiteral("Recovered ") + formatBytes(bytes);
}

std::optional<QString> batteryText(const SystemSnapshot& s) {
    if (!s.batteryPercent)
        return std::nullopt;
    QString text = QStringLiteral("Battery %1%").arg(*s.batteryPercent);
    if (s.batteryCharging)
        text += QStringLiteral(", on power");
    return text;
}

QString batterySymbol(const SystemSnapshot& s) {
    return s.batteryCharging ? "battery.100.bolt"_sym : "battery.50"_sym;
}

QString heatText(const ThermalSnapshot& thermal) {
    const QString reading = QStringLiteral("Heat ") + thermal.temperatureLabel();
    if (thermal.pressure == ThermalSnapshot::Pressure::Unknown && !thermal.cpuCelsius)
        return reading; // "Unknown · Unknown" would read as two different unknowns
    return reading + QStringLiteral(" · ") + pressureWord(thermal.pressure);
}

bool heatIsRaised(ThermalSnapshot::Pressure pressure) {
    using P = ThermalSnapshot::Pressure;
    return pressure == P::Fair || pressure == P::Serious || pressure == P::Critical;
}

QString heatSymbol(ThermalSnapshot::Pressure pressure) {
    return heatIsRaised(pressure) ? "thermometer.high"_sym : "thermometer.medium"_sym;
}

PENDREL_TEXT(panelName, "Pendrel")

QString keepAwakeButton(bool active) {
    return active ? QStringLiteral("Stop Keep Awake") : QStringLiteral("Keep Mac awake");
}

QString freeButton(bool freeing) {
    return freeing ? QStringLiteral("Freeing memory…") : QStringLiteral("Free up memory");
}

PENDREL_TEXT(memoryTitle, "Available memory")
PENDREL_TEXT(diskTitle, "Disk")
PENDREL_TEXT(diskSubtitle, "free")
PENDREL_TEXT(openButton, "Open Pendrel…")
PENDREL_TEXT(refreshButton, "Refresh")
PENDREL_TEXT(quitButton, "Quit")

QString memorySubtitle(const QString& total) {
    return QStringLiteral("of ") + total;
}

} // namespace MenuBarText
