#include "ui-kit/ThemeSettings.h"

#include "platform/RawValueTable.h"

namespace {

constexpr std::array<const char*, 3> kAppearances = {"Match macOS", "Light", "Dark"};
constexpr std::array<const char*, 6> kAccents = {"Blue",   "Purple", "Green",
                                                 "Orange", "Pink",   "Teal"};

} // namespace

QString rawValue(AppAppearance appearance) {
    return RawValueDetail::rawValueOf(kAppearances, appearance);
}

QString title(AppAppearance appearance) {
    // "Match macOS" stays the stored value; what the picker shows names what it follows here.
    if (appearance == AppAppearance::System)
        return QStringLiteral("Match system");
    return rawValue(appearance);
}

template <> std::optional<AppAppearance> fromRawValue<AppAppearance>(const QString& raw) {
    return RawValueDetail::fromRaw<AppAppearance>(kAppearances, raw);
}

template <> const QList<AppAppearance>& allCases<AppAppearance>() {
    static const QList<AppAppearance> cases = RawValueDetail::casesOf<AppAppearance>(kAppearances);
    return cases;
}

QString rawValue(AccentChoice accent) {
    return RawValueDetail::rawValueOf(kAccents, accent);
}

template <> std::optional<AccentChoice> fromRawValue<AccentChoice>(const QString& raw) {
    return RawValueDetail::fromRaw<AccentChoice>(kAccents, raw);
}

template <> const QList<AccentChoice>& allCases<AccentChoice>() {
    static const QList<AccentChoice> cases = RawValueDetail::casesOf<AccentChoice>(kAccents);
    return cases;
}

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
