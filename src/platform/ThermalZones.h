#pragma once

#include <optional>
#include <QList>
#include <QString>

// The kernel's thermal zones under <sysRoot>/class/thermal (thermal_zoneN folders only; cooling
// devices are skipped), in natural order. Temperatures are in millidegrees Celsius; a value
// outside absolute zero to 1000 °C counts as unreadable.
struct ThermalZone {
    QString folder; // "thermal_zone0"
    QString type;   // "acpitz", "x86_pkg_temp", ...
    std::optional<qint64> milliCelsius;
    struct Trip {
        QString type; // "active", "passive", "hot", "critical"
        qint64 milliCelsius = 0;
    };
    QList<Trip> trips; // trip points whose type and temperature both read
};

QList<ThermalZone> readThermalZones(const QString& sysRoot);
