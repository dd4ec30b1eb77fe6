#pragma once

#include <algorithm>
#include <optional>
#include <QWidget>

// The 9-point strip between a screen's main content and a side pane whose width the user drags.
// It owns no pane: it publishes paneWidth, which the screen binds to its pane (and to its saved
// state). A width set from outside is kept as it is, even outside the range, until the user
// drags or steps.
//
// Drag: the width at the start of the drag plus the horizontal travel since the press (negated
// when the pane lies after the divider), clamped to the range; it depends only on the total
// travel, so going out and back returns to the start. Steps (keyboard Left/Right, and the
// assistive "increment"/"decrement"): ±24 points, capped at the upper bound when growing and
// raised to the lower bound when shrinking. Assistive technology reads it as "Resize" with the
// value "<whole points> points".
class DraggableDivider : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal paneWidth READ paneWidth WRITE setPaneWidth NOTIFY paneWidthChanged)
public:
    DraggableDivider(qreal paneWidth, qreal minimum, qreal maximum, bool paneIsTrailing,
                     QWidget* parent = nullptr);

    qreal paneWidth() const { return m_width; }
    void setPaneWidth(qreal width);
    qreal minimum() const { return m_min; }
    qreal maximum() const { return m_max; }
    bool paneIsTrailing() const { return m_trailing; }
    bool isDragging() const { return m_startWidth.has_value(); }

    // The width a drag gives: clamp(base + travel (negated for a trailing pane), range).
    static qreal draggedWidth(qreal base, qreal travel, qreal minimum, qreal maximum,
                              bool paneIsTrailing);
    static qreal incremented(qreal width, qreal maximum) {
        return std::min(width + kStep, maximum);
    }
    static qreal decremented(qreal width, qreal minimum) {
        return std::max(width - kStep, minimum);
    }
    void increment();
    void decrement();
    // "Resize"'s value: the width without its fraction, then " points".
    QString accessibleValue() const;

    static constexpr qreal kStep = 24;
    static constexpr int kThickness = 9;

    QSize sizeHint() const override { return QSize(kThickness, 0); }
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void paneWidthChanged(qreal width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    qreal m_width;
    qreal m_min;
    qreal m_max;
    bool m_trailing;
    bool m_pressed = false;
    qreal m_pressX = 0;
    std::optional<qreal> m_startWidth; // the width when the current drag began
};
