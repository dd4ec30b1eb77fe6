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

namespace {
// Bounds far beyond any battery (a million cycles; a megawatt-hour, or a million ampere-hours),
// so only a driver's error values and planted files are refused.
constexpr qint64 maxCycles = 1'000'000;
constexpr qint64 maxStored = 1'000'000'000'000;
} // namespace

QList<PowerSupply> readPowerSupplies(const QString& sysRoot) {
    QList<PowerSupply> supplies;
    for (const KernelFiles::ClassFolder& folder :
         KernelFiles::classFolders(sysRoot, QLatin1String("power_supply"))) {
        const QString& dir = folder.path;
        auto text = [&](const char* attribute) {
            const auto line = KernelFiles::readLine(dir + QLatin1String(attribute));
            return line ? QString::fromUtf8(*line) : QString();
        };
        auto number = [&](const char* attribute, qint64 min, qint64 max) {
            return KernelFiles::readInteger(dir + QLatin1String(attribute), min, max);
        };
        PowerSupply supply;
        supply.name = folder.name;
        supply.type = text("type");
        if (supply.type.isEmpty())
            continue; // not a power supply folder
        supply.scope = text("scope");
        supply.status = text("status");
        if (const auto online = number("online", 0, 2)) // 2: online, charging programmable
            supply.online = *online != 0;
        supply.capacity = number("capacity", 0, 100);
        supply.cycleCount = number("cycle_count", 0, maxCycles);
        supply.energyFull = number("energy_full", 0, maxStored);
        supply.energyFullDesign = number("energy_full_design", 0, maxStored);
        supply.chargeFull = number("charge_full", 0, maxStored);
        supply.chargeFullDesign = number("charge_full_design", 0, maxStored);
        supplies.append(supply);
    }
    return supplies;
}
