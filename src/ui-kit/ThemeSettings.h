#pragma once

#include "platform/RawValue.h"

#include <optional>
#include <QJsonValue>
#include <QList>
#include <QString>

// The three look settings kept in the user defaults, and how a stored value reads. Nothing here
// touches a widget; Themed applies the result.
namespace ThemeKeys {
inline const QString Appearance = QStringLiteral("theme.appearance"); // text, "Match macOS"
inline const QString Accent = QStringLiteral("theme.accent");         // text, "Blue"
inline const QString FontSize = QStringLiteral("theme.fontSize");     // integer step, 2
} // namespace ThemeKeys

enum class ColorScheme { Light, Dark };

// Follow the system, always light, always dark.
enum class AppAppearance { System, Light, Dark };
// Raw values "Match macOS", "Light", "Dark" (stored; exact match only: "dark" or " Dark" is no
// appearance). The title is what the picker shows: the raw value, except "Match system" for the
// case that follows the desktop.
QString rawValue(AppAppearance appearance);
QString title(AppAppearance appearance);
template <> std::optional<AppAppearance> fromRawValue<AppAppearance>(const QString& raw);
template <> const QList<AppAppearance>& allCases<AppAppearance>();

// The six accent colours, in the order every list shows them.
enum class AccentChoice { Blue, Purple, Green, Orange, Pink, Teal };
// Raw values are the names: "Blue" … "Teal".
QString rawValue(AccentChoice accent);
template <> std::optional<AccentChoice> fromRawValue<AccentChoice>(const QString& raw);
template <> const QList<AccentChoice>& allCases<AccentChoice>();

// The scheme a stored "theme.appearance" asks for: Light or Dark for exactly "Light" or "Dark";
// nothing (follow the system) for "Match macOS", a missing or non-text value, or any other text.
std::optional<ColorScheme> preferredColorScheme(const QJsonValue& storedAppearance);

// The accent a stored "theme.accent" gives: an exact raw value, else Blue. Nothing is rewritten.
AccentChoice effectiveAccent(const QJsonValue& storedAccent);
