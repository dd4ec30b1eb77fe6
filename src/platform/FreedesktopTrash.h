#pragma once

#include "platform/Trash.h"

#include <functional>
#include <QByteArray>
#include <QMutex>
#include <QString>

// The home Trash of the freedesktop Trash standard ($XDG_DATA_HOME/Trash, handed in), as
// the file managers of the desktop read it: items in files/, one info/<name>.trashinfo each with
// the percent-encoded original path and the deletion date, and an optional directorysizes cache.
//
// Paths are handled as bytes from end to end (NativePath): a name that is not UTF-8 goes into
// the Trash, and comes out of it, unchanged.
//
// An item on the Trash's own file system is moved here by rename, after its .trashinfo has been
// created exclusively (so two movers never take one name). An item on another file system goes
// to that volume's own Trash ($topdir/.Trash/$uid when the administrator made $topdir/.Trash
// sticky, else $topdir/.Trash-$uid) in the same way, its record holding the path relative to
// $topdir; nothing is ever copied between file systems. Missing Trash folders are created (mode
// 0700) before anything is moved, so a fresh account never loses a file to a half-made Trash.
//
// A name too long to sit beside its record (the record adds ".trashinfo" and a name holds at most
// 255 bytes) is shortened inside the Trash, keeping its extension where it fits; the record still
// holds the whole original path, so restoring gives the item its own name back.
//
// Mount boundaries are never crossed: an item that is itself a mount point, or holds one anywhere
// below it, is refused rather than moved (emptying the Trash later would otherwise delete the
// mounted folder's files), and erase() never enters a mounted folder. A mount point is known by
// its mount identity (MountRoot), not by its device alone, so a folder of the same file system
// bound inside an item counts as well.
class FreedesktopTrash : public Trash {
public:
    // The file system a path is on, given the device its stat reported. The default keeps that
    // device; tests hand in one that places chosen folders on another file system.
    using DeviceOf = std::function<quint64(const QByteArray& path, quint64 statDevice)>;

    explicit FreedesktopTrash(QString trashDir, DeviceOf deviceOf = {});

    [[nodiscard]] bool moveToTrash(const QString& path, QString* error) override;
    QString itemsFolder() const override { return m_dir + QStringLiteral("/files"); }
    [[nodiscard]] bool erase(const QString& itemPath, QString* error) override;

    QString infoFolder() const { return m_dir + QStringLiteral("/info"); }

    // The Path= value of a .trashinfo: the absolute path's bytes, percent-encoded except for
    // unreserved characters and "/".
    static QByteArray encodePath(const QString& absolutePath);
    // The name an item takes in files/ on its attempt-th try: "photo.png", "photo.2.png", …
    // ("archive.2.tar.gz" for a short two-part extension). Never longer than maxItemNameBytes,
    // so "<name>.trashinfo" fits in a file name; a longer name loses bytes at the end of its
    // stem (never inside a UTF-8 character), its extension kept when that leaves room. A name
    // that was not hidden never comes out hidden or empty.
    static QByteArray candidateName(const QByteArray& fileName, int attempt);
    static constexpr int maxItemNameBytes = 255 - 10; // 10: ".trashinfo"

private:
    quint64 deviceOf(const QByteArray& path, quint64 statDevice) const;
    // True when some entry below folder (itself on device) is a mount point or lies on another
    // file system.
    bool holdsMountPoint(const QByteArray& folder, quint64 device) const;
    // The Trash for an item of another file system, its folders made; empty with a reason when
    // that volume has none we may use.
    QByteArray volumeTrashFor(const QByteArray& itemPath, QByteArray* relativePath,
                              QString* error) const;
    bool place(const QByteArray& trashDir, const QByteArray& source, const QByteArray& name,
               const QByteArray& recordedPath, QString* error) const;
    int removeTree(int parentFd, const char* name, quint64 device, std::string& path) const;
    void dropDirectorySize(const QByteArray& name);

    QString m_dir;
    DeviceOf m_deviceOf;
    QMutex m_sizesLock; // directorysizes is rewritten whole
};
