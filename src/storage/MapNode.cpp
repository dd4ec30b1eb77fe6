#include "storage/MapNode.h"

bool MapNode::operator==(const MapNode& o) const {
    return id == o.id && url == o.url && name == o.name && sizeBytes == o.sizeBytes &&
           fileCount == o.fileCount && modified == o.modified && isDirectory == o.isDirectory &&
           isCloudManaged == o.isCloudManaged && category == o.category && children == o.children;
}

size_t qHash(const MapNode& node, size_t seed) {
    QtPrivate::QHashCombine combine;
    seed = combine(seed, node.id);
    seed = combine(seed, node.url);
    seed = combine(seed, node.name);
    seed = combine(seed, node.sizeBytes);
    seed = combine(seed, node.fileCount);
    if (node.modified) {
        seed = combine(seed, 1);
        seed = combine(seed, node.modified->toMSecsSinceEpoch());
    } else {
        seed = combine(seed, 0);
    }
    seed = combine(seed, node.isDirectory);
    seed = combine(seed, node.isCloudManaged);
    seed = combine(seed, rawValue(node.category));
    seed = combine(seed, node.children.size());
    for (const MapNode& child : node.children)
        seed = qHash(child, seed);
    return seed;
}

namespace MapNodes {

void accumulateCategoryTotals(CategoryTotals& totals, const MapNode& node) {
    if (node.children.isEmpty()) {
        totals[node.category] += node.sizeBytes;
        return;
    }
    qint64 listed = 0;
    for (const MapNode& child : node.children)
        listed += child.sizeBytes;
    const qint64 own = node.sizeBytes - listed;
    if (own > 0)
        totals[node.category] += own;
    for (const MapNode& child : node.children)
        accumulateCategoryTotals(totals, child);
}

} // namespace MapNodes
