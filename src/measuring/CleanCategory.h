#pragma once

#include "measuring/ContentsGuard.h"
#include "platform/HomeLayout.h"
#include "platform/TamsoSafety.h"

#include <optional>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// What the measurement saw of one listed item, so the clean can tell whether it is still that
// item: its identity, and for a file its apparent size and modification time (seconds). Beside
// them, what moving the item frees (allocated bytes; a folder's whole contents), so a total over
// rows that list the same item can count it once.
struct ItemStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 sizeBytes = 0;
    qint64 modifyTime = 0;
    qint64 allocatedBytes = 0;

    bool operator==(const ItemStamp&) const = default;
};

// What one measurement of a category found: allocated bytes, the count of files (or of
// locations/folders measured whole) and, for the categories cleaned item by item, the exact
// items a later clean will move, each with its stamp (eligibleStamps[i] belongs to
// eligibleFiles[i]; a measurement may give no stamps at all, never only some). A row whose
// location may not be emptied measures nothing and carries the refusal instead.
struct Measurement {
    qint64 sizeBytes = 0;
    int fileCount = 0;
    QStringList eligibleFiles;
    QList<ItemStamp> eligibleStamps = {};
    std::optional<ContentsRefusal> refusal = {};

    bool operator==(const Measurement&) const = default;
};

// One cleanable place of a cleaner's table, with the rules for what inside it counts, how it is
// measured and cleaned, how safe clearing it is, and the last measurement.
//
// A plain value. The table fields (id … consequence) are fixed when a table is built; the
// measurement fields (sizeBytes … refusal) start at 0, 0, empty, empty, none and are replaced by
// each scan.
struct CleanCategory {
    enum class MeasuringMode { FolderSearch, FileSearch, QuickSize, FullWalk };

    QString id; // unique within its table; "trash" also makes cleaning permanent
    QString name;
    QString plainDescription;
    QStringList locations; // absolute paths, in order; a missing one measures 0
    std::optional<int> olderThanDays;
    bool onByDefault = false;
    bool removable = true;
    QStringList fileExtensions;    // compared lower-cased; "tar.gz" style entries allowed
    QStringList matchNamePrefixes; // file search only; compared lower-cased
    QStringList matchFolderNames;  // folder search; exact, case-sensitive
    std::optional<int> maxSearchDepth;
    bool quickSize = false;
    TamsoSafety safety = TamsoSafety::Safe;
    QString consequence;
    // The row looks for its items in the user's own folders on purpose (old downloads,
    // screenshots, node_modules under the project folders): the guard lets it search those, and
    // only those. Every other row is refused a location that is or holds one.
    bool searchesUserFolders = false;
    // The base-folder variables the layout ignored whose default place the locations are in,
    // so the row can say where it looked instead.
    QList<HomeLayout::IgnoredVariable> ignoredVariables = {};

    qint64 sizeBytes = 0;
    int fileCount = 0;
    QStringList eligibleFiles;
    QList<ItemStamp> eligibleStamps = {};
    std::optional<ContentsRefusal> refusal = {};

    // The first rule that applies: folder names → folder search; extensions → file search;
    // quickSize → the disk-usage tool per location; otherwise a full walk.
    MeasuringMode measuringMode() const;
    // True when cleaning moves eligibleFiles (aged, extension or folder-name rows); false when
    // it empties the contents of each location.
    bool cleansFoundItems() const;

    Measurement measurement() const {
        return {sizeBytes, fileCount, eligibleFiles, eligibleStamps, refusal};
    }
    void setMeasurement(const Measurement& m);
    void resetMeasurement() { setMeasurement({}); }

    // System junk: 6 rows, and developer caches: 23 rows, with locations placed by the layout.
    static QList<CleanCategory> diskCategories(const HomeLayout& layout);
    static QList<CleanCategory> devCategories(const HomeLayout& layout);
};

namespace CleanCategories {

// The index of the row with this id, or -1.
qsizetype indexOf(const QList<CleanCategory>& table, const QString& id);

// The table with each row's ignoredVariables filled in from the layout.
QList<CleanCategory> withIgnoredVariables(const HomeLayout& layout, QList<CleanCategory> table);

// Absolute paths for home-relative ones through the layout's mapping, in order, each place
// once (two spellings can map to one folder here, and measuring it twice would count it twice).
QStringList mapLocations(const HomeLayout& layout, const QStringList& homeRelative);

// What cleaning the ticked removable rows would free, each item once: rows overlap (screenshots
// older than 7 days hold those older than 30), and an item listed by several rows, or lying in
// a folder that another ticked row empties or moves, is moved once and frees its space once.
// Rows that empty their locations count their measured size; rows that list items count each
// listed item by its stamp (a row listing nothing, or without stamps, counts its measured
// size). Ids with no row count nothing.
qint64 selectedBytes(const QList<CleanCategory>& table, const QSet<QString>& selected);
// True when some ticked removable row, not refused, found something (bytes or files above
// zero): otherwise a clean of the selection has nothing to do.
bool selectionFindsAnything(const QList<CleanCategory>& table, const QSet<QString>& selected);

} // namespace CleanCategories
