#include "ui-kit/QKBadge.h"

#include "ui-kit/Capsule.h"

#include <QFontMetrics>
#include <QPainter>

QKBadge::QKBadge(const QString& text, QKForeground::Style tone, QKBadgeLook look, QWidget* parent)
    : QWidget(parent), m_text(text), m_tone(tone), m_look(look) {
    QKFont::apply(this, look.style, QFont::DemiBold);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void QKBadge::set(const QString& text, QKForeground::Style tone) {
    if (text == m_text && tone == m_tone)
        return;
    m_text = text;
    m_tone = tone;
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize QKBadge::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(m_text) + 2 * m_look.padding.width(),
                 fm.height() + 2 * m_look.padding.height());
}

void QKBadge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCapsule(p, rect(), QKForeground::color(m_tone, palette()), m_look.fill, m_text, font());
}
