#include "platform/PowerSupplies.h"

#include "platform/KernelFiles.h"

bool PowerSupply::isSystemBattery() const {
    return type == QLatin1String("Battery") &&
           scope.compare(QLatin1String("Device"), Qt::CaseInsensitive) != 0;
}

bool PowerSupply::isExternalPower() const {
    return type == QLatin1String("Mains") || type.startsWith(QLatin1String("USB")) ||
           type == QLatin1String("Wireless");
}

QList<PowerSupply> readPowerSupplies(const QString& sysRoot) {
    const QString base = sysRoot + QStringLiteral("/class/power_supply/");
    QStringList names = KernelFiles::listDir(base);
    KernelFiles::sortNatural(names);
    QList<PowerSupply> supplies;
    for (const QString& name : names) {
        const QString dir = base + name + QLatin1Char('/');
        auto text = [&](const char* attribute) {
            const auto line = KernelFiles::readLine(dir + QLatin1String(attribute));
            return line ? QString::fromUtf8(*line) : QString();
        };
        auto number = [&](const char* attribute) {
            return KernelFiles::readInteger(dir + QLatin1String(attribute));
        };
        PowerSupply supply;
        supply.name = name;
        supply.type = text("type");
        if (supply.type.isEmpty())
            continue; // not a power supply folder
        supply.scope = text("scope");
        supply.status = text("status");
        if (const auto online = number("online"))
            supply.online = *online != 0;
        supply.capacity = number("capacity");
        supply.cycleCount = number("cycle_count");
        supply.energyFull = number("energy_full");
        supply.energyFullDesign = number("energy_full_design");
        supply.chargeFull = number("charge_full");
        supply.chargeFullDesign = number("charge_full_design");
        supplies.append(supply);
    }
    return supplies;
}
