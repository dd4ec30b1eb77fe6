#include "storage/views/TreemapView.h"
#include "storage/DiskMapText.h"
#include "support/AccessibleAudit.h"
#include "ui-kit/Themed.h"

#include <array>
#include <gtest/gtest.h>
#include <QAccessible>
#include <QLabel>
#include <QSet>
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

// Without a mouse: the map takes the focus, the arrows walk the tiles and select them, Return
// enters a folder and Backspace asks for the one above, as clicks do; a reader finds one item
// per tile with its name, size and category, the current one focused.
TEST(TreemapView, TheKeyboardAndAssistiveTechnologyReachEveryTile) {
    TreemapView view;
    view.resize(400, 200);
    view.setNodes({node("folder", 60, true), node("file", 30), node("empty", 10)});
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QSignalSpy selected(&view, &TreemapView::selectionClicked);
    QSignalSpy entered(&view, &TreemapView::drillInRequested);
    QSignalSpy up(&view, &TreemapView::upRequested);

    EXPECT_NE(view.focusPolicy() & Qt::TabFocus, 0);
    view.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(view.hasFocus());
    QCoreApplication::processEvents();
    const QString firstId = view.tiles().at(view.currentTile()).id;
    EXPECT_EQ(firstId, "folder");

    QAccessibleInterface* map = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->childCount(), 3);
    QStringList names;
    for (int i = 0; i < map->childCount(); ++i) {
        QAccessibleInterface* tile = map->child(i);
        EXPECT_EQ(tile->role(), QAccessible::ListItem);
        EXPECT_EQ(tile->parent(), map);
        EXPECT_EQ(map->indexOfChild(tile), i);
        names.append(tile->text(QAccessible::Name));
    }
    EXPECT_TRUE(names.contains(DiskMapText::tileHelp(node("file", 30))));
    ASSERT_NE(map->focusChild(), nullptr);
    EXPECT_EQ(map->focusChild()->text(QAccessible::Name),
              DiskMapText::tileHelp(node("folder", 60, true)));
    EXPECT_TRUE(map->focusChild()->state().focused);

    // The arrows reach every tile, each selected as a click selects it, and stop at the edge.
    QSet<QString> reached;
    for (int i = 0; i < 12; ++i) {
        const Qt::Key key =
            std::array{Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}[i % 4];
        QTest::keyClick(&view, key);
        reached.insert(view.selection()->id);
        EXPECT_EQ(map->focusChild()->text(QAccessible::Name),
                  DiskMapText::tileHelp(*view.selection()));
        EXPECT_TRUE(map->focusChild()->state().selected);
    }
    EXPECT_EQ(reached, QSet<QString>({"folder", "file", "empty"}));
    EXPECT_EQ(selected.last().at(0).value<MapNode>().id, view.selection()->id);
    view.clickTile(0); // the folder, along the left edge
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(view.selection()->id, "folder");

    // Return enters a folder, never a file.
    for (int i = 0; i < view.tiles().size(); ++i) {
        if (view.tiles().at(i).id == "file")
            view.clickTile(i);
    }
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(entered.count(), 0);
    view.clickTile(0);
    ASSERT_EQ(view.selection()->id, "folder");
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_EQ(entered.count(), 1);
    EXPECT_EQ(entered.at(0).at(0).value<MapNode>().id, "folder");
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(up.count(), 1);

    // A reader's actions do what the clicks do.
    QAccessibleInterface* file = nullptr;
    QAccessibleInterface* folder = nullptr;
    for (int i = 0; i < map->childCount(); ++i) {
        const QString id = view.tiles().at(i).id;
        if (id == "file")
            file = map->child(i);
        else if (id == "folder")
            folder = map->child(i);
    }
    ASSERT_TRUE(file && folder);
    EXPECT_EQ(file->actionInterface()->actionNames(),
              QStringList({QAccessibleActionInterface::pressAction()}));
    file->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(view.selection()->id, "file");
    EXPECT_EQ(selected.last().at(0).value<MapNode>().id, "file");
    ASSERT_TRUE(folder->actionInterface()->actionNames().contains(DiskMapText::openTileAction()));
    folder->actionInterface()->doAction(DiskMapText::openTileAction());
    EXPECT_EQ(entered.count(), 2);

    // Another folder's tiles: the old items go invalid, and the keyboard starts at the largest.
    const QAccessible::Id fileId = QAccessible::uniqueId(file);
    view.setNodes({node("inner", 5)});
    QAccessibleInterface* gone = QAccessible::accessibleInterface(fileId);
    EXPECT_TRUE(!gone || !gone->isValid());
    ASSERT_EQ(map->childCount(), 1);
    EXPECT_EQ(view.currentTile(), 0);
    EXPECT_EQ(map->child(0)->text(QAccessible::Name), DiskMapText::tileHelp(node("inner", 5)));
}

// A selected tile wears a dark outline (light in the dark theme); the ring a key press puts on it
// must still show against that outline, the tile's fill and the map around it, whatever the
// tile's colour, or every arrow press lands on a tile that looks no different.
TEST(TreemapView, TheRingOnTheSelectedTileShowsAgainstItsOutlineAndFill) {
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        for (const DiskMapCategory category : allCases<DiskMapCategory>()) {
            TreemapView view;
            view.setPalette(
                Themed::palette(scheme, Themed::accentColor(AccentChoice::Blue, scheme)));
            view.resize(400, 300);
            MapNode big = node("big", 600);
            big.category = category;
            MapNode other = node("other", 300);
            other.category = DiskMapCategory::DownloadsLimbo;
            view.setNodes({big, other, node("small", 100)});
            view.setSelection(big);
            view.show();
            QCoreApplication::processEvents();
            const QImage plain = view.grab().toImage();
            view.setAttribute(Qt::WA_KeyboardFocusChange);
            view.activateWindow();
            view.setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            ASSERT_TRUE(view.hasFocus());
            const QString what =
                rawValue(category) + (scheme == ColorScheme::Dark ? " dark" : " light");
            const testsupport::RingSides sides =
                testsupport::ringSides(plain, view.grab().toImage(), 3.0);
            EXPECT_GE(sides.seen, 4 * view.height()) << what.toStdString();
            EXPECT_LE(sides.faint * 8, sides.seen + sides.faint) << what.toStdString();
        }
    }
}
