#pragma once

#include "storage/DiskMapTally.h"
#include "storage/MapNode.h"

#include <functional>
#include <memory>
#include <optional>
#include <QString>
#include <vector>

class DiskUsage;

// Measures one item of the home folder into a small MapNode tree, with the directory walker
// (parallel over subfolders, no symlink followed, hard-linked files counted once).
//
// A folder's size is what `du -sk` says of it, however it is measured: the allocated blocks of
// everything below it, hidden items and the folders' own blocks included, each hard-linked file
// once: under the name whose folder comes first by path (then by name), on every scan alike,
// however the walk's threads met its names. Only its visible children are drawn: the rest (its own
// blocks, its hidden items, and subfolders that hold nothing but folders) is the folder's own
// share, in its size and not in its children's (MapNode). Its file count counts the regular files
// its size holds, hidden ones included.
//
// Shape of the tree, by depth (an item directly in home is at depth 1):
// - A file is a leaf of its allocated size (what `du` counts). Inside a folder, files under
//   100 MiB are pooled into one "N loose files" node (id: the folder's id + "/#loose"), whose
//   category is the one holding most of the pooled bytes; larger files stay nodes of their own.
// - A package (a folder ending in one of the package extensions), a build or dependency folder
//   ("node_modules", "build", …), a hidden folder and any folder at depth 5 or more is measured
//   whole: a childless node. At its 20,000th regular file (switchFiles) the disk-usage tool
//   sizes it instead, and its count stays at that number; when the tool gives nothing, the
//   blocks summed so far stand. A folder measured whole that holds nothing but folders is left
//   out (its blocks stay in its parent's size).
// - Other folders are listed child by child; at depth 4 they keep no children (their category
//   may still come from them). A folder that keeps no child and holds nothing but folders is left
//   out; a folder that cannot be listed stays as a node of its own blocks, without children, and
//   is counted in the tally as unreadable.
// - Categories follow ContentClassifier: a listed folder by its name, else its biggest category
//   among its children, else what its parent hands down; files by extension and name.
//
// Thread-safe: one measurer may serve several items at once. A cancelled measurement returns
// nothing.
class DiskMapMeasurer {
public:
    static constexpr qint64 looseThreshold = 104'857'600; // 100 MiB: smaller files are pooled
    static constexpr int wholeDepth = 5;
    static constexpr int childlessDepth = 4;
    static constexpr int namedDepth = 2; // folders down to this depth name themselves in progress

    struct Options {
        // Walker threads per item; 0 means ParallelLoop::diskThreads().
        int walkerThreads = 0;
        int switchFiles = 20'000;
        // The disk-usage tool for very large folders measured whole; null: the files summed stand.
        std::shared_ptr<const DiskUsage> diskUsage;
        // Whether a folder that showed no entries at all can be listed (an empty folder) or not
        // (an unreadable one). Null: the folder is opened to find out.
        std::function<bool(const QString& path)> canList;
    };

    DiskMapMeasurer();
    explicit DiskMapMeasurer(Options options);

    // The node of the item at path (no trailing slash), at the given depth, inheriting a category
    // from its parent; nothing when it is left out or the tally's token is cancelled.
    std::optional<MapNode> measure(const QString& path, int depth, DiskMapCategory inherited,
                                   DiskMapTally& tally) const;

    // An item directly in a folder, by name, and the category its parent hands down.
    struct Item {
        QString name;
        DiskMapCategory inherited = DiskMapCategory::Unknown;
    };
    // The nodes of the given items of folder, each as measure() gives it at depth 1 (an item the
    // walk does not find is a file of no bytes), in the order given, from one walk of the folder
    // shared by all of them. The tally hears of each item's end (folderDone) once its part of the
    // walk is over and the tool has sized its folders that reached the switch, before the nodes
    // are built; the last end comes after every count. Nothing at all when the tally's token is
    // cancelled.
    std::vector<std::optional<MapNode>>
    measureItems(const QString& folder, const std::vector<Item>& items, DiskMapTally& tally) const;

    // The pool's name: "1 loose file", "N loose files".
    static QString looseName(qint64 count);

private:
    int threads() const;

    Options m_options;
};
