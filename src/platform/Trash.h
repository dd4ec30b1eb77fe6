#pragma once

#include <QString>

// The user's Trash: the one place the app moves files to, and the only place it ever deletes
// from for good (when the user empties the Trash through a cleaner).
//
// Implementations: FreedesktopTrash (the home Trash of the freedesktop Trash standard) and
// FakeTrash (tests). Calls may come from any thread; implementations are thread-safe.
class Trash {
public:
    virtual ~Trash() = default;

    // Moves the file, folder or symlink at path (a symlink itself, never its target) into the
    // Trash so the file manager can put it back. True on success. On failure nothing was moved
    // and error, when given, holds a one-line reason ("No such file or directory"). A path is
    // taken byte for byte (NativePath), so any name the walks found can be moved. An item that
    // is a mount point or holds one (another file system, or a folder of any file system bound
    // there) is refused with isMountText() or holdsMountText(), before anything is moved: it
    // would take the mounted folder's files along.
    [[nodiscard]] virtual bool moveToTrash(const QString& path, QString* error) = 0;

    // The folder that holds the trashed items themselves; its direct children are what
    // erase() accepts. It may not exist yet.
    virtual QString itemsFolder() const = 0;

    // Deletes one trashed item for good, a direct child of itemsFolder(), together with the
    // Trash's record of where it came from and its cached size, so the Trash stays consistent.
    // Symlinks inside the item are removed, never followed, and nothing behind a mount point is
    // ever deleted: an item that is or holds one is refused whole, before anything goes, with
    // isMountText() or holdsMountText(). False with a reason when the item is not a direct child
    // of itemsFolder(), was refused, or could not be removed completely.
    [[nodiscard]] virtual bool erase(const QString& itemPath, QString* error) = 0;

    // The reasons of a refusal for a mount point: at the item itself, or below it. Callers
    // tell such a refusal from other failures by these texts.
    static QString isMountText() { return QStringLiteral("Another folder is mounted there"); }
    static QString holdsMountText() {
        return QStringLiteral("Another folder is mounted inside it");
    }
};
