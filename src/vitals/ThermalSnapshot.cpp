#include "vitals/ThermalSnapshot.h"

#include "vitals/DecimalFormat.h"

#include "platform/RawValueTable.h"

#include <algorithm>

QString pressureWord(ThermalSnapshot::Pressure pressure) {
    switch (pressure) {
    case ThermalSnapshot::Pressure::Nominal:
        return QStringLiteral("Cool");
    case ThermalSnapshot::Pressure::Fair:
        return QStringLiteral("Warm");
    case ThermalSnapshot::Pressure::Serious:
        return QStringLiteral("Hot");
    case ThermalSnapshot::Pressure::Critical:
        return QStringLiteral("Critical");
    case ThermalSnapshot::Pressure::Unknown:
        break;
    }
    return QStringLiteral("Unknown");
}

namespace {
constexpr std::array<const char*, 5> pressureNames = {"nominal", "fair", "serious", "critical",
                                                      "unknown"};
}

PENDREL_RAW_VALUES(ThermalSnapshot::Pressure, pressureNames)

QString ThermalSnapshot::temperatureLabel() const {
    if (cpuCelsius)
        return fixedDecimal(*cpuCelsius, 0) + QStringLiteral("°C");
    return pressureWord(pressure);
}

QString ThermalSnapshot::secondaryLabel() const {
    if (cpuCelsius)
        return pressureWord(pressure);
    if (gpuCelsius)
        return QStringLiteral("GPU ") + fixedDecimal(*gpuCelsius, 0) + QStringLiteral("°C");
    std::optional<int> fastest;
    if (!fans.isEmpty()) {
        for (const FanReading& fan : fans)
            fastest = std::max(fastest.value_or(fan.rpm), fan.rpm);
    } else {
        for (int rpm : fanRPMs)
            fastest = std::max(fastest.value_or(rpm), rpm);
    }
    if (!fastest || *fastest < 1)
        return QStringLiteral("Thermal pressure");
    return QStringLiteral("%1 RPM").arg(*fastest);
}

QString ThermalSnapshot::fansSummary(const QList<int>& fanRPMs, const QList<FanReading>& fans) {
    const QString idle = QStringLiteral("Fans are present but idle right now.");
    if (fans.isEmpty()) {
        if (!fanRPMs.isEmpty())
            return idle;
        return QStringLiteral("This Mac reports no fans (normal on many fanless laptops and "
                              "virtual machines). Pendrel has no fan speeds to show.");
    }
    const FanReading* fastest = &fans.front();
    for (const FanReading& fan : fans) {
        if (fan.rpm > fastest->rpm) // strictly faster: the first fan wins a tie
            fastest = &fan;
    }
    if (fastest->rpm < 1)
        return idle;
    return fastest->name + QStringLiteral(" is ") + fastest->stateLabel().toLower() +
           QStringLiteral(" at ") + QString::number(fastest->rpm) +
           QStringLiteral(" RPM. Pendrel reads fans only — the system still controls them.");
}

QString ThermalSnapshot::pressureSentence(Pressure pressure) {
    switch (pressure) {
    case Pressure::Nominal:
        return QStringLiteral("The system reports no thermal pressure.");
    case Pressure::Fair:
        return QStringLiteral(
            "The system is managing heat. Fans may spin up; light throttling is possible.");
    case Pressure::Serious:
        return QStringLiteral(
            "Your Mac is under real thermal pressure. Performance may be limited until it cools.");
    case Pressure::Critical:
        return QStringLiteral(
            "Thermal pressure is critical. Close heavy work and let the Mac cool.");
    case Pressure::Unknown:
        break;
    }
    return QStringLiteral("Thermal pressure could not be read.");
}
