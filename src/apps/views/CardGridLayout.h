#pragma once

#include <QLayout>
#include <QList>

// A grid of equal columns as many as fit: each column at least minimumColumnWidth wide, spacing
// between columns and rows; items fill the columns left to right, then the next row. The
// columns share the width evenly (they are not limited to the number of items), every item
// takes its cell's width, and a row is as tall as its tallest item at that width.
//
// With 220 and 14: three columns from 688 points, two from 454, one below.
class CardGridLayout : public QLayout {
    Q_OBJECT
public:
    CardGridLayout(int minimumColumnWidth, int spacing, QWidget* parent = nullptr);
    ~CardGridLayout() override;

    // The column count at a width.
    static int columnsFor(int width, int minimumColumnWidth, int spacing);
    int columns() const { return columnsFor(contentsRect().width(), m_minimum, m_spacing); }

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    int m_minimum;
    int m_spacing;
};
