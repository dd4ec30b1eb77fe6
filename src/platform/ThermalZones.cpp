#include "platform/ThermalZones.h"

#include "platform/KernelFiles.h"

QList<ThermalZone> readThermalZones(const QString& sysRoot) {
    const QString base = sysRoot + QStringLiteral("/class/thermal/");
    QStringList folders = KernelFiles::listDir(base);
    KernelFiles::sortNatural(folders);
    QList<ThermalZone> zones;
    for (const QString& folder : folders) {
        if (!folder.startsWith(QLatin1String("thermal_zone")))
            continue;
        const QString dir = base + folder + QLatin1Char('/');
        ThermalZone zone;
        zone.folder = folder;
        if (const auto type = KernelFiles::readLine(dir + QStringLiteral("type")))
            zone.type = QString::fromUtf8(*type);
        zone.milliCelsius = KernelFiles::readInteger(dir + QStringLiteral("temp"));
        // Trip points are numbered from 0 without gaps.
        for (int i = 0; i < 64; ++i) {
            const auto type =
                KernelFiles::readLine(dir + QStringLiteral("trip_point_%1_type").arg(i));
            if (!type)
                break;
            const auto temp =
                KernelFiles::readInteger(dir + QStringLiteral("trip_point_%1_temp").arg(i));
            if (temp)
                zone.trips.append({QString::fromUtf8(*type), *temp});
        }
        zones.append(zone);
    }
    return zones;
}
