#pragma once

#include <QByteArray>
#include <QList>

// Whether a folder (or file) is the root of a mount: where another file system is mounted, or
// where a folder of any file system, the same one included, is bind-mounted. Device numbers
// cannot tell a bind mount of the same file system from a plain folder, so code that must never
// cross into another mount (removing a tree for good, moving one into the Trash) asks here.
//
// The kernel's answer is read with statx: its mount-root attribute where the kernel reports it,
// else the mount id of the entry against that of its folder, else the entry's path among the
// mount points of /proc/self/mountinfo. A symlink is examined itself, never followed, and is
// never a mount root. An entry that cannot be examined at all (gone) counts as no mount root:
// whatever the caller does to it next fails on its own.
namespace MountRoot {

// The entry `name` of the open folder parentFd.
bool isEntry(int parentFd, const char* name);
// The folder or file open as fd (O_PATH will do), reached from the open folder parentFd.
bool isOpened(int fd, int parentFd);
// The entry at an absolute path, as bytes. "/" is always a mount root.
bool isPath(const QByteArray& path);

// The mount points listed in the text of a mountinfo file, with the kernel's octal escapes
// ("\040" for a space) undone, in the order listed.
QList<QByteArray> mountPointsIn(const QByteArray& mountinfo);

} // namespace MountRoot
