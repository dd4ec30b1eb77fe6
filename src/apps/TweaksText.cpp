#include "apps/TweaksText.h"

namespace TweaksText {

QString title() {
    return QStringLiteral("Tweaks");
}
QString reading() {
    return QStringLiteral("Reading current settings…");
}
QString introduction() {
    return QStringLiteral("Hidden Mac settings, no terminal needed. Every switch is reversible: "
                          "turning it off restores what the system ships with.");
}
QString restoreButton() {
    return QStringLiteral("Restore all defaults");
}
QString restoreNote() {
    return QStringLiteral(
        "Turns every Pendrel tweak off and puts the system back the way it shipped.");
}
QString alertTitle() {
    return QStringLiteral("Something went wrong");
}
QString storeLine() {
    return QStringLiteral("Pendrel keeps these switches in its own store; they don't change the "
                          "settings of your desktop or its programs.");
}
QString toolMissing(const QString& tool) {
    return QStringLiteral("Pendrel's installation is incomplete: the %1 tool is missing, so that "
                          "change couldn't be saved.")
        .arg(tool);
}
QString changeNotSaved() {
    return QStringLiteral("The defaults tool couldn't save that change.");
}

} // namespace TweaksText
