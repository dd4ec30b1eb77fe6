#include "ui-kit/QKProminentButton.h"

#include "ui-kit/QKButtonFace.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

QKProminentButton::QKProminentButton(const QString& text, QWidget* parent)
    : QKPushButton(text, QFont::Medium, parent) {}

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
    const qreal radius = QKButtonFace::radius(isSmall());
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.fillPath(path, fill);
    if (QKFocusRing::shows(this))
        QKFocusRing::paint(p, QRectF(rect()), radius, palette(), fill);
    p.setPen(text);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, this->text());
}
