#include "storage/views/TreemapView.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

MapNode node(const QString& id, qint64 bytes, bool withChild = false) {
    MapNode n;
    n.id = id;
    n.name = id;
    n.sizeBytes = bytes;
    n.isDirectory = withChild;
    if (withChild) {
        MapNode c;
        c.id = id + "/x";
        c.sizeBytes = bytes;
        n.children = {c};
    }
    return n;
}

QPoint centreOf(const TreemapView& view, const QString& id) {
    for (const TreemapTile& t : view.tiles()) {
        if (t.id == id)
            return t.rect.center().toPoint();
    }
    return {};
}

} // namespace

TEST(TreemapView, EmptyPanelWhenNothingCanBeDrawn) {
    TreemapView view;
    view.resize(300, 200);
    view.show();
    EXPECT_TRUE(view.showsEmptyState());
    auto* message = view.findChild<QLabel*>("treemapEmptyMessage");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), "This folder is empty, or everything in it is too small to see.");
    // Sparse or empty files: the folder holds things, they just take no space.
    view.setNodes({node("a", 0), node("b", -1)});
    EXPECT_TRUE(view.showsEmptyState());
    EXPECT_EQ(message->text(), "The files in this folder take no space on disk.");
    view.setNodes({});
    EXPECT_EQ(message->text(), "This folder is empty, or everything in it is too small to see.");
    view.setNodes({node("a", 10)});
    EXPECT_FALSE(view.showsEmptyState());
    view.resize(300, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(view.showsEmptyState());
}

TEST(TreemapView, ClickSelectsDoubleClickEntersOnlyFolders) {
    TreemapView view;
    view.resize(400, 200);
    view.setNodes({node("folder", 60, true), node("file", 30), node("empty", 10)});
    view.show();
    QSignalSpy selected(&view, &TreemapView::selectionClicked);
    QSignalSpy entered(&view, &TreemapView::drillInRequested);

    QTest::mouseClick(&view, Qt::LeftButton, {}, centreOf(view, "file"));
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).value<MapNode>().id, "file");
    EXPECT_EQ(view.selection()->id, "file");

    QTest::mouseDClick(&view, Qt::LeftButton, {}, centreOf(view, "file"));
    QTest::mouseDClick(&view, Qt::LeftButton, {}, centreOf(view, "empty"));
    EXPECT_EQ(entered.count(), 0);
    QTest::mouseDClick(&view, Qt::LeftButton, {}, centreOf(view, "folder"));
    ASSERT_EQ(entered.count(), 1);
    EXPECT_EQ(entered.at(0).at(0).value<MapNode>().id, "folder");
}

TEST(TreemapView, HoverFollowsThePointer) {
    TreemapView view;
    view.resize(400, 200);
    view.setNodes({node("a", 50), node("b", 50)});
    view.show();
    QTest::mouseMove(&view, centreOf(view, "a"));
    EXPECT_EQ(view.hovered(), "a");
    QTest::mouseMove(&view, centreOf(view, "b"));
    EXPECT_EQ(view.hovered(), "b");
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&view, &leave);
    EXPECT_EQ(view.hovered(), std::nullopt);
}

TEST(TreemapView, ThinTilesStillTakeAPoint) {
    TreemapTile tile{"t", node("t", 1), QRectF(10, 10, 0.2, 40)};
    const QRectF frame = TreemapView::frameOf(tile);
    EXPECT_DOUBLE_EQ(frame.width(), 1.0);
    EXPECT_DOUBLE_EQ(frame.height(), 40.0);
    EXPECT_DOUBLE_EQ(frame.center().x(), tile.rect.center().x());
}
