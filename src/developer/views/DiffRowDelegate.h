#pragma once

#include "shell/DiffRow.h"

#include <QStyledItemDelegate>

class QFontMetrics;

// Paints one row of a line diff (DiffRowModel::RowRole) as two equal cells, first file left,
// second right, with a hairline between. A cell is the line number in a fixed 44-point column,
// right-aligned, then the line cut at the end on one line, over the colour of the row's kind:
// removed red and added green on their own side, changed orange on both, same uncoloured.
// The current row of a list with keyboard focus is tinted in the accent colour with an accent
// edge on the left. Every row is one line of the view's font high, so the view can use uniform
// item sizes.
class DiffRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int numberWidth = 44;

    // A line as a cell `width` pixels wide shows it: tabs as four spaces, cut at the end with
    // "…" when it does not fit. Costs what the cell shows, however long the line.
    static QString shownLine(const QString& text, int width, const QFontMetrics& metrics);

    // The background of one side of a row of this kind, or an invalid colour for none.
    static QColor cellColor(DiffRow::Kind kind, bool leftSide, bool dark);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
