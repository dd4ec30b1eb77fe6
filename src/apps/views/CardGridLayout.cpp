#include "apps/views/CardGridLayout.h"

#include <algorithm>
#include <QWidget>

CardGridLayout::CardGridLayout(int minimumColumnWidth, int spacing, QWidget* parent)
    : QLayout(parent), m_minimum(std::max(1, minimumColumnWidth)), m_spacing(spacing) {
    setContentsMargins(0, 0, 0, 0);
}

CardGridLayout::~CardGridLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

int CardGridLayout::columnsFor(int width, int minimumColumnWidth, int spacing) {
    const int minimum = std::max(1, minimumColumnWidth);
    return std::max(1, (width + spacing) / (minimum + spacing));
}

void CardGridLayout::addItem(QLayoutItem* item) {
    m_items.append(item);
    invalidate();
}

QLayoutItem* CardGridLayout::itemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* CardGridLayout::takeAt(int index) {
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

int CardGridLayout::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    return arrange(QRect(0, 0, width - m.left() - m.right(), 0), false) + m.top() + m.bottom();
}

QSize CardGridLayout::sizeHint() const {
    const int width = 3 * m_minimum + 2 * m_spacing;
    return QSize(width, heightForWidth(width));
}

QSize CardGridLayout::minimumSize() const {
    return QSize(m_minimum, heightForWidth(m_minimum));
}

void CardGridLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(contentsRect(), true);
}

int CardGridLayout::arrange(const QRect& rect, bool apply) const {
    const int columns = columnsFor(rect.width(), m_minimum, m_spacing);
    const int cell = std::max(1, (rect.width() - (columns - 1) * m_spacing) / columns);
    QList<QLayoutItem*> visible;
    for (QLayoutItem* item : m_items) {
        if (!item->isEmpty())
            visible.append(item);
    }
    int y = rect.top();
    for (qsizetype start = 0; start < visible.size(); start += columns) {
        const qsizetype end = std::min<qsizetype>(start + columns, visible.size());
        int rowHeight = 0;
        for (qsizetype i = start; i < end; ++i) {
            QLayoutItem* item = visible.at(i);
            const int h =
                item->hasHeightForWidth() ? item->heightForWidth(cell) : item->sizeHint().height();
            rowHeight = std::max(rowHeight, h);
        }
        if (apply) {
            for (qsizetype i = start; i < end; ++i) {
                const int column = int(i - start);
                visible.at(i)->setGeometry(
                    QRect(rect.left() + column * (cell + m_spacing), y, cell, rowHeight));
            }
        }
        y += rowHeight + m_spacing;
    }
    return visible.isEmpty() ? 0 : y - m_spacing - rect.top();
}
