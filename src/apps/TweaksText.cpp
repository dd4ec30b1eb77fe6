#include "apps/TweaksText.h"

#include "platform/TextConstant.h"

namespace TweaksText {

PENDREL_TEXT(title, "Tweaks")
PENDREL_TEXT(reading, "Reading current settings…")
PENDREL_TEXT(introduction, "Hidden Mac settings, no terminal needed. Each switch keeps a value in "
                           "Pendrel's own store; turning it off clears that value, or stores "
                           "the opposite one where a switch has two.")
PENDREL_TEXT(restoreButton, "Restore all defaults")
PENDREL_TEXT(restoreNote,
             "Turns every Pendrel tweak off: its value is cleared from Pendrel's store, or set "
             "to the opposite one where a switch has two.")
PENDREL_TEXT(alertTitle, "Something went wrong")
PENDREL_TEXT(storeLine, "Each is named for the setting it stands for on the system it was made "
                        "for; here none changes your desktop or its programs.")
QString toolMissing(const QString& tool) {
    return QStringLiteral("Pendrel's installation is incomplete: the %1 tool is missing, so that "
                          "change couldn't be saved.")
        .arg(tool);
}
PENDREL_TEXT(changeNotSaved, "The defaults tool couldn't save that change.")

} // namespace TweaksText
