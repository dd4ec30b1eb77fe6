#include "ui-kit/QKProminentButton.h"

#include "ui-kit/QKButtonFace.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

QKProminentButton::QKProminentButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {
    setAutoDefault(false);
    QKFocusRing::pressOnReturn(this);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    QKFont::apply(this, TextStyle::Body, QFont::Medium);
}

void QKProminentButton::setTint(const QColor& tint) {
    m_tint = tint;
    update();
}

void QKProminentButton::setDestructive(bool destructive) {
    m_destructive = destructive;
    update();
}

QColor QKProminentButton::tint() const {
    if (m_destructive)
        return QKForeground::color(QKForeground::Red, palette());
    return m_tint.isValid() ? m_tint : palette().color(QPalette::Active, QPalette::Highlight);
}

void QKProminentButton::setSmall(bool small) {
    m_small = small;
    QKFont::apply(this, small ? TextStyle::Callout : TextStyle::Body, QFont::Medium);
    updateGeometry();
}

QSize QKProminentButton::sizeHint() const {
    return QKButtonFace::frameFor(font(), QFontMetrics(font()).horizontalAdvance(text()), m_small);
}

void QKProminentButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = tint();
    QColor text = Qt::white;
    if (!isEnabled()) {
        fill.setAlphaF(0.35f);
        text.setAlphaF(0.75f);
    } else if (isDown()) {
        fill = fill.darker(118);
    } else if (underMouse()) {
        fill = fill.lighter(108);
    }
    const qreal radius = QKButtonFace::radius(m_small);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.fillPath(path, fill);
    if (hasFocus()) {
        QColor ring = tint();
        ring.setAlphaF(0.45f);
        p.setPen(QPen(ring, 2));
        p.drawPath(path);
    }
    p.setPen(text);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, this->text());
}
