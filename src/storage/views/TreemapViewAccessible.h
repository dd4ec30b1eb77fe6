#pragma once

#include <QAccessibleWidget>
#include <QHash>

class TreemapView;

// A TreemapView as assistive technology sees it: a list named as the map, with one item per tile
// in the layout's order. An item is made the first time it is asked for and kept by its tile's
// id, so it stays one object while its tile is on screen (a resize keeps it); once its tile is
// gone (another folder, another scan) it reads as invalid, and it is deleted when the map next
// hands out an item. The current tile is the focused item while the map has the focus.
class TreemapViewAccessible : public QAccessibleWidget {
public:
    explicit TreemapViewAccessible(TreemapView* view);
    ~TreemapViewAccessible() override;

    // Makes QAccessible::queryAccessibleInterface answer this for every TreemapView. Idempotent.
    static void installFactory();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    TreemapView* view() const;
    void dropGone() const;

    mutable QHash<QString, QAccessible::Id> m_items;
};
