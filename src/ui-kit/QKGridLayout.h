#pragma once

#include <QLayout>
#include <QList>

// Lays its widgets out in rows of equal-width columns, as many columns as fit at least
// minColumnWidth each (never fewer than one), filled row by row in insertion order. Every item
// is stretched to its column's width; a row is as tall as its tallest item at that width (wrapped
// text included), so the layout has a height for every width.
//
// With 220 and 14: three columns from 688 points, two from 454, one below.
class QKGridLayout : public QLayout {
public:
    QKGridLayout(int minColumnWidth, int horizontalSpacing, int verticalSpacing,
                 QWidget* parent = nullptr);
    ~QKGridLayout() override;

    // The number of columns at a width of the layout's contents.
    int columnsFor(int width) const;
    int minColumnWidth() const { return m_minColumn; }

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
    // Places the items in rect when apply is set; returns the height used.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    int m_minColumn;
    int m_hSpacing;
    int m_vSpacing;
};
