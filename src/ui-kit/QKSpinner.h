#pragma once

#include <QWidget>

// The small indeterminate progress indicator: twelve spokes turning, drawn in the widget's
// text colour (QKForeground) and sized to a line of its font (QKFont), so it sits in a row of
// text. It turns only while visible.
class QPainter;
class QKTurn;

class QKSpinner : public QWidget {
    Q_OBJECT
public:
    explicit QKSpinner(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // On by default. Off for offscreen rendering, whose pictures must not depend on when they
    // were taken: spinners shown from then on stand still at their first step (as do the other
    // busy indicators that ask isAnimated()).
    static void setAnimated(bool animated);
    static bool isAnimated();

    // Draws the spinner at one step of its turn (0 … spokes-1) into rect, for views that paint
    // many at once and drive the turn themselves (list delegates).
    static constexpr int spokes = 12;
    static void paint(QPainter& painter, const QRectF& rect, int step, QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QKTurn* m_turn;
};
