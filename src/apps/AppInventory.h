#pragma once

#include "apps/InstalledApp.h"
#include "platform/CancelToken.h"

#include <QList>
#include <QString>
#include <QStringList>

// Listing the installed applications and measuring bundles. Pure functions of the disk; any
// thread.
namespace AppInventory {

// The application folders in listing order: "/Applications", "/Applications/Utilities" and
// "Applications" in the home folder. Only these are listed, never their subfolders.
QStringList applicationFolders(const QString& home);

// Whether a child of an application folder is an application: an ".app" bundle (the extension
// compared exactly, so "X.APP" is not one) or a file ending ".AppImage".
bool isApplicationName(const QString& fileName, bool isDirectory);

// The immediate children of each folder that are applications, hidden ones left out, each with
// its identifier, name, path and size, sorted by name as the user's language orders it without
// regard to case (equal names keep folder and listing order). Missing or unreadable folders
// give nothing. A cancelled scan returns early with a partial list.
QList<InstalledApp> scan(const QStringList& folders, const CancelToken& cancel = {});

// Bytes allocated for a file or folder: a regular file's own allocation; for a folder, the sum
// over the regular files at every depth below it (hidden ones included, each hard-linked file
// once), never entering a package nested inside (see AppBundle::isPackageName). Symbolic links
// are not followed, the path itself included, and add nothing; unreadable parts add nothing. 0
// for a path that cannot be examined.
qint64 bundleSize(const QString& path, const CancelToken& cancel = {});

// Orders applications by name as scan() does (stable).
void sortByName(QList<InstalledApp>& apps);

} // namespace AppInventory
