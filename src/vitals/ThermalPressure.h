#pragma once

#include "platform/ThermalZones.h"
#include "vitals/ThermalSnapshot.h"

// The system's thermal pressure judged from the kernel's thermal zones and their trip points.
// Each zone with a readable temperature and at least one usable trip (above 0 °C; drivers
// publish 0 or below for a disabled trip) is judged on its own, and the worst zone wins:
//   critical  at or above its lowest "hot" or "critical" trip (the kernel is about to act)
//   serious   at or above its lowest "passive" trip (the kernel is throttling)
//   fair      within 10 °C below a passive trip, or within 20 °C below a hot/critical trip
//   nominal   otherwise
// "active" trips only switch fan levels and are not pressure. With no zone that can be judged
// (no zones at all, no readable temperature, or no usable trips) the pressure is `unknown`.
ThermalSnapshot::Pressure judgeThermalPressure(const QList<ThermalZone>& zones);

// Reads <sysRoot>/class/thermal and judges it.
ThermalSnapshot::Pressure readThermalPressure(const QString& sysRoot);
