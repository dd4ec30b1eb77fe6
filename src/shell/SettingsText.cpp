#include "shell/SettingsText.h"

#include "platform/TextConstant.h"

namespace SettingsText {

PENDREL_TEXT(formName, "Settings")
PENDREL_TEXT(appearanceTitle, "Appearance")
PENDREL_TEXT(updatesTitle, "Updates")
PENDREL_TEXT(runModeTitle, "When I close the window")
PENDREL_TEXT(fileManagerTitle, "File manager")
PENDREL_TEXT(autoUpdateSwitch, "Check for updates automatically")
PENDREL_TEXT(checkNowButton, "Check now")
PENDREL_TEXT(updatesNote, "Pendrel is updated the way it was installed, through your package "
                          "manager or software centre.")
PENDREL_TEXT(runModeLabel, "Behaviour")
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

PENDREL_TEXT(deepLinksNote, "Pendrel accepts deep links such as pendrel://storage/screenshots so "
                            "file manager actions and a future file manager extension can open the "
                            "right screen.")
PENDREL_TEXT(extensionsButton, "Open Extensions settings")
PENDREL_TEXT(extensionsUnavailable,
             "This desktop has no extensions settings, so there is nothing to open.")

} // namespace SettingsText
