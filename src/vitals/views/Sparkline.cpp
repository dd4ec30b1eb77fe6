#include "vitals/views/Sparkline.h"

#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "vitals/SparklineText.h"

#include <cmath>
#include <QPainter>

namespace {

// Readings outside 0…1 are drawn at the nearer edge; NaN has no place at all and sits at 0.
double clampedReading(double v) {
    if (std::isnan(v) || v <= 0)
        return 0;
    return v > 1 ? 1 : v;
}

constexpr qreal kInset = 3; // free space above and below the line's band
constexpr qreal kCornerRadius = 6;
constexpr qreal kLineWidth = 1.5;
constexpr qreal kAreaOpacity = 0.18;
constexpr qreal kBackgroundOpacity = 0.4; // of the quaternary style

} // namespace

Sparkline::Sparkline(QWidget* parent) : Sparkline({}, QColor(), parent) {}

Sparkline::Sparkline(QList<double> values, QColor tint, QWidget* parent)
    : QWidget(parent), m_values(std::move(values)), m_tint(tint) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QKAccessible::setRole(this, QAccessible::Chart);
    setAccessibleName(SparklineText::chartName());
    updateAccessibility();
    // The gathering text; the font follows the text-size step.
    QKFont::apply(this, TextStyle::Caption2);
}

void Sparkline::setValues(QList<double> values) {
    m_values = std::move(values);
    updateAccessibility();
    update();
}

void Sparkline::setTint(const QColor& tint) {
    m_tint = tint;
    update();
}

QPainterPath Sparkline::path(const QList<double>& values, bool closed, qreal width, qreal height) {
    QPainterPath p;
    const qsizetype n = values.size();
    if (n < 2 || !(width > 0) || !(height > 0))
        return p;
    const qreal step = width / qreal(n - 1);
    const qreal band = std::max<qreal>(height - 2 * kInset, 1);
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF point(step * qreal(i), band * (1 - clampedReading(values[i])) + kInset);
        if (i == 0)
            p.moveTo(point);
        else
            p.lineTo(point);
    }
    if (closed) {
        p.lineTo(width, height);
        p.lineTo(0, height);
        p.closeSubpath();
    }
    return p;
}

QString Sparkline::spokenValue(const QList<double>& values) {
    if (values.isEmpty())
        return SparklineText::noReadings();
    const double last = values.constLast();
    // Finite readings are spoken as they are (1.5 is "150 percent"); NaN and infinities would
    // not convert, so they are spoken as the edge they are drawn at.
    const double shown = std::isfinite(last) ? last : clampedReading(last);
    const double percent = std::trunc(shown * 100);
    const double limit = 1e15;
    return SparklineText::percent(qint64(std::clamp(percent, -limit, limit)));
}

QSize Sparkline::sizeHint() const {
    return {160, 36};
}

QSize Sparkline::minimumSizeHint() const {
    return {24, 12};
}

void Sparkline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect();

    QColor background = QKForeground::color(QKForeground::Quaternary, palette());
    background.setAlphaF(float(background.alphaF() * kBackgroundOpacity));
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(box, kCornerRadius, kCornerRadius);

    if (m_values.size() < 2) {
        painter.setFont(font());
        painter.setPen(QKForeground::color(QKForeground::Tertiary, palette()));
        painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, SparklineText::gathering());
        return;
    }

    const qreal w = box.width();
    const qreal h = box.height();
    const QColor tint =
        m_tint.isValid() ? m_tint : QKForeground::color(QKForeground::Tint, palette());
    QColor area = tint;
    area.setAlphaF(float(tint.alphaF() * kAreaOpacity));
    painter.setBrush(area);
    painter.drawPath(path(m_values, true, w, h));

    QPen line(tint, kLineWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    line.setMiterLimit(10);
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path(m_values, false, w, h));
}

void Sparkline::updateAccessibility() {
    setAccessibleDescription(spokenValue(m_values));
}
