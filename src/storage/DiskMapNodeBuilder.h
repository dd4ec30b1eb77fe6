#pragma once

#include "storage/DiskMapMeasurer.h"
#include "storage/DiskMapRecords.h"
#include "storage/DiskMapTally.h"
#include "storage/MapNode.h"

#include <functional>
#include <optional>
#include <QDateTime>
#include <string>

// Builds the disk map's nodes from what a walk recorded (DiskMapRecords), once the walk is over.
//
// A folder's size is everything it holds: its kids' sizes, and its own share, which has no node
// of its own: its own blocks, its hidden items and its subfolders that hold nothing but folders.
// - A folder measured whole (a sink) is a childless node of its blocks and files (the files
//   counted up to the switch); the tool sizes it first when it reached the switch. It is left
//   out (no node) when it holds nothing but folders.
// - A listed folder's kids are its visible subfolders that have a node, its large files, and a
//   pool of its small files ("N loose files", after the others, categorised by the most bytes).
//   Its category is its name's, else its kids' dominant one, else what it inherits; it keeps
//   its kids above the childless depth (DiskMapDepthRule), largest first. It is left out when it
//   keeps no kid and holds nothing but folders; one that showed no entries and cannot be listed
//   is a childless node of its own blocks, counted in the tally as unreadable.
// Whatever is left out still counts in its parent's size (Built::bytes, Built::files).
class DiskMapNodeBuilder {
public:
    using Built = DiskMapRecords::Built;
    using Folder = DiskMapRecords::Folder;
    using Sink = DiskMapRecords::Sink;

    // options: the switch and whether an empty folder can be listed; sizeWhole: has the tool
    // size a sink that reached the switch (the walk's own step, done once per sink).
    DiskMapNodeBuilder(const DiskMapMeasurer::Options& options, DiskMapTally& tally,
                       std::function<void(Sink&)> sizeWhole);

    // The nodes of a folder measured whole and of a listed folder, below the node whose id is
    // parentId (empty for the measured item itself: its id is its decoded path).
    Built sink(Sink& sink, const QString& parentId) const;
    Built folder(Folder& folder, const QString& parentId) const;

    // A file's leaf, its id the decoded path.
    static MapNode fileNode(const std::string& path, qint64 bytes,
                            std::optional<QDateTime> modified, DiskMapCategory inherited);

private:
    const DiskMapMeasurer::Options& m_options;
    DiskMapTally& m_tally;
    std::function<void(Sink&)> m_sizeWhole;
};
