#include "ui-kit/QKHairline.h"

#include "ui-kit/QKForeground.h"

#include <QPainter>

QKHairline::QKHairline(QWidget* parent, qreal alpha, std::optional<QColor> ink)
    : QWidget(parent), m_alpha(alpha), m_ink(std::move(ink)) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void QKHairline::paintEvent(QPaintEvent*) {
    QColor line = m_ink ? *m_ink : QKForeground::color(QKForeground::Primary, palette());
    if (!m_ink)
        line.setAlphaF(float(m_alpha));
    QPainter(this).fillRect(rect(), line);
}
