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

PENDREL_RAW_VALUES(HardwareSensor::Kind, kindNames)
