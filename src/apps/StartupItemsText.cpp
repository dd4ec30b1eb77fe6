#include "apps/StartupItemsText.h"

#include "apps/StartupItem.h"
#include "platform/TextConstant.h"

#include <QFileInfo>

namespace StartupItemsText {

PENDREL_TEXT(yourLogin, "Your login")
PENDREL_TEXT(allUsers, "All users")
PENDREL_TEXT(system, "System")
PENDREL_TEXT(title, "Startup")
PENDREL_TEXT(headline, "What starts with your Mac")
PENDREL_TEXT(explanation, "Turn off things you don't need at login to speed up boot. Changes "
                          "apply next time you log in. System items are shown for information.")
PENDREL_TEXT(reading, "Reading startup items…")
PENDREL_TEXT(emptyTitle, "Nothing starts automatically")
PENDREL_TEXT(emptyMessage, "No autostart entries or boot services found.")
PENDREL_TEXT(reveal, "Reveal")
PENDREL_TEXT(locked, "locked")
PENDREL_TEXT(alertTitle, "Couldn't change that item")
PENDREL_TEXT(notChangeable, "This item belongs to the system or all users and can't be changed "
                            "here.")
PENDREL_TEXT(offInItsOwnFile, "This item is switched off inside its own file, so moving it won't "
                              "turn it on.")
PENDREL_TEXT(trashFailed, "The file already there couldn't be moved to the Trash.")

QString detailLine(const StartupItem& item) {
    if (!item.program.isEmpty())
        return item.program;
    return QFileInfo(item.plistURL.toLocalFile()).fileName();
}

QString scopeLine(const StartupItem& item) {
    return item.startsAutomatically() ? item.scope : item.scope + QStringLiteral(" · off");
}

} // namespace StartupItemsText
