#pragma once

#include <optional>
#include <QList>
#include <QString>

// The power supplies the kernel lists under <sysRoot>/class/power_supply, in name order.
// Every attribute is optional: drivers publish different subsets, and a missing or malformed
// file, or a number no battery can have (a capacity outside 0…100, a negative count), leaves
// its field absent.
struct PowerSupply {
    QString name;   // folder name ("BAT0", "AC", "hidpp_battery_0")
    QString type;   // "Battery", "Mains", "USB", "UPS", ...
    QString scope;  // "Device" for a peripheral's own battery (a mouse); usually empty
    QString status; // batteries: "Charging", "Discharging", "Full", "Not charging", "Unknown"
    std::optional<bool> online;     // mains and USB supplies: plugged in
    std::optional<qint64> capacity; // percent
    std::optional<qint64> cycleCount;
    std::optional<qint64> energyFull, energyFullDesign; // µWh
    std::optional<qint64> chargeFull, chargeFullDesign; // µAh

    bool isSystemBattery() const;
    bool isExternalPower() const; // mains, USB or wireless charger
};

QList<PowerSupply> readPowerSupplies(const QString& sysRoot);
