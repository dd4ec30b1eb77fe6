#include "platform/ThermalZones.h"

#include "platform/KernelFiles.h"

namespace {
// Absolute zero to 1000 °C; anything else is a driver's error value, not a temperature.
constexpr qint64 lowestMilli = -273'150;
constexpr qint64 highestMilli = 1'000'000;
} // namespace

QList<ThermalZone> readThermalZones(const QString& sysRoot) {
    QList<ThermalZone> zones;
    for (const KernelFiles::ClassFolder& folder :
         KernelFiles::classFolders(sysRoot, QLatin1String("thermal"))) {
        if (!folder.name.startsWith(QLatin1String("thermal_zone")))
            continue;
        const QString& dir = folder.path;
        ThermalZone zone;
        zone.folder = folder.name;
        if (const auto type = KernelFiles::readLine(dir + QStringLiteral("type")))
            zone.type = QString::fromUtf8(*type);
        zone.milliCelsius =
            KernelFiles::readInteger(dir + QStringLiteral("temp"), lowestMilli, highestMilli);
        // Trip points are numbered from 0 without gaps.
        for (int i = 0; i < 64; ++i) {
            const auto type =
                KernelFiles::readLine(dir + QStringLiteral("trip_point_%1_type").arg(i));
            if (!type)
                break;
            const auto temp = KernelFiles::readInteger(
                dir + QStringLiteral("trip_point_%1_temp").arg(i), lowestMilli, highestMilli);
            if (temp)
                zone.trips.append({QString::fromUtf8(*type), *temp});
        }
        zones.append(zone);
    }
    return zones;
}
