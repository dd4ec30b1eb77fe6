#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;
class QKCardSurface;

// A group box of the Performance screen: an optional title above a flat rounded card that holds
// a column of content, padded on every side. Stretches to the full width of its page.
class PerformanceGroupBox : public QWidget {
    Q_OBJECT
public:
    // An empty title draws the card alone. `spacing` is the gap between the column's parts.
    explicit PerformanceGroupBox(const QString& title, int spacing, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    // The card's column; add the content here.
    QVBoxLayout* column() const { return m_column; }
    QKCardSurface* card() const { return m_card; }

private:
    QString m_title;
    QKCardSurface* m_card;
    QVBoxLayout* m_column;
};
