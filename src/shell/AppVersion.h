#pragma once

#include <QString>

// The app's version texts as the sidebar and the About screen show them. They come from the
// build (BuildInfo); a build that left one empty shows the fallback instead.
namespace AppVersion {

// The short version, "0.2.0" when the build gave none.
QString appVersionString();
// The build number, "1" when the build gave none.
QString appBuildString();

// The rules above for a given build value, empty meaning "not given".
QString versionOrFallback(const QString& stored);
QString buildOrFallback(const QString& stored);

} // namespace AppVersion
