#include "vitals/ThermalSampler.h"

#include "vitals/SMCValueCodec.h"

#include <algorithm>
#include <QSet>

ThermalSampler::ThermalSampler(std::unique_ptr<SMCClient> smc, PressureReader pressure)
    : m_smc(smc ? std::move(smc) : std::make_unique<ClosedSMCClient>()),
      m_pressure(std::move(pressure)) {}

const QList<ThermalSampler::SensorRow>& ThermalSampler::sensorTable() {
    static const QList<SensorRow> table = {
        {"Tp01", "CPU efficiency core", "Efficiency-core cluster temperature."},
        {"Tp05", "CPU performance core", "Performance-core cluster temperature."},
        {"Tp0D", "CPU die", "Overall CPU package temperature."},
        {"Tp0E", "CPU package", "CPU package / SoC temperature."},
        {"Tp0P", "CPU proximity", "Temperature near the CPU."},
        {"TC0P", "CPU proximity", "Temperature near the CPU."},
        {"TC0E", "CPU diode", "CPU thermal diode reading."},
        {"TC0F", "CPU die", "CPU die temperature."},
        {"TC0D", "CPU package", "CPU package temperature."},
        {"Te05", "SoC", "System-on-chip temperature."},
        {"Te0F", "SoC", "System-on-chip temperature."},
        {"Tg0D", "GPU die", "Graphics die temperature."},
        {"Tg0P", "GPU proximity", "Temperature near the GPU."},
        {"Tg05", "GPU", "Graphics temperature."},
        {"TG0P", "GPU proximity", "Temperature near the GPU."},
        {"TG0D", "GPU die", "Graphics die temperature."},
        {"TGDD", "GPU die", "Graphics die temperature."},
        {"Ts0P", "Palm rest / skin", "Chassis or palm-rest temperature."},
        {"TB0T", "Battery", "Battery temperature."},
        {"TW0P", "Wireless", "Wi-Fi / wireless module temperature."},
        {"Th0H", "Heatpipe", "Heatpipe temperature."},
        {"TA0P", "Ambient", "Ambient / intake air temperature."},
    };
    return table;
}

const QStringList& ThermalSampler::cpuNames() {
    static const QStringList names = {QStringLiteral("CPU"), QStringLiteral("SoC")};
    return names;
}

const QStringList& ThermalSampler::cpuFallbackKeys() {
    static const QStringList keys = {"Tp01", "Tp05", "Tp0D", "Tp0E", "Tp0P", "TC0P",
                                     "TC0E", "TC0F", "TC0D", "Te05", "Te0F"};
    return keys;
}

const QStringList& ThermalSampler::gpuNames() {
    static const QStringList names = {QStringLiteral("GPU")};
    return names;
}

const QStringList& ThermalSampler::gpuFallbackKeys() {
    static const QStringList keys = {"Tg0D", "Tg0P", "Tg05", "TG0P", "TG0D", "TGDD"};
    return keys;
}

std::optional<double> temperatureMatching(const QList<HardwareSensor>& sensors,
                                          const QStringList& nameParts) {
    for (const HardwareSensor& sensor : sensors) {
        if (sensor.kind != HardwareSensor::Kind::Temperature)
            continue;
        for (const QString& part : nameParts) {
            if (sensor.name.contains(part, Qt::CaseInsensitive))
                return sensor.value;
        }
    }
    return std::nullopt;
}

QList<HardwareSensor> ThermalSampler::readTemperatures() {
    QList<HardwareSensor> sensors;
    QSet<QString> namesSeen;
    for (const SensorRow& row : sensorTable()) {
        const QString key = QString::fromLatin1(row.key);
        const auto bytes = m_smc->readKey(key);
        const auto reading = bytes ? SMCValue::decodeTemperature(*bytes) : std::nullopt;
        if (!reading)
            continue;
        const QString name = QString::fromUtf8(row.name);
        if (namesSeen.contains(name))
            continue;
        namesSeen.insert(name);
        sensors.append({key, name, HardwareSensor::Kind::Temperature, *reading,
                        QStringLiteral("°C"), QString::fromUtf8(row.plain)});
    }
    std::stable_sort(
        sensors.begin(), sensors.end(),
        [](const HardwareSensor& a, const HardwareSensor& b) { return a.value > b.value; });
    return sensors;
}

std::optional<double> ThermalSampler::readFirstTemperature(const QStringList& keys) {
    for (const QString& key : keys) {
        const auto bytes = m_smc->readKey(key);
        if (const auto reading = bytes ? SMCValue::decodeTemperature(*bytes) : std::nullopt)
            return reading;
    }
    return std::nullopt;
}

std::optional<float> ThermalSampler::readFanValue(const QString& key) {
    const auto bytes = m_smc->readKey(key);
    if (!bytes)
        return std::nullopt;
    return SMCValue::decodeFanValue(*bytes);
}

std::optional<QString> ThermalSampler::readFanName(int index) {
    const auto bytes = m_smc->readKey(QStringLiteral("F%1ID").arg(index));
    if (!bytes)
        return std::nullopt;
    return SMCValue::decodeFanName(*bytes);
}

QList<FanReading> ThermalSampler::readFans() {
    QList<FanReading> fans;
    for (int i = 0; i < 4; ++i) {
        const auto speed = readFanValue(QStringLiteral("F%1Ac").arg(i));
        if (!speed)
            continue;
        // A speed that is not a finite whole number is no usable reading: no fan here.
        const auto rounded = SMCValue::roundToInt(*speed);
        if (!rounded)
            continue;
        FanReading fan;
        fan.id = i;
        fan.rpm = std::max(*rounded, 0);
        auto limit = [&](const char* field) -> std::optional<int> {
            const auto value =
                readFanValue(QStringLiteral("F%1%2").arg(i).arg(QLatin1String(field)));
            return value ? SMCValue::roundToInt(*value) : std::nullopt;
        };
        fan.minRPM = limit("Mn");
        fan.maxRPM = limit("Mx");
        fan.targetRPM = limit("Tg");
        fan.name = readFanName(i).value_or(QStringLiteral("Fan %1").arg(i + 1));
        fans.append(fan);
    }
    return fans;
}

ThermalSnapshot ThermalSampler::sample() {
    ThermalSnapshot snapshot;
    snapshot.pressure = m_pressure ? m_pressure() : ThermalSnapshot::Pressure::Unknown;
    snapshot.sensors = readTemperatures();
    snapshot.cpuCelsius = temperatureMatching(snapshot.sensors, cpuNames());
    if (!snapshot.cpuCelsius)
        snapshot.cpuCelsius = readFirstTemperature(cpuFallbackKeys());
    snapshot.gpuCelsius = temperatureMatching(snapshot.sensors, gpuNames());
    if (!snapshot.gpuCelsius)
        snapshot.gpuCelsius = readFirstTemperature(gpuFallbackKeys());
    snapshot.fans = readFans();
    for (const FanReading& fan : snapshot.fans) {
        if (fan.rpm > 0)
            snapshot.fanRPMs.append(fan.rpm);
    }
    return snapshot;
}
