#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QWidget>

class QLabel;
class QVBoxLayout;
class QKCardSurface;

// A group box: an optional title above a flat rounded card that holds a column of content,
// padded on every side (the box's own inset plus the 4 points content asks for). Stretches to
// the full width of its page; its height is what its content needs at that width (wrapped text
// included), so it belongs in a column that ends with a stretch.
class QKGroupBox : public QWidget {
    Q_OBJECT
public:
    // An empty title draws the card alone. `spacing` is the gap between the column's parts.
    explicit QKGroupBox(const QString& title, int spacing, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    // The card's column; add the content here.
    QVBoxLayout* column() const { return m_column; }
    QKCardSurface* card() const { return m_card; }
    // Appends a wrapped label (QKBuild::label) to the column and returns it; a name given is its
    // object name.
    QLabel* addLabel(const QString& text, TextStyle style, QKForeground::Style tone,
                     const QString& name = QString());

private:
    QString m_title;
    QKCardSurface* m_card;
    QVBoxLayout* m_column;
};
