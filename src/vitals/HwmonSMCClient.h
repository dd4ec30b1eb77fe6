#pragma once

#include "platform/Hwmon.h"
#include "vitals/SMCClient.h"

#include <QHash>
#include <QList>

// The Linux backend of the sensor-controller client: it answers the controller's keys from the
// kernel's hardware-monitoring chips (<sysRoot>/class/hwmon), so the thermal sampler's key
// table, decoding and curation apply unchanged.
//
// Opening reads the chips' layout once; every read then reads the current value files. The
// client is closed when no chip exposes a temperature or a fan.
//
// Temperature keys (answered as signed 8.8 fixed point; several inputs behind one key give the
// hottest that reads):
//   coretemp "Package id N" → TC0D (CPU package), "Core N" → TC0F (CPU die)
//   k10temp / zenpower "Tdie" → TC0D, else "Tctl" → TC0D; "TccdN" → TC0E (CPU diode)
//   cpu_thermal / soc_thermal (single-chip systems) → Te05 (SoC)
//   acpitz → TC0P (CPU proximity); Super I/O (nct67xx, it87) "CPUTIN" → Tp0P
//   amdgpu "junction" → Tg0D (GPU die), "edge" → Tg05 (GPU), "mem" → Tg0P (GPU proximity)
//   nouveau / radeon → TG0D (GPU die)
//   dell_smm "CPU" → TC0P, "GPU" → TG0P, "Ambient" → TA0P
//   wireless chips (iwlwifi, ath*, mt76*, brcmfmac) → TW0P; a battery's chip (BAT*) → TB0T
//   any label containing "skin" → Ts0P; any label "Ambient" → TA0P
// Other channels (drives, memory, chipsets) have no key and are not shown.
//
// Fan keys: the fans of all chips in chip order, each chip's fanN at slot base + N − 1 (base is
// the sum of the earlier chips' highest fan numbers), so a fan missing from the middle of a chip
// leaves a gap. Slots 0 to 3 answer "F<slot>Ac" (fanN_input), "F<slot>Mn", "F<slot>Mx",
// "F<slot>Tg" (fanN_min, _max, _target) as little-endian floats, and "F<slot>ID" with the
// fan's label when it is printable ASCII.
//
// A value file counts only when it holds a whole number a sensor can have: temperatures from
// absolute zero to 1000 °C, fan speeds and limits from 0 to a million RPM; anything else reads
// as nothing, so a broken driver or a planted file cannot feed absurd figures to the screens.
class HwmonSMCClient final : public SMCClient {
public:
    explicit HwmonSMCClient(const QString& sysRoot);
    // For tests: answers from an already read layout.
    explicit HwmonSMCClient(const QList<HwmonChip>& chips);

    bool isOpen() const override { return m_open; }
    std::optional<QByteArray> readKey(const QString& key) override;

    static constexpr int fanSlots = 4;

private:
    void build(const QList<HwmonChip>& chips);
    std::optional<QByteArray> readFanKey(int slot, const QString& field) const;

    bool m_open = false;
    QHash<QString, QStringList> m_temperatureInputs; // key → tempN_input paths
    struct FanSlot {
        bool present = false;
        HwmonChip::Fan fan;
    };
    FanSlot m_fans[fanSlots];
};
