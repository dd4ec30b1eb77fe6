#pragma once

#include "storage/TreemapLayout.h"

#include <optional>
#include <QWidget>

class QLabel;

// The contents of one folder of the disk map as a treemap: one rounded tile per node, its area in
// proportion to the node's size, coloured by its content category and painted straight from the
// layout (no widget per tile, so a folder of thousands of children stays smooth).
//
// The host owns the nodes, the selection and what entering means: a click selects any tile
// (selectionClicked), a double click on a tile whose node has children asks to enter it
// (drillInRequested); a file or an empty folder cannot be entered. The view keeps only the hover
// (the tile under the pointer) and never clears hover or selection by itself when the nodes
// change. A tile names itself when it is big enough and tells its name, size and category as a
// tooltip. With no tile to draw it shows "Nothing to draw here.", and why: an empty folder, or
// one whose files take no space on disk.
class TreemapView : public QWidget {
    Q_OBJECT
public:
    explicit TreemapView(QWidget* parent = nullptr);

    void setNodes(QList<MapNode> nodes);
    const QList<MapNode>& nodes() const { return m_nodes; }
    // The host's selection, drawn with a border; none draws none.
    void setSelection(const std::optional<MapNode>& selection);
    const std::optional<MapNode>& selection() const { return m_selection; }
    // The id of the tile under the pointer.
    std::optional<QString> hovered() const { return m_hovered; }

    // The tiles as laid out for the current size.
    const QList<TreemapTile>& tiles() const;
    // The tile at a point of the view, or null; the frame drawn for it, at least 1 point a side.
    const TreemapTile* tileAt(const QPointF& point) const;
    static QRectF frameOf(const TreemapTile& tile);
    bool showsEmptyState() const;

    QSize sizeHint() const override { return {480, 360}; }
    QSize minimumSizeHint() const override { return {120, 90}; }

signals:
    void selectionClicked(const MapNode& node);
    void drillInRequested(const MapNode& node);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void relayout();
    void setHovered(std::optional<QString> id);
    struct LabelFonts {
        QFont name;
        QFont size;
    };
    void paintTile(QPainter& p, const TreemapTile& tile, const LabelFonts& fonts) const;

    QList<MapNode> m_nodes;
    std::optional<MapNode> m_selection;
    std::optional<QString> m_hovered;
    QList<TreemapTile> m_tiles;
    QWidget* m_empty = nullptr;
    QLabel* m_emptyMessage = nullptr;
};
