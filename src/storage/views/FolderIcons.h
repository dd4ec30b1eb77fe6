#pragma once

#include <QIcon>
#include <QPalette>
#include <QString>

// The icon of a listed item: the desktop theme's icon for a folder, a package or the file's type,
// or the app's own symbol where the theme has none. One process-wide cache by path serves every
// caller; it is emptied whole when it holds 301 icons, so browsing a huge folder never grows it
// without bound. Main thread only.
namespace FolderIcons {

QIcon icon(const QString& path, bool isDirectory, bool isPackage, const QPalette& palette);
constexpr int cacheLimit = 301;

} // namespace FolderIcons
