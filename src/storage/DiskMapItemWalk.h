#pragma once

#include "storage/DiskMapMeasurer.h"
#include "storage/DiskMapTally.h"
#include "storage/MapNode.h"

#include <optional>
#include <QString>
#include <vector>

// The walk behind a disk map measurement (DiskMapMeasurer has the rules): one item walked from
// its own path, or several items of one folder in a single walk of that folder, so that every
// walker thread serves whichever item has folders left to read. It records what it meets
// (DiskMapRecords), has the disk-usage tool size the folders that reach the switch, and hands the
// records to DiskMapNodeBuilder at the end.
namespace DiskMapItemWalk {

// DiskMapMeasurer::measure, on `threads` walker threads.
std::optional<MapNode> measure(const DiskMapMeasurer::Options& options, DiskMapTally& tally,
                               int threads, const QString& path, int depth,
                               DiskMapCategory inherited);

// DiskMapMeasurer::measureItems, on `threads` walker threads.
std::vector<std::optional<MapNode>> measureItems(const DiskMapMeasurer::Options& options,
                                                 DiskMapTally& tally, int threads,
                                                 const QString& folder,
                                                 const std::vector<DiskMapMeasurer::Item>& items);

} // namespace DiskMapItemWalk
