#include "ui-kit/ThemeSettings.h"

#include "platform/RawValueTable.h"

namespace {

constexpr std::array<const char*, 3> kAppearances = {"Match macOS", "Light", "Dark"};
constexpr std::array<const char*, 6> kAccents = {"Blue",   "Purple", "Green",
                                                 "Orange", "Pink",   "Teal"};

} // namespace

PENDREL_RAW_VALUES(AppAppearance, kAppearances)

QString title(AppAppearance appearance) {
    // "Match macOS" stays the stored value; what the picker shows names what it follows here.
    if (appearance == AppAppearance::System)
        return QStringLiteral("Match system");
    return rawValue(appearance);
}

PENDREL_RAW_VALUES(AccentChoice, kAccents)

std::optional<ColorScheme> preferredColorScheme(const QJsonValue& storedAppearance) {
    if (!storedAppearance.isString())
        return std::nullopt;
    switch (
        fromRawValue<AppAppearance>(storedAppearance.toString()).value_or(AppAppearance::System)) {
    case AppAppearance::Light:
        return ColorScheme::Light;
    case AppAppearance::Dark:
        return ColorScheme::Dark;
    case AppAppearance::System:
        break;
    }
    return std::nullopt;
}

AccentChoice effectiveAccent(const QJsonValue& storedAccent) {
    if (!storedAccent.isString())
        return AccentChoice::Blue;
    return fromRawValue<AccentChoice>(storedAccent.toString()).value_or(AccentChoice::Blue);
}
