#include "ui-kit/TamsoSafetyBadge.h"

#include "ui-kit/Capsule.h"

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
    paintCapsule(p, rect(), QKForeground::color(colorStyle(m_safety), palette()), 0.12, text(),
                 font());
}

void TamsoSafetyBadge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
