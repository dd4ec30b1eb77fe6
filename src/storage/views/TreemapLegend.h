#pragma once

#include "storage/MapNode.h"

#include <QWidget>

class QLabel;
class QBoxLayout;

// The key beside the treemap: one row per category that holds bytes at the level on screen, in
// the categories' order, with its colour, title and size. With nothing measured it says
// "Nothing measured yet.".
class TreemapLegend : public QWidget {
    Q_OBJECT
public:
    explicit TreemapLegend(QWidget* parent = nullptr);

    void setTotals(const CategoryTotals& totals);
    // The rows as shown, "title size" each, for tests and the assistant's eyes.
    QStringList rowTexts() const;

private:
    QBoxLayout* m_rows = nullptr;
    QLabel* m_empty;
    QStringList m_texts;
};
