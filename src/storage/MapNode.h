#pragma once

#include "storage/DiskMapCategory.h"

#include <optional>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>

// One measured item of the disk map: a file, a folder, or the pool of a folder's small files.
// A plain value; copies share their strings and child lists until changed.
//
// id is the item's path (for the pool: the folder's path followed by "/#loose") and is what
// lists and tiles are keyed by; equality and hashing cover every field, children included,
// recursively. sizeBytes counts the item and everything below it; when a folder's size exceeds
// the sum of its children's, the difference is the folder's own share. A node without children
// is a leaf for drawing and cannot be entered.
struct MapNode {
    QString id;
    QUrl url; // for the pool, the folder's
    QString name;
    qint64 sizeBytes = 0;
    qint64 fileCount = 0;
    std::optional<QDateTime> modified;
    bool isDirectory = false;
    bool isCloudManaged = false;
    DiskMapCategory category = DiskMapCategory::Unknown;
    QList<MapNode> children; // largest first

    // The suffix of a pool's id after its folder's path.
    static QString looseSuffix() { return QStringLiteral("/#loose"); }

    bool hasChildren() const { return !children.isEmpty(); }
    bool operator==(const MapNode& other) const;
    bool operator!=(const MapNode& other) const { return !(*this == other); }
};

size_t qHash(const MapNode& node, size_t seed = 0);

// One finished scan of the home folder: its node (whose children are the measured top-level
// items), when it was built, and how many cloud-managed items and unreadable folders were met.
struct DiskMapResult {
    MapNode root;
    QDateTime scannedAt;
    qint64 cloudFoldersSkipped = 0;
    qint64 unreadableFolders = 0;
};

// Bytes per content category; holds only the categories that received something (a zero-byte
// leaf still enters its category with 0).
using CategoryTotals = QHash<DiskMapCategory, qint64>;

namespace MapNodes {

// Adds the node's bytes to the totals, each byte once, under the category of the deepest node
// that holds it: a leaf adds its size; a folder adds only what its children do not account for
// (nothing when they add up to its size or more), then each child in turn.
void accumulateCategoryTotals(CategoryTotals& totals, const MapNode& node);

} // namespace MapNodes
