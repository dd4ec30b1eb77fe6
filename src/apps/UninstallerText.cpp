#include "apps/UninstallerText.h"

#include "apps/AppUninstaller.h"
#include "platform/ByteFormat.h"

namespace UninstallerText {

QString title() {
    return QStringLiteral("Uninstall");
}
QString headline() {
    return QStringLiteral("Uninstall apps completely");
}
QString subtitle() {
    return QStringLiteral(
        "Removes the app and the support files, caches and settings it leaves behind.");
}
QString rescan() {
    return QStringLiteral("Rescan");
}
QString askPrompt() {
    return QStringLiteral("Ask what an app would leave behind");
}
QString askQuestion() {
    return QStringLiteral("How do I uninstall an app completely?");
}
QString finding() {
    return QStringLiteral("Finding your apps…");
}
QString failedTitle() {
    return QStringLiteral("Could not list apps");
}
QString searchPlaceholder() {
    return QStringLiteral("Search apps…");
}
QString pickTitle() {
    return QStringLiteral("Pick an app");
}
QString pickMessage() {
    return QStringLiteral("Choose an app on the left to see what it would leave behind.");
}
QString leftoversHeading() {
    return QStringLiteral("Leftover files found");
}
QString checking() {
    return QStringLiteral("Checking for leftover files…");
}
QString noLeftovers() {
    return QStringLiteral(
        "No extra files found beyond the app itself. Uninstalling just removes the app.");
}
QString confirmMessage() {
    return QStringLiteral("The app and the leftover files you ticked will be moved to the "
                          "Trash. You can put them back if you change your mind.");
}
QString confirmVerb() {
    return QStringLiteral("Move to Trash");
}

QString uninstallButton(qint64 appBytes, qint64 leftoverBytes) {
    return QStringLiteral("Uninstall · ") + formatBytes(appBytes + leftoverBytes);
}

QString identityLine(const InstalledApp& app) {
    return app.bundleID ? *app.bundleID : app.path();
}

QList<InstalledApp> filteredApps(const QList<InstalledApp>& apps, const QString& search) {
    if (search.isEmpty())
        return apps;
    QList<InstalledApp> out;
    for (const InstalledApp& app : apps) {
        if (app.name.contains(search, Qt::CaseInsensitive))
            out.append(app);
    }
    return out;
}

QString confirmTitle(const std::optional<QString>& appName, int tickedLeftovers) {
    if (!appName)
        return QStringLiteral("Uninstall?");
    return QStringLiteral("Uninstall %1 and %2 leftover item%3?")
        .arg(*appName, QString::number(tickedLeftovers),
             tickedLeftovers == 1 ? QString() : QStringLiteral("s"));
}

QString resultText(const UninstallOutcome& outcome, const QString& appName) {
    if (!outcome.appRemoved)
        return QStringLiteral("Couldn't remove %1. It may still be open, or need admin "
                              "permission. Quit it fully and try again.")
            .arg(appName);
    if (outcome.failures.isEmpty())
        return QStringLiteral("Removed %1 · freed %2")
            .arg(appName, formatBytes(outcome.freedBytes));
    return QStringLiteral("Removed %1 · %2 leftover item(s) skipped")
        .arg(appName, QString::number(outcome.failures.size()));
}

QString leftoverDetail(const LeftoverItem& item) {
    return item.category + QStringLiteral(" · ") + item.path;
}

QString leftoverMeta(LeftoverItem::Confidence confidence) {
    return confidence == LeftoverItem::Confidence::High
               ? QStringLiteral("Matched to this app.")
               : QStringLiteral("Name match only — check before removing.");
}

TamsoSafety leftoverSafety(LeftoverItem::Confidence confidence) {
    return confidence == LeftoverItem::Confidence::High ? TamsoSafety::Safe
                                                        : TamsoSafety::CheckFirst;
}

} // namespace UninstallerText
