#pragma once

#include <QStyledItemDelegate>

// Paints one entry of the folder list (FolderEntryModel::EntryRole), left to right: its icon, its
// name (one line, elided in the middle) with a cloud mark for cloud-kept items and, under it, its
// category in the category's colour (none for unknown); then a 70-point size bar against the
// largest measured sibling, the size (or a turning spinner while unmeasured) and a chevron that
// only folders show. Every row has the same height, so the view can use uniform item sizes. The
// current row of a list with keyboard focus wears the focus ring, inside the selection's inset.
// The row handles no click or key; the browser owns them and the context menu.
class FolderRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit FolderRowDelegate(QObject* parent = nullptr);

    // The reference for the size bars: the largest measured size of the list, 0 when none.
    void setLargest(qint64 largest) { m_largest = largest; }
    qint64 largest() const { return m_largest; }
    // The step of the spinners of unmeasured rows; the view advances it while sizes are due.
    void setSpinnerStep(int step) { m_step = step; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the bar of a row drawn in rowRect lies, its width as measured (for tests).
    QRectF barRect(const QRect& rowRect, const QModelIndex& index) const;

private:
    qint64 m_largest = 0;
    int m_step = 0;
};
