#pragma once

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QWidget>

// A small line chart of recent readings: an area filled under a thin line, edge to edge in
// whatever size the parent gives, on a faint rounded background. Readings are fractions,
// oldest first; 1 is drawn at the top and 0 at the bottom, anything outside 0…1 is clamped
// (NaN counts as 0). With fewer than two readings it shows "Gathering readings…". No axes,
// labels or interaction; assistive technologies get one element, "Recent history", whose
// description speaks the latest reading.
class Sparkline : public QWidget {
    Q_OBJECT
public:
    explicit Sparkline(QWidget* parent = nullptr);
    Sparkline(QList<double> values, QColor tint, QWidget* parent = nullptr);

    QList<double> values() const { return m_values; }
    void setValues(QList<double> values);
    // The colour of the line and the area; an invalid colour means the accent colour.
    QColor tint() const { return m_tint; }
    void setTint(const QColor& tint);

    // The readings inside a width × height box with 3 units kept free above and below the
    // line: the open line when closed is false, the area down to the box's bottom edge when
    // true. Empty for fewer than two readings or a box without area.
    static QPainterPath path(const QList<double>& values, bool closed, qreal width, qreal height);
    // What assistive technologies speak: "no readings yet", or the last reading as a whole
    // percentage cut toward zero ("73 percent" for 0.734).
    static QString spokenValue(const QList<double>& values);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibility();

    QList<double> m_values;
    QColor m_tint;
};
