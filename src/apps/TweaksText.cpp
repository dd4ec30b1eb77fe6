#include "apps/TweaksText.h"

#include "platform/TextConstant.h"

namespace TweaksText {

PENDREL_TEXT(title, "Tweaks")
PENDREL_TEXT(reading, "Reading current settings…")
PENDREL_TEXT(introduction, "Hidden Mac settings, no terminal needed. Every switch is reversible: "
                           "turning it off restores what the system ships with.")
PENDREL_TEXT(restoreButton, "Restore all defaults")
PENDREL_TEXT(restoreNote,
             "Turns every Pendrel tweak off and puts the system back the way it shipped.")
PENDREL_TEXT(alertTitle, "Something went wrong")
PENDREL_TEXT(storeLine, "Pendrel keeps these switches in its own store; they don't change the "
                        "settings of your desktop or its programs.")
QString toolMissing(const QString& tool) {
    return QStringLiteral("Pendrel's installation is incomplete: the %1 tool is missing, so that "
                          "change couldn't be saved.")
        .arg(tool);
}
PENDREL_TEXT(changeNotSaved, "The defaults tool couldn't save that change.")

} // namespace TweaksText
