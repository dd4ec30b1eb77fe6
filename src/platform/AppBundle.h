#pragma once

#include <optional>
#include <QString>

// Application bundles as they stand on disk: a folder whose name ends in ".app", with its
// information property list at Contents/Info.plist (or, in a flat bundle, Info.plist at the top).
namespace AppBundle {

// The identifier the bundle declares (CFBundleIdentifier), or none when the path is not a
// readable bundle folder, its property list is missing or malformed, or the identifier is absent,
// not a string or empty.
std::optional<QString> identifier(const QString& bundlePath);

// The information property list of the bundle, or an empty string when it has none.
QString infoPlistPath(const QString& bundlePath);

// The icon file the bundle declares (CFBundleIconFile, under Contents/Resources), as a path
// that exists; empty when none is declared or the file is not there.
QString iconFile(const QString& bundlePath);

// Whether a folder of this name is a package: a bundle the file manager shows as one item
// (nested applications, application extensions, plug-ins, loadable bundles and the like). A
// walk that measures a bundle does not enter the packages nested in it. Compared without
// regard to case, on the last extension.
bool isPackageName(const QString& folderName);

// The innermost folder ending in ".app" that holds path (the path itself included), or an empty
// string when none does.
QString enclosingBundle(const QString& path);

} // namespace AppBundle
