#pragma once

#include <optional>
#include <QList>
#include <QString>

// The text form of the app's small enumerations: what notifications carry and what the screens
// are asked to show. Each enumeration declares its own specialisations next to its type.
//
// fromRawValue<E>(text) accepts exactly the raw values of E, compared case-sensitively, and gives
// nothing for any other text (no trimming, no case folding). allCases<E>() lists every case in
// declaration order. rawValue(value) is overloaded per enumeration.
template <typename E> std::optional<E> fromRawValue(const QString& raw);
template <typename E> const QList<E>& allCases();
