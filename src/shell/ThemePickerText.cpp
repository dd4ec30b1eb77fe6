#include "shell/ThemePickerText.h"

#include "platform/TextConstant.h"

namespace ThemePickerText {

PENDREL_TEXT(appearanceLabel, "Appearance")
PENDREL_TEXT(accentLabel, "Accent")
PENDREL_TEXT(textSizeLabel, "Text size")

QString textSizeNote(const QString& stepName) {
    return QStringLiteral("set at the bottom of the sidebar, currently ") + stepName.toLower();
}

} // namespace ThemePickerText
