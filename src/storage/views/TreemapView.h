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
//
// The keyboard reaches every tile: the map takes the focus, one tile is the current one (ringed
// while the focus came by keyboard), the arrows move to the nearest tile that way and select it
// as a click does, Return or Enter asks to enter it as a double click does, and Backspace asks
// for the folder above (upRequested). Assistive technology reads the map as a list with one item
// per tile (its name, size and category), told of the current tile as it moves; an item's
// "Press" selects its tile and, for a folder that can be entered, "Open" enters it.
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
    // The index in tiles() of the keyboard's current tile, or -1.
    int currentTile() const;
    // What a click on the tile at this index does (select it), and what a double click does
    // (enter it, when it has children).
    void clickTile(int index);
    void openTile(int index);

    QSize sizeHint() const override { return {480, 360}; }
    QSize minimumSizeHint() const override { return {120, 90}; }

signals:
    void selectionClicked(const MapNode& node);
    void drillInRequested(const MapNode& node);
    void upRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void relayout();
    // Makes the tile at `index` the current one, repaints the old and new and, with the focus
    // here, tells assistive technology.
    void setCurrent(int index);
    // Tells assistive technology which tile is current, while the map has the focus.
    void announceCurrent();
    // The nearest tile from the current one in the direction of the arrow, or -1.
    int neighbour(Qt::Key arrow) const;
    void updateTile(const QString& id);
    void setHovered(std::optional<QString> id);
    struct LabelFonts {
        QFont name;
        QFont size;
    };
    void paintTile(QPainter& p, const TreemapTile& tile, const LabelFonts& fonts) const;
    // What the focus ring covers on the tile, unfocused: the colour it must stand apart from.
    // The colour a tile shows as it is drawn (its category's, at the opacity its state gives it,
    // over the window), and what lies around it: its neighbours and the window between them.
    QColor fillOf(const TreemapTile& tile) const;
    QList<QColor> around(const TreemapTile& tile) const;
    // The outline drawn inside a tile's frame: a selected tile's is wide and dark (light in the
    // dark theme), any other's a faint white line.
    struct Border {
        QColor colour;
        qreal width;
    };
    Border borderOf(const TreemapTile& tile) const;
    // A ring on the tile: over a selected tile it runs inside the outline, which it would
    // otherwise cover in a colour that can match it (black on a black outline), and is set
    // against the outline and the fill; elsewhere it covers the faint line and is set against
    // `outside`.
    void paintTileRing(QPainter& p, const TreemapTile& tile, const QRectF& frame,
                       const QList<QColor>& outside) const;
    void paintMapRing(QPainter& p) const;

    QList<MapNode> m_nodes;
    std::optional<MapNode> m_selection;
    std::optional<QString> m_hovered;
    std::optional<QString> m_current;
    QList<TreemapTile> m_tiles;
    QWidget* m_empty = nullptr;
    QLabel* m_emptyMessage = nullptr;
};
