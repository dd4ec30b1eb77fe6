#pragma once

#include <QString>

// The sidebar's wording: the app's name and tagline over the sections, its version under them.
namespace SidebarText {

QString appName();
QString tagline();
// "Pendrel v1.2 (34)": the version and the build.
QString versionLine(const QString& version, const QString& build);
// What assistive technology calls the scrolling list of sections.
QString sectionListName(); // "Sections"

} // namespace SidebarText
