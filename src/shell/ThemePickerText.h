#pragma once

#include <QString>

// The look picker's wording, wherever it is shown (the About screen and the settings window):
// the labels of its three rows and the note on where the text size is set. What the appearance
// choice offers is each case's title (ui-kit/ThemeSettings.h).
namespace ThemePickerText {

QString appearanceLabel(); // "Appearance", also the choice's accessible name
QString accentLabel();     // "Accent"
QString textSizeLabel();   // "Text size"
// "set at the bottom of the sidebar, currently large": stepName is the step's title, said in
// lower case.
QString textSizeNote(const QString& stepName);

} // namespace ThemePickerText
