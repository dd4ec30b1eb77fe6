#pragma once

#include "measuring/CleanCategory.h"
#include "measuring/ContentsGuard.h"

#include <memory>
#include <QSet>
#include <QStringList>
#include <set>
#include <utility>

class Trash;

// What a clean achieved: the bytes it freed (moved to the Trash counts as freed at once) and one
// line per item that could not be moved or removed ("name: reason"). Screens show the number of
// lines as skipped items, and say by name which of them the Trash refused because another
// folder is mounted at or inside them (leftMounted, a subset of the failures).
struct CleanResult {
    qint64 freedBytes = 0;
    int cleaned = 0; // items moved or erased
    QStringList failures;
    QStringList leftMounted; // last path components
};

// The destructive half of a cleaner: moves the chosen categories' items to the Trash, or, for
// the Trash category ("trash"), erases the trashed items for good.
//
// Contract of clean():
// - Rows are taken from the table given (the scanner's categories when the clean starts), in
//   table order, when their id is chosen and they are removable; other ids are ignored.
// - The Trash row goes first when it is chosen with others, so nothing this same clean moves to
//   the Trash is destroyed by it: the user can still put those items back.
// - Found-items rows (aged, extension or folder-name rows) move exactly their eligibleFiles, and
//   only what still qualifies at that moment: still a regular file (a folder for folder-name
//   rows), still the item its stamp describes (same identity; for a file the same size and
//   modification time), and for aged rows still not opened since the cut-off. An item that no
//   longer qualifies is passed over with a line (it counts as skipped); one that is gone gets
//   the Trash's own line. Without stamps only the rule itself is checked.
// - Every item moves through the folders the walk went through (Trash::moveFoundToTrash): the
//   row's locations are opened once when the row begins, and an item is reached from the one
//   that holds it without following a link, checked and moved through the same folder. An item
//   behind a folder that became a link since stays, with the Trash's line; nothing outside the
//   location is ever reached that way. A location that is itself the item goes through the
//   folder holding it.
// - Other rows move every child of each location (hidden ones too) and keep the location
//   folder itself; a location that is a file is moved itself. A folder that cannot be listed is
//   passed over without a line.
// - Any row does nothing at all when the guard refuses one of its locations (checked at the
//   moment of the clean; searchesUserFolders rows may search the user folders), with one line
//   saying why: the items a search of such a place listed are the user's, whatever they match.
// - An item already moved by an earlier row of the same clean (or lying inside one) is passed
//   over without a line; it is not a failure.
// - Protected folders (the app's own folders, the Trash) and any folder holding one are never
//   moved, whatever row lists them.
// - Sizes are taken before each move (itemSize): every block of the item on its own file
//   system with nothing skipped, a file with several names once in the whole clean; symlinks
//   are never followed. (The Trash refuses a folder that holds another file system.)
// Runs synchronously on the calling thread; thread-safe as long as the Trash is.
class CategoryCleaner {
public:
    CategoryCleaner(std::shared_ptr<Trash> trash, QStringList protectedPaths,
                    ContentsGuard guard = {});

    CleanResult clean(const QList<CleanCategory>& table, const QSet<QString>& ids) const;

    // The files with several names whose blocks a clean has counted already.
    using CountedLinks = std::set<std::pair<quint64, quint64>>;
    // Allocated bytes of an item and, for a folder, of everything below it on its file system
    // (folders, links, hidden entries and package contents included), each inode once: what
    // `du -sx` says it takes. A file with several names adds its blocks only when counted does
    // not hold it yet (and is then added), so names in several items of one clean count once.
    // 0 for what cannot be read.
    static qint64 itemSize(const QString& path, CountedLinks* counted = nullptr);
    // "<last path component>: <reason>"
    static QString failureLine(const QString& path, const QString& reason);
    // The direct children of a folder (hidden ones included), sorted by name; empty when it
    // cannot be listed. A folder that is a symlink is listed through.
    static QStringList children(const QString& folder);

    static const QString& trashCategoryId();

private:
    bool isProtectedOrHoldsProtected(const QString& path) const;

    std::shared_ptr<Trash> m_trash;
    QStringList m_protected;
    ContentsGuard m_guard;
};
