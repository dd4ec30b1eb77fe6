#include "vitals/HardwareSensor.h"

#include "platform/RawValueTable.h"
#include "vitals/DecimalFormat.h"

QString HardwareSensor::displayValue() const {
    switch (kind) {
    case Kind::Temperature:
        return fixedDecimal(value, 0) + QStringLiteral("°C");
    case Kind::Fan:
        return fixedDecimal(value, 0) + QStringLiteral(" RPM");
    case Kind::Power:
        return fixedDecimal(value, 1) + QStringLiteral(" W");
    case Kind::Other:
        break;
    }
    return fixedDecimal(value, 1) + QLatin1Char(' ') + unit;
}

namespace {
constexpr std::array<const char*, 4> kindNames = {"temperature", "fan", "power", "other"};
}

QString rawValue(HardwareSensor::Kind kind) {
    return RawValueDetail::rawValueOf(kindNames, kind);
}

template <>
std::optional<HardwareSensor::Kind> fromRawValue<HardwareSensor::Kind>(const QString& raw) {
    return RawValueDetail::fromRaw<HardwareSensor::Kind>(kindNames, raw);
}

template <> const QList<HardwareSensor::Kind>& allCases<HardwareSensor::Kind>() {
    static const QList<HardwareSensor::Kind> cases =
        RawValueDetail::casesOf<HardwareSensor::Kind>(kindNames);
    return cases;
}
