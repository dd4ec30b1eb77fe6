#pragma once

#include "platform/RawValue.h"

// The safety grade of a cleanable item. A value type every layer shares: the cleaner tables in
// the models grade their categories with it, and TamsoSafetyBadge draws it.
enum class TamsoSafety { Safe, CheckFirst, Risky, Keep };

// Raw values "safe", "checkFirst", "risky", "keep" (case-sensitive; the badge text "Safe" is no
// grade).
QString rawValue(TamsoSafety safety);
template <> std::optional<TamsoSafety> fromRawValue<TamsoSafety>(const QString& raw);
template <> const QList<TamsoSafety>& allCases<TamsoSafety>();
// The badge text: "Safe", "Caution", "Risky", "Keep these".
QString title(TamsoSafety safety);
