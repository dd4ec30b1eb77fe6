#include "vitals/SysfsPowerSource.h"

#include "platform/PowerSupplies.h"

SysfsPowerSource::SysfsPowerSource(QString sysRoot) : m_sysRoot(std::move(sysRoot)) {}

bool SysfsPowerSource::isOnExternalPower() const {
    bool hasBattery = false;
    bool discharging = false;
    bool hasCharger = false;
    bool chargerOnline = false;

    for (const PowerSupply& supply : readPowerSupplies(m_sysRoot)) {
        if (supply.scope.compare(QLatin1String("Device"), Qt::CaseInsensitive) == 0)
            continue;
        if (supply.type == QLatin1String("Battery") || supply.type == QLatin1String("UPS")) {
            hasBattery = true;
            if (supply.status == QLatin1String("Discharging"))
                discharging = true;
        } else if (supply.isExternalPower()) {
            hasCharger = true;
            if (supply.online.value_or(false))
                chargerOnline = true;
        }
    }

    if (!hasBattery || chargerOnline)
        return true;
    if (discharging || hasCharger)
        return false;
    return true;
}
