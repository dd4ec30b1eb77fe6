#include "storage/TreemapLayout.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

MapNode node(const QString& id, qint64 bytes) {
    MapNode n;
    n.id = id;
    n.name = id;
    n.sizeBytes = bytes;
    return n;
}

QList<QRectF> rects(const QList<TreemapTile>& tiles) {
    QList<QRectF> out;
    for (const TreemapTile& t : tiles)
        out << t.rect;
    return out;
}

QStringList ids(const QList<TreemapTile>& tiles) {
    return testsupport::strings(tiles, &TreemapTile::id);
}

} // namespace

TEST(SquarifiedTreemap, NothingToLayOut) {
    const QRectF box(0, 0, 100, 100);
    EXPECT_TRUE(TreemapLayout::squarifiedTreemap({}, box).isEmpty());
    EXPECT_TRUE(TreemapLayout::squarifiedTreemap({node("a", 0), node("b", -5)}, box).isEmpty());
    EXPECT_TRUE(TreemapLayout::squarifiedTreemap({node("a", 5)}, QRectF(0, 0, 0, 50)).isEmpty());
    EXPECT_TRUE(TreemapLayout::squarifiedTreemap({node("a", 5)}, QRectF(0, 0, 50, 0)).isEmpty());
}

TEST(SquarifiedTreemap, ExamplesTileExactly) {
    const struct {
        const char* name;
        QList<qint64> sizes;
        QRectF box;
        QList<QRectF> expected;
    } rows[] = {
        {"single", {7}, QRectF(0, 0, 300, 200), {QRectF(0, 0, 300, 200)}},
        {"zero among others", {0, 5}, QRectF(0, 0, 300, 200), {QRectF(0, 0, 300, 200)}},
        {"two equal, wide",
         {1, 1},
         QRectF(0, 0, 200, 100),
         {QRectF(0, 0, 100, 100), QRectF(100, 0, 100, 100)}},
        {"two equal, square: a tie joins the row",
         {1, 1},
         QRectF(0, 0, 100, 100),
         {QRectF(0, 0, 50, 100), QRectF(50, 0, 50, 100)}},
        {"four equal",
         {3, 3, 3, 3},
         QRectF(0, 0, 100, 100),
         {QRectF(0, 0, 50, 50), QRectF(50, 0, 50, 50), QRectF(0, 50, 50, 50),
          QRectF(50, 50, 50, 50)}},
        {"offset origin",
         {1, 1},
         QRectF(10, 20, 200, 100),
         {QRectF(10, 20, 100, 100), QRectF(110, 20, 100, 100)}},
        {"negative extent read as positive",
         {1, 1},
         QRectF(200, 100, -200, -100),
         {QRectF(0, 0, 100, 100), QRectF(100, 0, 100, 100)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QList<MapNode> nodes;
        for (qsizetype i = 0; i < row.sizes.size(); ++i)
            nodes << node(QString::number(i), row.sizes[i]);
        const QList<TreemapTile> tiles = TreemapLayout::squarifiedTreemap(nodes, row.box);
        ASSERT_EQ(tiles.size(), row.expected.size());
        for (qsizetype i = 0; i < tiles.size(); ++i) {
            EXPECT_NEAR(tiles[i].rect.x(), row.expected[i].x(), 1e-9) << i;
            EXPECT_NEAR(tiles[i].rect.y(), row.expected[i].y(), 1e-9) << i;
            EXPECT_NEAR(tiles[i].rect.width(), row.expected[i].width(), 1e-9) << i;
            EXPECT_NEAR(tiles[i].rect.height(), row.expected[i].height(), 1e-9) << i;
        }
    }
}

TEST(SquarifiedTreemap, LargestFirstAndStableOnTies) {
    const QList<TreemapTile> tiles = TreemapLayout::squarifiedTreemap(
        {node("small", 1), node("tieA", 5), node("big", 9), node("tieB", 5)},
        QRectF(0, 0, 120, 80));
    EXPECT_EQ(ids(tiles), QStringList({"big", "tieA", "tieB", "small"}));
    EXPECT_EQ(tiles[0].node.sizeBytes, 9);
}

TEST(SquarifiedTreemap, TilesCoverTheRectangle) {
    QList<MapNode> nodes;
    quint64 seed = 42;
    for (int i = 0; i < 300; ++i) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        nodes << node(QString::number(i), qint64(seed >> 44) + (i % 3 == 0 ? 0 : 1));
    }
    const QRectF box(3, 7, 913, 411);
    const QList<TreemapTile> tiles = TreemapLayout::squarifiedTreemap(nodes, box);
    double area = 0;
    for (const QRectF& r : rects(tiles)) {
        EXPECT_GE(r.width(), 0);
        EXPECT_GE(r.height(), 0);
        EXPECT_GE(r.left(), box.left() - 1e-6);
        EXPECT_LE(r.right(), box.right() + 1e-6);
        EXPECT_GE(r.top(), box.top() - 1e-6);
        EXPECT_LE(r.bottom(), box.bottom() + 1e-6);
        area += r.width() * r.height();
    }
    EXPECT_NEAR(area, box.width() * box.height(), 1e-6 * box.width() * box.height());
}
