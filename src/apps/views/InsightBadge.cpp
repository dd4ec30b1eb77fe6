#include "apps/views/InsightBadge.h"

#include "ui-kit/Capsule.h"
#include "ui-kit/QKFont.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

InsightBadge::InsightBadge(const QString& text, QKForeground::Style tone, QWidget* parent)
    : QWidget(parent), m_text(text), m_tone(tone) {
    QKFont::apply(this, TextStyle::Caption2, QFont::DemiBold);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text);
}

QSize InsightBadge::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(m_text) + 16, fm.height() + 6);
}

void InsightBadge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCapsule(p, rect(), QKForeground::color(m_tone, palette()), 0.12, m_text, font());
}

void InsightBadge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
