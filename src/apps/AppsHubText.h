#pragma once

#include "platform/SymbolName.h"

#include <QList>
#include <QString>

// The Apps section's overview: fixed words, three cards that lead to the application tools and
// a box that explains what an uninstall removes.
namespace AppsHubText {

// What a card's button does.
enum class CardAction { ShowUninstallPane, OpenStartup, OpenSubscriptions };

struct Card {
    QString title;
    SymbolName icon;
    QString blurb;
    QString button;
    CardAction action;
};

struct ExplainRow {
    QString title;
    QString detail;
};

QString title(); // "Apps"
QString askPrompt();
QString askQuestion();
QString headline();
QString subtitle();
QString explainTitle();
// "Smart uninstall", "Startup", "Subscriptions", in this order.
QList<Card> cards();
// "Application", "Support files", "Shared files", "Estimated recovery", in this order.
QList<ExplainRow> explainRows();

// The section a card opens, or empty for the card that switches the pane.
QString sectionFor(CardAction action);

} // namespace AppsHubText
