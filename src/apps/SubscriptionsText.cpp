#include "apps/SubscriptionsText.h"

#include "platform/TextConstant.h"

namespace SubscriptionsText {

PENDREL_TEXT(title, "Subscriptions")
PENDREL_TEXT(intro, "Pendrel will notice software you pay for but rarely use, and services that "
                    "overlap, once it can tell which apps you open.")
PENDREL_TEXT(
    examplesLine,
    "The cards below are examples of what Pendrel looks for, not findings from this computer.")

QList<Insight> insights() {
    return {
        {QStringLiteral("Adobe Creative Cloud"), false,
         QStringLiteral("Photoshop not opened in 9 months"), QStringLiteral("£240/year"),
         QStringLiteral("Review whether you still need the full suite.")},
        {QStringLiteral("Dropbox"), true,
         QStringLiteral("18 GB used — you already have 2 TB iCloud"),
         QStringLiteral("Potential saving £120/year"),
         QStringLiteral("Consider consolidating cloud storage.")},
        {QStringLiteral("Microsoft Office"), false,
         QStringLiteral("Never launched — licence active"),
         QStringLiteral("Check your subscription"),
         QStringLiteral("Open once to confirm you need it, or cancel.")},
    };
}

QString badge(bool saving) {
    return saving ? QStringLiteral("Potential saving") : QStringLiteral("Worth reviewing");
}
PENDREL_TEXT(howTitle, "How this works")
PENDREL_TEXT(howText, "For now the cards are fixed examples: Pendrel does not yet track which "
                      "apps you open or how much storage they use. Optional email integration "
                      "for invoice detection is planned — always privacy-controlled and off by "
                      "default.")
PENDREL_TEXT(reviewButton, "Review installed apps")
PENDREL_TEXT(reviewSection, "uninstaller")

} // namespace SubscriptionsText
