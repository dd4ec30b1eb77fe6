#pragma once

#include "platform/RawValue.h"
#include "vitals/FanReading.h"
#include "vitals/HardwareSensor.h"

#include <optional>
#include <QList>
#include <QString>

// The thermal part of one sample: the system's thermal pressure, curated temperatures (hottest
// first), the CPU and GPU temperature picked from them, and up to four fans.
struct ThermalSnapshot {
    enum class Pressure { Nominal, Fair, Serious, Critical, Unknown };

    Pressure pressure = Pressure::Unknown;
    std::optional<double> cpuCelsius;
    std::optional<double> gpuCelsius;
    QList<int> fanRPMs;            // `rpm` of every fan in `fans` above 0, in fan order
    QList<HardwareSensor> sensors; // hottest first
    QList<FanReading> fans;        // in fan-index order

    // The CPU temperature ("52°C") when known, else the pressure word ("Cool", "Warm", "Hot",
    // "Critical", "Unknown").
    QString temperatureLabel() const;
    // The pressure word when the CPU temperature is known; else "GPU 48°C" when the GPU's is;
    // else the fastest fan as "1800 RPM", or "Thermal pressure" when no fan turns.
    QString secondaryLabel() const;
    // One or two sentences about the fans as a whole; `fans` empty means the machine reports
    // none (unless speeds alone are known).
    // The one sentence that explains a thermal pressure level; shared by every screen and
    // answer that mentions it.
    static QString pressureSentence(Pressure pressure);
    static QString fansSummary(const QList<int>& fanRPMs, const QList<FanReading>& fans);

    bool operator==(const ThermalSnapshot&) const = default;
};

// "Cool", "Warm", "Hot", "Critical" or "Unknown".
QString pressureWord(ThermalSnapshot::Pressure pressure);
// The pressure's raw value is its case name ("nominal" … "unknown"); any other string gives none.
QString rawValue(ThermalSnapshot::Pressure pressure);
template <>
std::optional<ThermalSnapshot::Pressure>
fromRawValue<ThermalSnapshot::Pressure>(const QString& raw);
template <> const QList<ThermalSnapshot::Pressure>& allCases<ThermalSnapshot::Pressure>();
