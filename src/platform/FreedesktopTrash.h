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
//
// Every move goes out of an open folder by name (renameat), after the item has been examined
// through that same folder, so what is checked is what moves; a found item's folder is reached
// as FoundRoot reaches it. Emptying removes each folder through its own descriptor, never by
// path, and gives a folder of the user's own its owner's permissions back (chmod u+rwx through
// that descriptor) before it is listed and emptied; a folder of anyone else keeps its mode.
class FreedesktopTrash : public Trash {
public:
    // The file system a path is on, given the device its stat reported.
    using DeviceOf = std::function<quint64(const QByteArray& path, quint64 statDevice)>;

    struct Deps {
        // Empty: the device the stat reported. Tests hand in one that places chosen folders on
        // another file system.
        DeviceOf deviceOf = {};
        // Whether this process may list and empty a folder of this status. Empty: the system
        // decides when the folder is opened. Tests, which run as root whom no mode stops, hand in
        // the rule that holds for everyone else.
        std::function<bool(const struct stat&)> mayEmpty = {};
        // Called as each move begins, with the path it was asked to move; for tests that change
        // the tree between two moves.
        std::function<void(const QString& path)> beforeMove = {};
    };

    explicit FreedesktopTrash(QString trashDir);
    FreedesktopTrash(QString trashDir, Deps deps);

    [[nodiscard]] bool moveToTrash(const QString& path, QString* error) override;
    [[nodiscard]] bool moveFoundToTrash(const FoundRoot& root, const QString& path, const Vet& vet,
                                        QString* error) override;
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
    struct Removal;

    quint64 deviceOf(const QByteArray& path, quint64 statDevice) const;
    // True when some entry below the folder `name` of the open folder dir (itself on device) is
    // a mount point or lies on another file system; shownAs is that folder's path, as deviceOf
    // is asked about it.
    bool holdsMountPoint(int dir, const QByteArray& name, const QByteArray& shownAs,
                         quint64 device) const;
    // Moves the entry `name` of the open folder `folder`, whose status is st, recording
    // `source` (absolute, clean) as where it came from.
    bool moveOpened(int folder, const QByteArray& name, const struct stat& st,
                    const QByteArray& source, QString* error);
    // The Trash for an item of another file system, its folders made; empty with a reason when
    // that volume has none we may use. folder is the open folder holding the item.
    QByteArray volumeTrashFor(int folder, const QByteArray& name, QByteArray* relativePath,
                              QString* error) const;
    bool place(const QByteArray& trashDir, int folder, const QByteArray& name,
               const QByteArray& recordedPath, QString* error) const;
    int removeTree(Removal& removal, int parentFd, const char* name) const;
    int openToEmpty(int at, int parentFd, const char* name, struct stat& st) const;
    void dropDirectorySize(const QByteArray& name);

    QString m_dir;
    Deps m_deps;
    QMutex m_sizesLock; // directorysizes is rewritten whole
};
