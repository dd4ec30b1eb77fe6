#include "ui-kit/TamsoSafetyBadge.h"

#include "ui-kit/QKFont.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

TamsoSafetyBadge::TamsoSafetyBadge(TamsoSafety safety, QWidget* parent)
    : QWidget(parent), m_safety(safety) {
    QKFont::apply(this, TextStyle::Caption2, QFont::DemiBold);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text());
}

void TamsoSafetyBadge::setSafety(TamsoSafety safety) {
    m_safety = safety;
    setAccessibleName(text());
    updateGeometry();
    update();
}

QKForeground::Style TamsoSafetyBadge::colorStyle(TamsoSafety safety) {
    switch (safety) {
    case TamsoSafety::Safe:
        return QKForeground::Green;
    case TamsoSafety::CheckFirst:
        return QKForeground::Orange;
    case TamsoSafety::Risky:
        return QKForeground::Red;
    case TamsoSafety::Keep:
        break;
    }
    return QKForeground::Secondary;
}

QSize TamsoSafetyBadge::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(text()) + 12, fm.height() + 4);
}

void TamsoSafetyBadge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = QKForeground::color(colorStyle(m_safety), palette());
    QColor fill = color;
    fill.setAlphaF(0.12f);
    const QRectF box = QRectF(rect());
    QPainterPath capsule;
    capsule.addRoundedRect(box, box.height() / 2, box.height() / 2);
    p.fillPath(capsule, fill);
    p.setPen(color);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, text());
}

void TamsoSafetyBadge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
