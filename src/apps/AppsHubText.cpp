#include "apps/AppsHubText.h"

#include "platform/TextConstant.h"

namespace AppsHubText {

PENDREL_TEXT(title, "Apps")
PENDREL_TEXT(askPrompt, "Ask about unused apps or leftovers")
PENDREL_TEXT(askQuestion, "Which apps can I safely uninstall?")
PENDREL_TEXT(headline, "Application Intelligence")
PENDREL_TEXT(subtitle, "Smart uninstall with confidence scores. See support files, shared "
                       "files and estimated recovery before you remove anything.")
PENDREL_TEXT(explainTitle, "How Pendrel uninstalls")

QList<Card> cards() {
    return {
        {QStringLiteral("Smart uninstall"), "app.badge"_sym,
         QStringLiteral("Find leftovers in the settings, data and cache folders. Estimated "
                        "recovery before you confirm."),
         QStringLiteral("Open"), CardAction::ShowUninstallPane},
        {QStringLiteral("Startup"), "power"_sym,
         QStringLiteral("See what launches when you log in. Every item costs startup time and "
                        "memory."),
         QStringLiteral("Open"), CardAction::OpenStartup},
        {QStringLiteral("Subscriptions"), "creditcard"_sym,
         QStringLiteral("What Pendrel will look for in software you pay for: rarely opened "
                        "apps and services that overlap."),
         QStringLiteral("Open"), CardAction::OpenSubscriptions},
    };
}

QList<ExplainRow> explainRows() {
    return {
        {QStringLiteral("Application"), QStringLiteral("The app itself")},
        {QStringLiteral("Support files"), QStringLiteral("Settings, caches, app data")},
        {QStringLiteral("Shared files"),
         QStringLiteral("Used by more than one app — Pendrel flags these")},
        {QStringLiteral("Estimated recovery"), QStringLiteral("What you get back if you confirm")},
    };
}

QString sectionFor(CardAction action) {
    switch (action) {
    case CardAction::OpenStartup:
        return QStringLiteral("startup");
    case CardAction::OpenSubscriptions:
        return QStringLiteral("subscriptions");
    case CardAction::ShowUninstallPane:
        break;
    }
    return {};
}

} // namespace AppsHubText
