#pragma once

#include "storage/MapNode.h"

#include <QList>
#include <QRectF>

// One laid-out tile: the node it shows (id is the node's) and where it lies, in the coordinates
// of the rectangle given to the layout (y grows downwards).
struct TreemapTile {
    QString id;
    MapNode node;
    QRectF rect;
};

namespace TreemapLayout {

// Lays the nodes out as a squarified treemap filling rect (read through its normalized form):
// each node of more than 0 bytes gets a tile whose area is in proportion to its size, largest
// first (equal sizes keep their input order), in rows along the shorter side of the free space,
// a row growing while its worst aspect ratio does not get worse (a tie still grows it). The last
// row fills the rest of the space exactly, and the last tile of each row takes what is left of
// its side, so the tiles cover the rectangle without gaps.
//
// Gives no tile for an empty list, sizes that are all 0 or less, or a rectangle without width or
// height. Pure: the same input always gives the same tiles.
QList<TreemapTile> squarifiedTreemap(const QList<MapNode>& nodes, const QRectF& rect);

} // namespace TreemapLayout
