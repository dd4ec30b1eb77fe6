#pragma once

// Where the machine draws its power from, as keep-awake's "only while on power" rule needs it.
class PowerSource {
public:
    virtual ~PowerSource() = default;
    // True when the machine runs on external power, and also when that cannot be told (no
    // power-supply information, a desktop without a battery): only a positive sign of running
    // on battery gives false.
    virtual bool isOnExternalPower() const = 0;
};
