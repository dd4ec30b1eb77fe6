#pragma once

#include <functional>
#include <QString>
#include <QStringList>
#include <sys/stat.h>

class FoundRoot;

// The user's Trash: the one place the app moves files to, and the only place it ever deletes
// from for good (when the user empties the Trash through a cleaner).
//
// Implementations: FreedesktopTrash (the home Trash of the freedesktop Trash standard) and
// FakeTrash (tests). Calls may come from any thread; implementations are thread-safe.
class Trash {
public:
    // What a caller checks of a found item at the very moment it moves, shown the item's status
    // as its folder holds it then (lstat's view, through the folder the move goes out of): empty
    // when it may go, else the reason it stays, which becomes the move's error.
    using Vet = std::function<QString(const struct stat&)>;

    virtual ~Trash() = default;

    // Moves the file, folder or symlink at path (a symlink itself, never its target) into the
    // Trash so the file manager can put it back. True on success. On failure nothing was moved
    // and error, when given, holds a one-line reason ("No such file or directory"). A path is
    // taken byte for byte (NativePath), so any name the walks found can be moved. An item that
    // is a mount point or holds one (another file system, or a folder of any file system bound
    // there) is refused with isMountText() or holdsMountText(), before anything is moved: it
    // would take the mounted folder's files along. The folders above the item are found by the
    // path as it reads now, links included: for a path the user named, not for one a walk found.
    [[nodiscard]] virtual bool moveToTrash(const QString& path, QString* error) = 0;

    // Moves an item a walk of root found at path, as moveToTrash() does, but through the folders
    // that walk went through (FoundRoot::reach): the item leaves the folder reached that way by
    // its name, and its record holds path. When a folder between root and the item has become a
    // link or no folder since, nothing moves and the error is movedAwayText(); a path that does
    // not lie below root is refused with notBelowText(). vet, when set, sees the item as it
    // stands in that folder just before it moves and may keep it there with its reason.
    [[nodiscard]] virtual bool moveFoundToTrash(const FoundRoot& root, const QString& path,
                                                const Vet& vet, QString* error) = 0;

    // The folder that holds the trashed items themselves; its direct children are what
    // erase() accepts. It may not exist yet.
    virtual QString itemsFolder() const = 0;

    // Deletes one trashed item for good, a direct child of itemsFolder(), together with the
    // Trash's record of where it came from and its cached size, so the Trash stays consistent.
    // Symlinks inside the item are removed, never followed, and nothing behind a mount point is
    // ever deleted: an item that is or holds one is refused whole, before anything goes, with
    // isMountText() or holdsMountText(). Folders of the user's own inside it get their owner's
    // read, write and search permissions back first, as the user could give them, so a folder
    // of mode 0000 does not stop the erase. False with a reason when the item is not a direct
    // child of itemsFolder(), was refused, or could not be removed completely; then the reason
    // names, relative to the item, what is still there (leftText()), and the record stays.
    [[nodiscard]] virtual bool erase(const QString& itemPath, QString* error) = 0;

    // The reasons of a refusal for a mount point: at the item itself, or below it. Callers
    // tell such a refusal from other failures by these texts.
    static QString isMountText() { return QStringLiteral("Another folder is mounted there"); }
    static QString holdsMountText() {
        return QStringLiteral("Another folder is mounted inside it");
    }
    // The reasons of moveFoundToTrash()'s refusals of a path that no longer leads where the walk
    // went.
    static QString movedAwayText() {
        return QStringLiteral("A folder above it changed since it was found, so it was left in "
                              "place");
    }
    static QString notBelowText() {
        return QStringLiteral("It is not inside the folder that was searched, so it was left in "
                              "place");
    }
    // True for a refusal that keeps the item where it is on purpose (a mount, a path that no
    // longer leads where it did): no other way of moving it may be tried.
    static bool isSafetyRefusal(const QString& error) {
        return error == isMountText() || error == holdsMountText() || error == movedAwayText() ||
               error == notBelowText();
    }
    // erase()'s reason for an item it could remove only in part: "<first> could not be removed
    // (<reason>)", "<first>, <second> could not …" or "<first>, <second> and N more could not
    // …", names relative to the item.
    static QString leftText(const QStringList& names, int count, const QString& reason) {
        QString which = names.mid(0, 2).join(QStringLiteral(", "));
        if (count > 2)
            which += QStringLiteral(" and %1 more").arg(count - 2);
        return which + QStringLiteral(" could not be removed (") + reason + QLatin1Char(')');
    }
};
