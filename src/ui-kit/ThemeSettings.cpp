#include "ui-kit/ThemeSettings.h"

QString appAppearanceRawValue(AppAppearance appearance) {
    switch (appearance) {
    case AppAppearance::System:
        return QStringLiteral("Match macOS");
    case AppAppearance::Light:
        return QStringLiteral("Light");
    case AppAppearance::Dark:
        return QStringLiteral("Dark");
    }
    return QStringLiteral("Match macOS");
}

std::optional<AppAppearance> appAppearanceFromRawValue(const QString& raw) {
    for (AppAppearance a : allAppAppearances())
        if (appAppearanceRawValue(a) == raw)
            return a;
    return std::nullopt;
}

const QList<AppAppearance>& allAppAppearances() {
    static const QList<AppAppearance> all{AppAppearance::System, AppAppearance::Light,
                                          AppAppearance::Dark};
    return all;
}

QString accentChoiceRawValue(AccentChoice accent) {
    switch (accent) {
    case AccentChoice::Blue:
        return QStringLiteral("Blue");
    case AccentChoice::Purple:
        return QStringLiteral("Purple");
    case AccentChoice::Green:
        return QStringLiteral("Green");
    case AccentChoice::Orange:
        return QStringLiteral("Orange");
    case AccentChoice::Pink:
        return QStringLiteral("Pink");
    case AccentChoice::Teal:
        return QStringLiteral("Teal");
    }
    return QStringLiteral("Blue");
}

std::optional<AccentChoice> accentChoiceFromRawValue(const QString& raw) {
    for (AccentChoice a : allAccentChoices())
        if (accentChoiceRawValue(a) == raw)
            return a;
    return std::nullopt;
}

const QList<AccentChoice>& allAccentChoices() {
    static const QList<AccentChoice> all{AccentChoice::Blue,  AccentChoice::Purple,
                                         AccentChoice::Green, AccentChoice::Orange,
                                         AccentChoice::Pink,  AccentChoice::Teal};
    return all;
}

std::optional<ColorScheme> preferredColorScheme(const QJsonValue& storedAppearance) {
    if (!storedAppearance.isString())
        return std::nullopt;
    switch (
        appAppearanceFromRawValue(storedAppearance.toString()).value_or(AppAppearance::System)) {
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
    return accentChoiceFromRawValue(storedAccent.toString()).value_or(AccentChoice::Blue);
}
