#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <QMargins>
#include <QString>
#include <QWidget>
#include <vector>

class QBoxLayout;
class QGridLayout;
class QKGridLayout;
class QLayout;
class QVBoxLayout;

// A screen's layout stated as a tree: columns and rows of parts, stretches and gaps, each part
// styled, named and placed in one expression. The constructor of a screen states the tree and
// then its connections; nothing else of its layout is written by hand.
//
//     using namespace QKLayout;
//     column({16, 16, 16, 16}, 10, {
//         part(new QLabel(tr("Minimum size"), this)).font(TextStyle::Body).buddy("minSize"),
//         part(m_sizes = new QComboBox(this)).name("minSize").stretch(1),
//         row(6, {part(m_ok = new QPushButton(tr("OK"), this)), stretch(1)}),
//     }).on(this);
//
// The parts are made by the caller with their final parent, in the order they appear (a braced
// list runs left to right), so the focus chain follows the tree. What a part is given is set as
// the tree is written: its font and ink through QKFont and QKForeground (so both follow the text
// size and the palette), its object name (what tests find it by), its accessible name. A buddy
// is named by the object name of a part of the same tree and joined when the tree is placed, so
// a label may come before the field it names.
//
// A panel is a part that holds a box of its own: in `part(panel = new QWidget(this))
// .holding(row(...))` the panel is made before the parts inside it, which take it as parent.
//
// Besides columns and rows, a tree holds the two grids screens use: a `grid` of cells in rows
// and columns (a table whose cells line up, and its common case, the `form` of names and
// values), and `tiles`, cards that flow into as many equal columns as the width allows.
//
// A box leaves unset what it is not given: a nested box without insets has none and takes its
// parent's spacing, exactly as a plain QBoxLayout does.
namespace QKLayout {

class Box;
class Grid;
class Tiles;

// The labels of a tree and the object names of the parts they name, joined once it is placed.
using Buddies = std::vector<std::pair<QWidget*, QString>>;

// What a tree places as a layout of its own: a box or a grid.
class Node {
public:
    virtual ~Node() = default;
    // The node as a layout on `owner` (null: one to nest), its labels' buddies noted.
    virtual QLayout* build(QWidget* owner, Buddies& buddies) const = 0;
};

// One entry of a box: a part, a nested box or grid, an existing layout, a stretch or a fixed gap.
class Item {
public:
    Item(QWidget* widget);    // NOLINT(google-explicit-constructor): a bare part, as placed
    Item(const Box& box);     // NOLINT(google-explicit-constructor)
    Item(const Grid& grid);   // NOLINT(google-explicit-constructor)
    Item(const Tiles& tiles); // NOLINT(google-explicit-constructor)

    enum class Kind { Part, Box, Node, Layout, Stretch, Space };
    Kind kind = Kind::Part;
    QWidget* widget = nullptr;
    std::shared_ptr<const Box> box;
    std::shared_ptr<const Node> node; // a grid or tiles
    QLayout* layout = nullptr;
    int stretch = 0;
    Qt::Alignment alignment = {};
    int span = 1;  // in a grid: the columns the cell takes
    QString buddy; // the object name of the part this label names

private:
    Item() = default;
    friend Item stretch(int);
    friend Item space(int);
    friend Item existing(QLayout*, int);
};

// A part of the tree: the widget, with what the tree sets on it and how it is placed. Every
// setter returns the part, so a part is written as one chain.
template <typename W> class Part {
public:
    explicit Part(W* widget) : m_widget(widget), m_item(widget) {}

    Part& name(const QString& objectName) {
        m_widget->setObjectName(objectName);
        return *this;
    }
    Part& font(const QKFont& font) {
        QKFont::apply(m_widget, font);
        return *this;
    }
    Part& font(TextStyle style, std::optional<QFont::Weight> weight = std::nullopt) {
        QKFont::apply(m_widget, style, weight);
        return *this;
    }
    Part& ink(QKForeground::Style ink) {
        QKForeground::apply(m_widget, ink);
        return *this;
    }
    Part& accessibleName(const QString& name) {
        m_widget->setAccessibleName(name);
        return *this;
    }
    // The part (a label) names the part of this object name; joined when the tree is placed.
    Part& buddy(const QString& objectName) {
        m_item.buddy = objectName;
        return *this;
    }
    Part& stretch(int factor) {
        m_item.stretch = factor;
        return *this;
    }
    Part& align(Qt::Alignment alignment) {
        m_item.alignment = alignment;
        return *this;
    }
    // In a grid: the cell takes this many columns.
    Part& span(int columns) {
        m_item.span = columns;
        return *this;
    }
    // The part holds this box or grid as its own layout (a panel of parts).
    Part& holding(const Node& node);
    // Anything else the part needs before it is placed.
    template <typename F> Part& with(F&& set) {
        set(m_widget);
        return *this;
    }

    W* widget() const { return m_widget; }
    operator Item() const { return m_item; } // NOLINT(google-explicit-constructor)

private:
    W* m_widget;
    Item m_item;
};

template <typename W> Part<W> part(W* widget) {
    return Part<W>(widget);
}

// A stretch of this factor; a fixed gap of this many points.
Item stretch(int factor = 1);
Item space(int points);
// A layout built elsewhere, placed with this stretch.
Item existing(QLayout* layout, int stretch = 0);

// A column or row of items.
class Box : public Node {
public:
    Box(Qt::Orientation orientation, std::optional<QMargins> insets, std::optional<int> spacing,
        std::initializer_list<Item> items);

    // Appends an item, for a box whose items come from a loop.
    Box& add(const Item& item) {
        m_items.push_back(item);
        return *this;
    }
    // Hands the made layout to `layout` too, for a screen that changes it later.
    Box& keep(QBoxLayout*& layout) {
        m_kept = &layout;
        return *this;
    }
    // Placed in a box with this stretch.
    Box& stretch(int factor) {
        m_stretch = factor;
        return *this;
    }
    // A row laid out on a widget that turns into a column while the widget is narrower than the
    // row needs, so its parts stack instead of being squeezed or clipped (the largest text in a
    // small window). The row needs the natural width of each shown item, counting an item that
    // stretches as `flexibleMinimum` and a nested row that stacks as its own row would; the
    // check runs whenever the widget is resized or its contents ask for a new layout.
    Box& stacksWhenNarrow(int flexibleMinimum = 0) {
        m_stackMinimum = flexibleMinimum;
        return *this;
    }

    // Lays the box out on `owner` and returns its layout.
    QBoxLayout* on(QWidget* owner) const;
    // The box as a layout of no widget, to nest by hand.
    QBoxLayout* make() const;
    // Appends the items to a layout made elsewhere (a group box's column).
    void fill(QBoxLayout* layout) const;
    // Inserts the items before the trailing stretch of a page's column (QKBuild::page).
    void fillPage(QVBoxLayout* column) const;

    int placedStretch() const { return m_stretch; }
    QLayout* build(QWidget* owner, Buddies& buddies) const override;

private:
    // Places the items at `at` and on (each after the one before), or at the end when at < 0.
    void place(QBoxLayout* layout, int& at, Buddies& buddies) const;
    QBoxLayout* made(QWidget* owner, Buddies& buddies) const;

    Qt::Orientation m_orientation;
    std::optional<QMargins> m_insets;
    std::optional<int> m_spacing;
    std::vector<Item> m_items;
    int m_stretch = 0;
    std::optional<int> m_stackMinimum;
    QBoxLayout** m_kept = nullptr;
    bool m_run = false;
    friend Box items(std::initializer_list<Item> items);
};

// Columns and rows: with insets and spacing, with spacing or insets only, or with neither (nested,
// a box then has no insets and takes its parent's spacing).
struct BoxOf {
    Qt::Orientation orientation;
    Box operator()(const QMargins& insets, int spacing, std::initializer_list<Item> items) const;
    Box operator()(int spacing, std::initializer_list<Item> items) const;
    // Insets, and the spacing of the style (a layout laid out on a widget) or of the parent box.
    Box operator()(const QMargins& insets, std::initializer_list<Item> items) const;
    Box operator()(std::initializer_list<Item> items) const;
};
inline constexpr BoxOf column{Qt::Vertical};
inline constexpr BoxOf row{Qt::Horizontal};
// Parts that touch: no insets and no spacing.
Box flushColumn(std::initializer_list<Item> items);
Box flushRow(std::initializer_list<Item> items);

// A table: rows of cells that line up in columns. A cell is any item (a part, a box); a part
// cell may take several columns (`span`) and keeps its alignment. Rows shorter than the widest
// leave their last columns empty.
class Grid : public Node {
public:
    Grid(std::optional<QMargins> insets, int horizontalSpacing, int verticalSpacing,
         std::initializer_list<std::initializer_list<Item>> rows);

    // Appends a row, for a grid whose rows come from a loop.
    Grid& add(std::initializer_list<Item> cells);
    Grid& add(std::vector<Item> cells);
    // The column (row) takes this share of the spare width (height).
    Grid& stretchColumn(int column, int factor);
    Grid& stretchRow(int row, int factor);
    // Placed in a box with this stretch.
    Grid& stretch(int factor) {
        m_stretch = factor;
        return *this;
    }
    int placedStretch() const { return m_stretch; }
    Grid& keep(QGridLayout*& layout) {
        m_kept = &layout;
        return *this;
    }

    QGridLayout* on(QWidget* owner) const;
    QLayout* build(QWidget* owner, Buddies& buddies) const override;

private:
    QGridLayout* made(QWidget* owner, Buddies& buddies) const;

    std::optional<QMargins> m_insets;
    int m_hSpacing;
    int m_vSpacing;
    std::vector<std::vector<Item>> m_rows;
    std::vector<std::pair<int, int>> m_columnStretch;
    std::vector<std::pair<int, int>> m_rowStretch;
    int m_stretch = 0;
    QGridLayout** m_kept = nullptr;
};

Grid grid(int horizontalSpacing, int verticalSpacing,
          std::initializer_list<std::initializer_list<Item>> rows = {});
Grid grid(const QMargins& insets, int horizontalSpacing, int verticalSpacing,
          std::initializer_list<std::initializer_list<Item>> rows = {});

// A form: names over the first column and their values in the second, which takes the spare
// width; each row's name (a label) is the buddy of its value, so a reader says the name with it.
// Rows are added with `add({name, value})`.
Grid form(int horizontalSpacing, int verticalSpacing,
          std::initializer_list<std::initializer_list<Item>> rows = {});

// Cards that flow into rows of equal columns, as many as fit minColumnWidth each
// (QKGridLayout). The cards are parts, in the order they are read.
class Tiles : public Node {
public:
    Tiles(int minColumnWidth, int horizontalSpacing, int verticalSpacing,
          std::initializer_list<Item> cards);

    // Appends a card, for tiles that come from a loop.
    Tiles& add(const Item& card) {
        m_cards.push_back(card);
        return *this;
    }
    Tiles& keep(QKGridLayout*& layout) {
        m_kept = &layout;
        return *this;
    }

    QKGridLayout* on(QWidget* owner) const;
    QLayout* build(QWidget* owner, Buddies& buddies) const override;

private:
    int m_minColumn;
    int m_hSpacing;
    int m_vSpacing;
    std::vector<Item> m_cards;
    QKGridLayout** m_kept = nullptr;
};

Tiles tiles(int minColumnWidth, int spacing, std::initializer_list<Item> cards = {});

// A run of items placed straight into the box around them, not a box of their own: what a
// builder hands a screen to place as several parts (a strip and its hairline).
Box items(std::initializer_list<Item> items);

// A pane header's title block, taking the spare width of its row: the title in the headline
// style over the subtitle in the caption style and secondary ink, two points apart, both named
// as given (an empty name leaves a label unnamed).
Box titles(const QString& title, const QString& subtitle, QWidget* header,
           const QString& titleName = {}, const QString& subtitleName = {});

// Lays a box or grid out on `owner`, its labels joined to their buddies.
void layOut(const Node& node, QWidget* owner);

template <typename W> Part<W>& Part<W>::holding(const Node& node) {
    layOut(node, m_widget);
    return *this;
}

} // namespace QKLayout
