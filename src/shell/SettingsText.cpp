#include "shell/SettingsText.h"

namespace SettingsText {

QString appearanceTitle() {
    return QStringLiteral("Appearance");
}
QString updatesTitle() {
    return QStringLiteral("Updates");
}
QString runModeTitle() {
    return QStringLiteral("When I close the window");
}
QString fileManagerTitle() {
    return QStringLiteral("File manager");
}

QString autoUpdateSwitch() {
    return QStringLiteral("Check for updates automatically");
}
QString checkNowButton() {
    return QStringLiteral("Check now");
}
QString updatesNote() {
    return QStringLiteral("Pendrel is updated the way it was installed, through your package "
                          "manager or software centre.");
}

QString runModeLabel() {
    return QStringLiteral("Behaviour");
}
QString runModeExplanation(RunMode mode) {
    switch (mode) {
    case RunMode::WindowOnly:
        return QStringLiteral("Pendrel quits when you close the window. No background presence, "
                              "no taskbar or menu bar item when it is not open.");
    case RunMode::MenuBar:
        return QStringLiteral("Closing the window keeps Pendrel running quietly in the menu bar, "
                              "so stats and quick actions stay a click away. It uses almost "
                              "nothing and there is no taskbar icon.");
    case RunMode::Login:
        return QStringLiteral("Pendrel starts automatically when you log in and lives in the menu "
                              "bar, always ready. You can turn this off any time here.");
    }
    return QString();
}

QString deepLinksNote() {
    return QStringLiteral("Pendrel accepts deep links such as pendrel://storage/screenshots so "
                          "file manager actions and a future file manager extension can open the "
                          "right screen.");
}
QString extensionsButton() {
    return QStringLiteral("Open Extensions settings");
}
QString extensionsUnavailable() {
    return QStringLiteral("This desktop has no extensions settings, so there is nothing to open.");
}

} // namespace SettingsText
