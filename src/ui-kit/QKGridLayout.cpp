#include "ui-kit/QKGridLayout.h"

#include <algorithm>
#include <QWidget>

QKGridLayout::QKGridLayout(int minColumnWidth, int horizontalSpacing, int verticalSpacing,
                           QWidget* parent)
    : QLayout(parent), m_minColumn(std::max(1, minColumnWidth)),
      m_hSpacing(std::max(0, horizontalSpacing)), m_vSpacing(std::max(0, verticalSpacing)) {
    setContentsMargins(0, 0, 0, 0);
}

QKGridLayout::~QKGridLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

int QKGridLayout::columnsFor(int width) const {
    return std::max(1, (width + m_hSpacing) / (m_minColumn + m_hSpacing));
}

void QKGridLayout::addItem(QLayoutItem* item) {
    m_items.append(item);
    invalidate();
}

QLayoutItem* QKGridLayout::itemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* QKGridLayout::takeAt(int index) {
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

int QKGridLayout::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

QSize QKGridLayout::sizeHint() const {
    // Two columns where there are two items or more: a reasonable first width for a page.
    const int columns = std::min<int>(2, std::max<int>(1, int(m_items.size())));
    const QMargins m = contentsMargins();
    const int width = columns * m_minColumn + (columns - 1) * m_hSpacing + m.left() + m.right();
    return {width, heightForWidth(width)};
}

QSize QKGridLayout::minimumSize() const {
    // The height that matters comes from heightForWidth; the minimum is one item's.
    const QMargins m = contentsMargins();
    int width = m_minColumn;
    int height = 0;
    for (QLayoutItem* item : m_items) {
        width = std::max(width, item->minimumSize().width());
        height = std::max(height, item->minimumSize().height());
    }
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void QKGridLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int QKGridLayout::arrange(const QRect& rect, bool apply) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    QList<QLayoutItem*> items;
    for (QLayoutItem* item : m_items) {
        if (!item->isEmpty())
            items.append(item);
    }
    if (items.isEmpty())
        return 0;
    const int columns = columnsFor(area.width());
    const int columnWidth =
        std::max(1, (area.width() - (columns - 1) * m_hSpacing) / std::max(1, columns));
    int y = area.y();
    for (qsizetype start = 0; start < items.size(); start += columns) {
        const qsizetype end = std::min<qsizetype>(start + columns, items.size());
        int rowHeight = 0;
        for (qsizetype i = start; i < end; ++i) {
            QLayoutItem* item = items.at(i);
            const int h = item->hasHeightForWidth() ? item->heightForWidth(columnWidth)
                                                    : item->sizeHint().height();
            rowHeight = std::max({rowHeight, h, item->minimumSize().height()});
        }
        if (apply) {
            for (qsizetype i = start; i < end; ++i) {
                const int x = area.x() + int(i - start) * (columnWidth + m_hSpacing);
                items.at(i)->setGeometry(QRect(x, y, columnWidth, rowHeight));
            }
        }
        y += rowHeight + (end < items.size() ? m_vSpacing : 0);
    }
    const QMargins m = contentsMargins();
    return y - area.y() + m.top() + m.bottom();
}
