#pragma once

#include <QString>

// The About screen's wording: the app's name and version beside its icon, the line under them and
// the titles of its two boxes.
namespace AboutText {

QString windowTitle(); // "About", also what assistive technology calls the screen
// "Pendrel": the name beside the icon, and what assistive technology calls the app's icon
// wherever it stands.
QString appName();
// "Version 1.2 (34)": the version and the build.
QString versionLine(const QString& version, const QString& build);
QString tagline();
QString appearanceTitle(); // "Appearance"
QString privacyTitle();    // "Privacy and AI"

} // namespace AboutText
