#include "apps/UninstallerText.h"

#include "apps/AppUninstaller.h"
#include "platform/ByteFormat.h"
#include "platform/TextConstant.h"

namespace UninstallerText {

PENDREL_TEXT(title, "Uninstall")
PENDREL_TEXT(headline, "Uninstall apps completely")
PENDREL_TEXT(subtitle,
             "Removes the app and the support files, caches and settings it leaves behind.")
PENDREL_TEXT(rescan, "Rescan")
PENDREL_TEXT(askPrompt, "Ask what an app would leave behind")
PENDREL_TEXT(askQuestion, "How do I uninstall an app completely?")
PENDREL_TEXT(finding, "Finding your apps…")
PENDREL_TEXT(failedTitle, "Could not list apps")
PENDREL_TEXT(searchPlaceholder, "Search apps…")
PENDREL_TEXT(appListName, "Installed apps")
PENDREL_TEXT(pickTitle, "Pick an app")
PENDREL_TEXT(pickMessage, "Choose an app on the left to see what it would leave behind.")
PENDREL_TEXT(leftoversHeading, "Leftover files found")
PENDREL_TEXT(checking, "Checking for leftover files…")
PENDREL_TEXT(noLeftovers,
             "No extra files found beyond the app itself. Uninstalling just removes the app.")
PENDREL_TEXT(confirmMessage, "The app and the leftover files you ticked will be moved to the "
                             "Trash. You can put them back if you change your mind.")
PENDREL_TEXT(confirmVerb, "Move to Trash")

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
