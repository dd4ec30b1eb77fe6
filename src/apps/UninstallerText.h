#pragma once

#include "apps/InstalledApp.h"
#include "apps/LeftoverItem.h"
#include "platform/TamsoSafety.h"

#include <optional>
#include <QList>
#include <QString>

struct UninstallOutcome;

// The words of the uninstall pane and the choices behind them.
namespace UninstallerText {

QString title();
QString headline();
QString subtitle();
QString rescan();
QString askPrompt();
QString askQuestion();
QString finding();
QString failedTitle();
QString searchPlaceholder();
// What assistive technology reads for the list of installed apps: "Installed apps".
QString appListName();
QString pickTitle();
QString pickMessage();
QString leftoversHeading();
QString checking();
QString noLeftovers();
QString confirmMessage();
QString confirmVerb();

// "Uninstall · " and the size of the application plus the ticked leftovers.
QString uninstallButton(qint64 appBytes, qint64 leftoverBytes);

// The line under the application's name: its identifier, or its path when it declares none.
QString identityLine(const InstalledApp& app);

// The applications whose name contains the search text, without regard to case, in list
// order; all of them for an empty text. The text is taken as typed (a single space finds
// names with a space).
QList<InstalledApp> filteredApps(const QList<InstalledApp>& apps, const QString& search);

// "Uninstall <name> and <n> leftover item(s)?": "item" for exactly one, "items" otherwise;
// "Uninstall?" when nothing is selected.
QString confirmTitle(const std::optional<QString>& appName, int tickedLeftovers);

// The result line of an uninstall of the named application.
QString resultText(const UninstallOutcome& outcome, const QString& appName);

// A leftover row: the detail ("<category> · <path>"), the meta line and the grade.
QString leftoverDetail(const LeftoverItem& item);
QString leftoverMeta(LeftoverItem::Confidence confidence);
TamsoSafety leftoverSafety(LeftoverItem::Confidence confidence);

} // namespace UninstallerText
