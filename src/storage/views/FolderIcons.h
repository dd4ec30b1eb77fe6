#pragma once

#include <QIcon>
#include <QPalette>
#include <QString>

// The icon of a listed item: the desktop theme's icon for a folder, a package or the file's type,
// or the app's own symbol where the theme has none. One process-wide cache by kind (package,
// folder, or the file type its name says) and light or dark palette serves every caller, so the
// rows of one kind share one icon and its drawn sizes: a new row costs a type look-up, not an
// icon made and drawn afresh, and a row painted again costs a look-up by its path. Each cache is
// emptied whole when it holds 301 icons, so it never grows without bound. Main thread only.
namespace FolderIcons {

QIcon icon(const QString& path, bool isDirectory, bool isPackage, const QPalette& palette);
constexpr int cacheLimit = 301;

// Loads the system's file-type database on the shared pool, once per process, so the first
// icons painted do not wait for it on the main thread: a screen that will list files calls it
// when it is made. Later calls do nothing.
void warmUp();
// Whether the database has been loaded by warmUp (any thread).
bool isWarm();

} // namespace FolderIcons
