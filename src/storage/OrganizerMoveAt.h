#pragma once

#include "platform/FolderAt.h"

#include <QByteArray>
#include <QString>

// The organizer's moves at the level of open folders: a file is renamed from one open folder
// into another without ever replacing what is at its new name, or copied across file systems
// under a temporary name and renamed into place once complete, checked and synced. Paths are
// reached through descriptors so that a link planted after the checks carries nothing elsewhere.
namespace OrganizerMoveAt {

// The system's text for an errno value.
QString systemReason(int error);
// A path as the system's bytes (NativePath).
QByteArray native(const QString& path);

// mkdir -p; 0 or the error of the step that failed. A link to a folder on the way counts as the
// folder: the bounds were checked before anything is created.
int makeFolders(const QString& path);

// Folders are opened, and reached below one another, as platform/FolderAt does.
using FolderAt::Fd;
using FolderAt::openBelow;
using FolderAt::openFolder;

// The temporary name a copy has beside its destination while it is made.
QByteArray partialName(const QByteArray& name);
// OrganizerFiles::copyThenRemove within open folders.
QString copyThenRemoveAt(int fromDir, const QByteArray& from, int toDir, const QByteArray& to);
// Renames within open folders without ever replacing; across file systems the file is copied.
// Empty on success, else why not.
QString moveNoReplaceAt(int fromDir, const QByteArray& from, int toDir, const QByteArray& to);

} // namespace OrganizerMoveAt
