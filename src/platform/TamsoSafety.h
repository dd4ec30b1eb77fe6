#pragma once

#include <optional>
#include <QString>

// The safety grade of a cleanable item. Header-only and QtCore-only, so the cleaner tables in
// the models can grade their categories with it; TamsoSafetyBadge draws it.
enum class TamsoSafety { Safe, CheckFirst, Risky, Keep };

// "safe", "checkFirst", "risky", "keep".
inline QString tamsoSafetyRawValue(TamsoSafety safety) {
    switch (safety) {
    case TamsoSafety::Safe:
        return QStringLiteral("safe");
    case TamsoSafety::CheckFirst:
        return QStringLiteral("checkFirst");
    case TamsoSafety::Risky:
        return QStringLiteral("risky");
    case TamsoSafety::Keep:
        return QStringLiteral("keep");
    }
    return QStringLiteral("safe");
}

// Exactly one of the four raw values (case-sensitive); the badge text "Safe" is no grade.
inline std::optional<TamsoSafety> tamsoSafetyFromRawValue(const QString& raw) {
    for (TamsoSafety s :
         {TamsoSafety::Safe, TamsoSafety::CheckFirst, TamsoSafety::Risky, TamsoSafety::Keep})
        if (tamsoSafetyRawValue(s) == raw)
            return s;
    return std::nullopt;
}

// "Safe", "Caution", "Risky", "Keep these".
inline QString tamsoSafetyBadgeText(TamsoSafety safety) {
    switch (safety) {
    case TamsoSafety::Safe:
        return QStringLiteral("Safe");
    case TamsoSafety::CheckFirst:
        return QStringLiteral("Caution");
    case TamsoSafety::Risky:
        return QStringLiteral("Risky");
    case TamsoSafety::Keep:
        return QStringLiteral("Keep these");
    }
    return QString();
}
