#pragma once

#include "measuring/CategoryMeasure.h"
#include "measuring/WholeSize.h"
#include "platform/DirectoryWalker.h"

#include <memory>
#include <optional>
#include <QStringList>

class DiskUsage;

// The four ways a category is measured, over the directory walker and the disk-usage tool.
//
// Common rules:
// - Sizes are allocated bytes; a file with several names adds its bytes once (each name still
//   counts as a file and is listed, since cleaning must move every name to free the space).
// - What a clean takes whole (the contents of an emptied location, a found folder) counts as
//   the clean will count it, by the one rule of a size taken whole (WholeSize): every entry's
//   blocks, folders, links and package insides included, each inode once, which is what `du`
//   says of it. Found files count their own blocks.
// - Symlinks below a location are never followed; a location that is itself a symlink is.
// - A location that is missing or unreadable adds nothing. Entries that cannot be read are
//   skipped.
// - The searches and the aged rows, which list files one by one, never enter packages (folders
//   named like "Name.app"): a clean would take them apart.
// - Protected folders (the app's own data and cache folders, the Trash) are never entered, so a
//   category never measures, lists or offers them; nor is a folder that holds one, which the
//   clean never moves.
// - A file's age is the time it was last opened: the later of its access and modification
//   times, because most mounts no longer update access times on every read.
// - Lists come out sorted by path within each location, locations in table order, each item
//   with its stamp.
// - A row measures nothing, and walks nothing, when the guard refuses one of its locations
//   (searchesUserFolders rows may search the user folders); the measurement then carries the
//   refusal.
class CategoryMeasurer : public CategoryMeasure {
public:
    struct Options {
        // Walker threads; 0 = ParallelLoop::flatThreads(): the health check measures several
        // rows side by side, and together they keep as many reads in flight as one disk walk.
        int threads = 0;
        QStringList protectedPaths; // absolute folder paths never entered
        ContentsGuard guard = {};   // the folders no row may empty or search; none by default
    };

    // Bytes of a folder moved whole (itself and everything in it) and its regular files.
    using FolderSize = WholeSize::Tally;

    CategoryMeasurer(std::shared_ptr<const DiskUsage> diskUsage, Options options);

    // Dispatches on CleanCategory::measuringMode(), after the guard.
    Measurement measure(const CleanCategory& category,
                        const CancelToken& cancel = CancelToken()) const override;

    // Folders named exactly like one of matchFolderNames, up to maxSearchDepth (default 6)
    // below each location, never inside hidden folders, packages or the folders of
    // neverEnteredFolderNames(); a found folder is measured whole (quickSize: the disk-usage
    // tool, counting 1; else allocatedSize) and not searched further.
    Measurement findFolders(const CleanCategory& category, const CancelToken& cancel) const;
    // Regular files whose extension (or two-part extension) is listed, whose name starts with
    // one of the prefixes when any are given, within maxSearchDepth when set, not hidden, and
    // not opened since the cut-off when olderThanDays is set. A location that is itself a file
    // is listed whatever its name (still subject to the cut-off).
    Measurement oldFiles(const CleanCategory& category, const CancelToken& cancel) const;
    // The disk-usage tool once per location that holds something, less the location's own
    // blocks (a clean empties the location and keeps it), counting the entries directly in it;
    // a location that is a file is itself the one item. An empty or missing location adds
    // nothing and is not asked about. Nothing listed.
    Measurement quickMeasure(const CleanCategory& category, const CancelToken& cancel) const;
    // Everything inside each location, hidden entries and packages included, as a clean that
    // empties it takes it (a location that is a file is that one file); fileCount counts the
    // regular files. With olderThanDays only the regular files not opened since the cut-off,
    // outside packages, listed.
    Measurement measureTree(const CleanCategory& category, const CancelToken& cancel) const;

    qint64 duSize(const QString& path, const CancelToken& cancel = CancelToken()) const;
    FolderSize allocatedSize(const QString& folder,
                             const CancelToken& cancel = CancelToken()) const;

    // Names the folder search never enters: "Library", ".git", "DerivedData", …
    static const QStringList& neverEnteredFolderNames();
    // The extension test of the file search; extensions given lower-cased.
    static bool matchesExtension(const QString& fileName, const QStringList& extensions);
    // The prefix test: the name without its last extension, lower-cased, starts with a prefix.
    static bool matchesPrefix(const QString& fileName, const QStringList& lowerPrefixes);
    // Seconds since 1970 at or before which a file counts as old, for a row's olderThanDays.
    static qint64 cutoffFor(int olderThanDays, qint64 nowSeconds);
    static qint64 lastOpened(qint64 accessTime, qint64 modifyTime) {
        return accessTime > modifyTime ? accessTime : modifyTime;
    }

private:
    int threads() const;

    std::shared_ptr<const DiskUsage> m_du;
    Options m_options;
    std::vector<std::string> m_protected; // encoded paths
};
