#pragma once

#include "vitals/PowerSource.h"

// A power source the caller switches between mains and battery: it reads the flag it was given,
// or its own (on mains) when given none.
class FakePowerSource : public PowerSource {
public:
    explicit FakePowerSource(bool* onExternalPower = nullptr)
        : m_flag(onExternalPower ? onExternalPower : &m_own) {}
    bool isOnExternalPower() const override { return *m_flag; }

private:
    bool m_own = true;
    bool* m_flag;
};
