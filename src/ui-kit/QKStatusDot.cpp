#include "ui-kit/QKStatusDot.h"

#include <QPainter>

QKStatusDot::QKStatusDot(QWidget* parent, int diameter) : QWidget(parent) {
    setFixedSize(diameter, diameter);
}

void QKStatusDot::setStyle(QKForeground::Style style) {
    if (!m_fixed && style == m_style)
        return;
    m_fixed.reset();
    m_style = style;
    update();
}

void QKStatusDot::setColor(const QColor& color) {
    if (m_fixed == color)
        return;
    m_fixed = color;
    update();
}

QColor QKStatusDot::color() const {
    return m_fixed ? *m_fixed : QKForeground::color(m_style, palette());
}

void QKStatusDot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color());
    p.drawEllipse(QRectF(rect()));
}
