#include "apps/SubscriptionsText.h"

namespace SubscriptionsText {

QString title() {
    return QStringLiteral("Subscriptions");
}
QString intro() {
    return QStringLiteral(
        "Pendrel notices software you pay for but rarely use, and services that overlap.");
}
QString examplesLine() {
    return QStringLiteral(
        "The cards below are examples of what Pendrel looks for, not findings from this computer.");
}

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
QString howTitle() {
    return QStringLiteral("How this works");
}
QString howText() {
    return QStringLiteral("Pendrel learns from which apps you actually open and how much "
                          "storage they use. Optional email integration for invoice detection "
                          "is planned — always privacy-controlled and off by default.");
}
QString reviewButton() {
    return QStringLiteral("Review installed apps");
}
QString reviewSection() {
    return QStringLiteral("uninstaller");
}

} // namespace SubscriptionsText
