#include "storage/TreemapLayout.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace TreemapLayout {

QList<TreemapTile> squarifiedTreemap(const QList<MapNode>& nodes, const QRectF& rect) {
    std::vector<const MapNode*> kept;
    kept.reserve(size_t(nodes.size()));
    for (const MapNode& node : nodes) {
        if (node.sizeBytes > 0)
            kept.push_back(&node);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const MapNode* a, const MapNode* b) {
        return a->sizeBytes > b->sizeBytes;
    });
    const QRectF area = rect.normalized();
    if (kept.empty() || !(area.width() > 0) || !(area.height() > 0))
        return {};
    double total = 0;
    for (const MapNode* node : kept)
        total += double(node->sizeBytes);
    if (!(total > 0))
        return {};

    const size_t n = kept.size();
    const double scale = (area.width() * area.height()) / total;
    std::vector<double> areas(n);
    for (size_t k = 0; k < n; ++k)
        areas[k] = scale * double(kept[k]->sizeBytes);

    constexpr double infinity = std::numeric_limits<double>::infinity();
    QList<TreemapTile> tiles;
    tiles.reserve(qsizetype(n));
    double x = area.x(), y = area.y(), w = area.width(), h = area.height();
    size_t i = 0;
    while (i < n) {
        const double side = h < w ? h : w;
        if (!(side > 0))
            break;
        const double side2 = side * side;
        double rowSum = areas[i];
        double worst = areas[i] > 0 ? std::max(side2 / areas[i], areas[i] / side2) : infinity;
        double rowMax = areas[i], rowMin = areas[i];
        size_t j = i + 1;
        while (j < n) {
            // The candidate's sum is added in order from the row's first node, as rowSum is.
            const double s = rowSum + areas[j];
            const double rmax = std::max(rowMax, areas[j]);
            const double rmin = std::min(rowMin, areas[j]);
            const double candidate =
                (s > 0 && rmin > 0) ? std::max((side2 * rmax) / (s * s), (s * s) / (side2 * rmin))
                                    : infinity;
            if (worst < candidate)
                break;
            worst = candidate;
            rowSum = s;
            rowMax = rmax;
            rowMin = rmin;
            ++j;
        }
        const bool alongTop = w <= h;
        const double thickness = j < n ? rowSum / side : (alongTop ? h : w);
        double offset = 0;
        for (size_t k = i; k < j; ++k) {
            double length = thickness > 0 ? areas[k] / thickness : 0;
            if (k + 1 == j)
                length = std::max(side - offset, 0.0);
            const QRectF tileRect = alongTop ? QRectF(x + offset, y, length, thickness)
                                             : QRectF(x, y + offset, thickness, length);
            tiles.append(TreemapTile{kept[k]->id, *kept[k], tileRect});
            offset += length;
        }
        if (alongTop) {
            y += thickness;
            h -= thickness;
        } else {
            x += thickness;
            w -= thickness;
        }
        i = j;
    }
    return tiles;
}

} // namespace TreemapLayout
