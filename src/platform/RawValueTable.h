#pragma once

#include "platform/RawValue.h"

#include <array>
#include <cstddef>

// Implementation helper for enumerations whose cases run from 0 without gaps: the raw values
// are listed in declaration order, so a case's raw value is the entry at its index.
namespace RawValueDetail {

template <typename E, std::size_t N>
QString rawValueOf(const std::array<const char*, N>& names, E value) {
    const auto index = static_cast<std::size_t>(value);
    return index < N ? QString::fromLatin1(names[index]) : QString();
}

template <typename E, std::size_t N>
std::optional<E> fromRaw(const std::array<const char*, N>& names, const QString& raw) {
    for (std::size_t i = 0; i < N; ++i) {
        if (raw == QLatin1String(names[i]))
            return static_cast<E>(i);
    }
    return std::nullopt;
}

template <typename E, std::size_t N> QList<E> casesOf(const std::array<const char*, N>&) {
    QList<E> cases;
    for (std::size_t i = 0; i < N; ++i)
        cases.append(static_cast<E>(i));
    return cases;
}

} // namespace RawValueDetail

// Defines rawValue(E), fromRawValue<E> and allCases<E> from a table of raw values in declaration
// order, at namespace scope in the .cpp that owns E's texts:
//   constexpr std::array<const char*, 3> kModes = {"overview", "sensors", "fans"};
//   PENDREL_RAW_VALUES(PerformanceMode, kModes)
#define PENDREL_RAW_VALUES(E, table)                                                               \
    QString rawValue(E value) {                                                                    \
        return RawValueDetail::rawValueOf(table, value);                                           \
    }                                                                                              \
    template <> std::optional<E> fromRawValue<E>(const QString& raw) {                             \
        return RawValueDetail::fromRaw<E>(table, raw);                                             \
    }                                                                                              \
    template <> const QList<E>& allCases<E>() {                                                    \
        static const QList<E> cases = RawValueDetail::casesOf<E>(table);                           \
        return cases;                                                                              \
    }
