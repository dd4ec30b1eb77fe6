#pragma once

#include "platform/RawValue.h"
#include <optional>

#include <QString>

// One curated sensor reading. Identified by `key` (the four-character controller key it was read
// from); two sensors are equal when all six fields are equal. The thermal sampler only makes
// `temperature` sensors with the unit "°C".
struct HardwareSensor {
    enum class Kind { Temperature, Fan, Power, Other };

    QString key;
    QString name;
    Kind kind = Kind::Other;
    double value = 0;
    QString unit;
    QString plain; // one plain-language line explaining what the sensor measures

    // "45°C", "1200 RPM", "3.5 W" or "1.2 <unit>", by kind (whole numbers for temperatures and
    // fans, one decimal otherwise).
    QString displayValue() const;

    bool operator==(const HardwareSensor&) const = default;
};

// The kind's raw value is its case name; any other string gives no kind.
QString rawValue(HardwareSensor::Kind kind);
template <>
std::optional<HardwareSensor::Kind> fromRawValue<HardwareSensor::Kind>(const QString& raw);
template <> const QList<HardwareSensor::Kind>& allCases<HardwareSensor::Kind>();
