#include "vitals/ThermalPressure.h"

#include <algorithm>

namespace {

using Pressure = ThermalSnapshot::Pressure;

int severity(Pressure p) {
    switch (p) {
    case Pressure::Unknown:
        return 0;
    case Pressure::Nominal:
        return 1;
    case Pressure::Fair:
        return 2;
    case Pressure::Serious:
        return 3;
    case Pressure::Critical:
        return 4;
    }
    return 0;
}

std::optional<Pressure> judgeZone(const ThermalZone& zone) {
    if (!zone.milliCelsius)
        return std::nullopt;
    std::optional<qint64> passive, critical;
    for (const ThermalZone::Trip& trip : zone.trips) {
        if (trip.milliCelsius <= 0)
            continue;
        if (trip.type == QLatin1String("passive"))
            passive = std::min(passive.value_or(trip.milliCelsius), trip.milliCelsius);
        else if (trip.type == QLatin1String("hot") || trip.type == QLatin1String("critical"))
            critical = std::min(critical.value_or(trip.milliCelsius), trip.milliCelsius);
    }
    if (!passive && !critical)
        return std::nullopt;
    const qint64 t = *zone.milliCelsius;
    if (critical && t >= *critical)
        return Pressure::Critical;
    if (passive && t >= *passive)
        return Pressure::Serious;
    if ((passive && t >= *passive - 10'000) || (critical && t >= *critical - 20'000))
        return Pressure::Fair;
    return Pressure::Nominal;
}

} // namespace

ThermalSnapshot::Pressure judgeThermalPressure(const QList<ThermalZone>& zones) {
    Pressure worst = Pressure::Unknown;
    for (const ThermalZone& zone : zones) {
        if (const auto p = judgeZone(zone); p && severity(*p) > severity(worst))
            worst = *p;
    }
    return worst;
}

ThermalSnapshot::Pressure readThermalPressure(const QString& sysRoot) {
    return judgeThermalPressure(readThermalZones(sysRoot));
}
