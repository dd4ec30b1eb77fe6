#pragma once

#include "vitals/SMCClient.h"
#include "vitals/ThermalSnapshot.h"

#include <functional>
#include <memory>
#include <QStringList>

// Produces the thermal part of every sample: the thermal pressure, a curated list of
// temperatures read through the sensor-controller client, the CPU and GPU temperature chosen
// from them, and up to four fans. Reads only; it never writes a key or controls a fan.
//
// Owns its client for its whole life. Not thread-safe: one sample at a time, on the owner's
// sampling worker.
class ThermalSampler {
public:
    using PressureReader = std::function<ThermalSnapshot::Pressure()>;

    // `pressure` gives the system's thermal pressure at each sample (unknown when empty).
    ThermalSampler(std::unique_ptr<SMCClient> smc, PressureReader pressure);

    // Pressure, sensors (hottest first, one per display name), CPU and GPU temperature (the
    // hottest sensor whose name says so, else the first fallback key that reads), fans in
    // index order and the speeds of those turning.
    ThermalSnapshot sample();

    // The curated sensors: the key table in order, a key that does not read skipped, a name
    // already listed skipped, then sorted hottest first (stable: equal values keep table order).
    QList<HardwareSensor> readTemperatures();
    // Fans 0 to 3; an index whose speed does not read (or decodes to no finite whole number)
    // has no fan, so ids may have gaps. Unnamed fans are "Fan <index + 1>".
    QList<FanReading> readFans();
    // The first key of the list whose value decodes as a temperature.
    std::optional<double> readFirstTemperature(const QStringList& keys);
    // A fan speed or limit key decoded (may be non-finite; callers round with care).
    std::optional<float> readFanValue(const QString& key);
    std::optional<QString> readFanName(int index);

    struct SensorRow {
        const char* key;
        const char* name;
        const char* plain;
    };
    // The 22 keys read for the sensor list, in reading order.
    static const QList<SensorRow>& sensorTable();
    static const QStringList& cpuNames();
    static const QStringList& cpuFallbackKeys();
    static const QStringList& gpuNames();
    static const QStringList& gpuFallbackKeys();

private:
    std::unique_ptr<SMCClient> m_smc;
    PressureReader m_pressure;
};

// The value of the first temperature sensor, in list order, whose name contains one of the
// parts (case-insensitive); none when no sensor matches.
std::optional<double> temperatureMatching(const QList<HardwareSensor>& sensors,
                                          const QStringList& nameParts);
