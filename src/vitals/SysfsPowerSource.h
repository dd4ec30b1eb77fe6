#pragma once

#include "vitals/PowerSource.h"

#include <QString>

// Decides from the kernel's power supplies under <sysRoot>/class/power_supply (read through
// readPowerSupplies). Supplies whose scope is "Device" (a mouse's or a headset's battery) are
// not the machine's and are skipped.
//
// Decision, first rule that applies:
// 1. no battery (type Battery or UPS) of the machine: external power (a desktop);
// 2. any charger (Mains, USB…, Wireless) online: external power;
// 3. any battery whose status is "Discharging": on battery;
// 4. chargers are listed but none is online: on battery;
// 5. otherwise (a battery, no charger information, not discharging): external power.
class SysfsPowerSource : public PowerSource {
public:
    explicit SysfsPowerSource(QString sysRoot = QStringLiteral("/sys"));
    bool isOnExternalPower() const override;

private:
    QString m_sysRoot;
};
