#include "vitals/HwmonSMCClient.h"

#include "platform/KernelFiles.h"
#include "vitals/SMCValueCodec.h"

#include <algorithm>
#include <QRegularExpression>

namespace {

struct TemperatureRule {
    const char* chip;  // wildcard pattern on the chip name
    const char* label; // wildcard pattern on the channel label; "*" also matches no label
    const char* key;
};

// First matching rule wins for a channel.
const TemperatureRule temperatureRules[] = {
    {"coretemp", "Package id*", "TC0D"},
    {"coretemp", "Core *", "TC0F"},
    {"k10temp", "Tctl", "TC0D"},
    {"k10temp", "Tdie", "TC0D"},
    {"k10temp", "Tccd*", "TC0E"},
    {"zenpower", "Tctl", "TC0D"},
    {"zenpower", "Tdie", "TC0D"},
    {"zenpower", "Tccd*", "TC0E"},
    {"cpu_thermal", "*", "Te05"},
    {"soc_thermal", "*", "Te05"},
    {"acpitz", "*", "TC0P"},
    {"nct6*", "CPUTIN", "Tp0P"},
    {"it87*", "CPUTIN", "Tp0P"},
    {"amdgpu", "junction", "Tg0D"},
    {"amdgpu", "edge", "Tg05"},
    {"amdgpu", "mem", "Tg0P"},
    {"nouveau", "*", "TG0D"},
    {"radeon", "*", "TG0D"},
    {"dell_smm", "CPU", "TC0P"},
    {"dell_smm", "GPU", "TG0P"},
    {"dell_smm", "Ambient", "TA0P"},
    {"iwlwifi*", "*", "TW0P"},
    {"ath*", "*", "TW0P"},
    {"mt76*", "*", "TW0P"},
    {"mt79*", "*", "TW0P"},
    {"brcmfmac*", "*", "TW0P"},
    {"BAT*", "*", "TB0T"},
    {"*", "*skin*", "Ts0P"},
    {"*", "Ambient", "TA0P"},
};

bool wildcardMatches(const char* pattern, const QString& text) {
    if (qstrcmp(pattern, "*") == 0)
        return true;
    const QRegularExpression re(
        QRegularExpression::wildcardToRegularExpression(QString::fromLatin1(pattern)),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(text).hasMatch();
}

const char* keyFor(const QString& chip, const QString& label) {
    for (const TemperatureRule& rule : temperatureRules) {
        if (wildcardMatches(rule.chip, chip) && wildcardMatches(rule.label, label))
            return rule.key;
    }
    return nullptr;
}

// What a value file may hold to count as a reading: temperatures in millidegrees from absolute
// zero to 1000 °C, fan speeds and limits in RPM up to a million. Anything else is a driver's
// error value or a planted file, and no reading.
constexpr qint64 lowestMilliCelsius = -273'150;
constexpr qint64 highestMilliCelsius = 1'000'000;
constexpr qint64 highestRpm = 1'000'000;

// A value file as a number within min…max, or none.
std::optional<qint64> readNumber(const QString& path, qint64 min, qint64 max) {
    if (path.isEmpty())
        return std::nullopt;
    return KernelFiles::readInteger(path, min, max);
}

} // namespace

HwmonSMCClient::HwmonSMCClient(const QString& sysRoot) {
    build(readHwmonChips(sysRoot));
}

HwmonSMCClient::HwmonSMCClient(const QList<HwmonChip>& chips) {
    build(chips);
}

void HwmonSMCClient::build(const QList<HwmonChip>& chips) {
    // Wide enough that no sum of fan numbers can wrap, whatever a layout claims.
    qint64 base = 0;
    for (const HwmonChip& chip : chips) {
        // Where an AMD chip reports both, Tctl is the fan-control value, offset 10 to 27 °C
        // above the die on some parts; only Tdie is the package's temperature.
        const bool hasTdie = std::any_of(
            chip.temperatures.cbegin(), chip.temperatures.cend(),
            [](const HwmonChip::Temperature& t) { return t.label == QLatin1String("Tdie"); });
        for (const HwmonChip::Temperature& temp : chip.temperatures) {
            if (hasTdie && temp.label == QLatin1String("Tctl"))
                continue;
            if (const char* key = keyFor(chip.name, temp.label))
                m_temperatureInputs[QString::fromLatin1(key)].append(temp.inputPath);
        }
        qint64 highest = 0;
        for (const HwmonChip::Fan& fan : chip.fans) {
            if (fan.index < 1)
                continue;
            highest = std::max<qint64>(highest, fan.index);
            const qint64 slot = base + fan.index - 1;
            if (slot < fanSlots && !fan.inputPath.isEmpty())
                m_fans[slot] = {true, fan};
        }
        base = std::min<qint64>(base + highest, fanSlots);
    }
    m_open = !m_temperatureInputs.isEmpty();
    for (const FanSlot& slot : m_fans)
        m_open = m_open || slot.present;
}

std::optional<QByteArray> HwmonSMCClient::readKey(const QString& key) {
    if (!m_open || key.toUtf8().size() != 4)
        return std::nullopt;

    // Fan keys: F<digit><field>.
    static const QRegularExpression fanKey(QStringLiteral("^F([0-9])(Ac|Mn|Mx|Tg|ID)$"));
    const auto match = fanKey.match(key);
    if (match.hasMatch())
        return readFanKey(match.captured(1).toInt(), match.captured(2));

    const auto inputs = m_temperatureInputs.constFind(key);
    if (inputs == m_temperatureInputs.cend())
        return std::nullopt;
    std::optional<qint64> hottest;
    for (const QString& path : *inputs) {
        if (const auto milli = readNumber(path, lowestMilliCelsius, highestMilliCelsius))
            hottest = std::max(hottest.value_or(*milli), *milli);
    }
    if (!hottest)
        return std::nullopt;
    return SMCValue::encodeTemperature(double(*hottest) / 1000.0);
}

std::optional<QByteArray> HwmonSMCClient::readFanKey(int slot, const QString& field) const {
    if (slot < 0 || slot >= fanSlots || !m_fans[slot].present)
        return std::nullopt;
    const HwmonChip::Fan& fan = m_fans[slot].fan;
    if (field == QLatin1String("ID")) {
        if (fan.label.isEmpty() || fan.label.size() > 32)
            return std::nullopt;
        for (QChar c : fan.label) {
            if (c.unicode() < 32 || c.unicode() > 126)
                return std::nullopt; // not plain ASCII: the default name is clearer
        }
        QByteArray bytes = fan.label.toLatin1();
        while (bytes.size() < 4)
            bytes.append('\0'); // short labels ("CPU") still make a whole value
        return bytes;
    }
    const QString& path = field == QLatin1String("Ac")   ? fan.inputPath
                          : field == QLatin1String("Mn") ? fan.minPath
                          : field == QLatin1String("Mx") ? fan.maxPath
                                                         : fan.targetPath;
    const auto value = readNumber(path, 0, highestRpm);
    if (!value)
        return std::nullopt;
    return SMCValue::encodeFloat(float(*value));
}
