#include "ui-kit/QKRule.h"

#include "ui-kit/QKForeground.h"

#include <QPainter>

QKRule::QKRule(Qt::Orientation orientation, QWidget* parent, qreal alpha, Ink ink)
    : QWidget(parent), m_orientation(orientation), m_alpha(alpha), m_ink(ink) {
    if (orientation == Qt::Horizontal) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(1);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

QKRule::QKRule(Qt::Orientation orientation, const QColor& ink, QWidget* parent)
    : QKRule(orientation, parent) {
    m_fixed = ink;
}

QKRule::QKRule(Qt::Orientation orientation, QWidget* parent, qreal alpha, std::optional<QColor> ink)
    : QKRule(orientation, parent, alpha) {
    m_fixed = std::move(ink);
}

QColor QKRule::inkColor() const {
    if (m_fixed)
        return *m_fixed;
    QColor line = m_ink == Ink::WindowText ? palette().color(QPalette::WindowText)
                                           : QKForeground::color(QKForeground::Primary, palette());
    line.setAlphaF(float(m_alpha));
    return line;
}

void QKRule::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), inkColor());
}
