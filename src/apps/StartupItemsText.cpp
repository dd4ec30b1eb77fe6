#include "apps/StartupItemsText.h"

#include "apps/StartupItem.h"

#include <QFileInfo>

namespace StartupItemsText {

QString yourLogin() {
    return QStringLiteral("Your login");
}
QString allUsers() {
    return QStringLiteral("All users");
}
QString system() {
    return QStringLiteral("System");
}

QString title() {
    return QStringLiteral("Startup");
}
QString headline() {
    return QStringLiteral("What starts with your Mac");
}
QString explanation() {
    return QStringLiteral("Turn off things you don't need at login to speed up boot. Changes "
                          "apply next time you log in. System items are shown for information.");
}
QString reading() {
    return QStringLiteral("Reading startup items…");
}
QString emptyTitle() {
    return QStringLiteral("Nothing starts automatically");
}
QString emptyMessage() {
    return QStringLiteral("No autostart entries or boot services found.");
}
QString reveal() {
    return QStringLiteral("Reveal");
}
QString locked() {
    return QStringLiteral("locked");
}
QString alertTitle() {
    return QStringLiteral("Couldn't change that item");
}

QString notChangeable() {
    return QStringLiteral("This item belongs to the system or all users and can't be changed "
                          "here.");
}
QString offInItsOwnFile() {
    return QStringLiteral("This item is switched off inside its own file, so moving it won't "
                          "turn it on.");
}
QString trashFailed() {
    return QStringLiteral("The file already there couldn't be moved to the Trash.");
}

QString detailLine(const StartupItem& item) {
    if (!item.program.isEmpty())
        return item.program;
    return QFileInfo(item.plistURL.toLocalFile()).fileName();
}

QString scopeLine(const StartupItem& item) {
    return item.startsAutomatically() ? item.scope : item.scope + QStringLiteral(" · off");
}

} // namespace StartupItemsText
