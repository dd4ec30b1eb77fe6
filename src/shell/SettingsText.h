#pragma once

#include "shell/RunModeManager.h"

#include <QString>

// The settings window's wording: its four section titles, the controls' labels and the notes
// under them. Pure functions, apart from any widget.
namespace SettingsText {

// What assistive technology calls the form, and the window's page that shows it.
QString formName();         // "Settings"
QString appearanceTitle();  // "Appearance"
QString updatesTitle();     // "Updates"
QString runModeTitle();     // "When I close the window"
QString fileManagerTitle(); // "File manager"

QString autoUpdateSwitch(); // "Check for updates automatically"
QString checkNowButton();   // "Check now"
// How updates reach this installation, shown under the (always disabled) update controls.
QString updatesNote();

QString runModeLabel(); // "Behaviour"
// The explanation shown under the run-mode choice for each mode.
QString runModeExplanation(RunMode mode);

// The deep links the app accepts, and the button that opens the extensions settings.
QString deepLinksNote();
QString extensionsButton(); // "Open Extensions settings"
// Why that button is off here, under it and as its tooltip.
QString extensionsUnavailable();

} // namespace SettingsText
