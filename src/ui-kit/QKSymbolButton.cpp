#include "ui-kit/QKSymbolButton.h"

#include "platform/SymbolIcons.h"
#include "ui-kit/QKFocusRing.h"

#include <algorithm>
#include <cmath>
#include <QEvent>
#include <QFontInfo>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

QKSymbolButton::QKSymbolButton(const QString& symbol, QKForeground::Style tone, const QKFont& font,
                               QWidget* parent)
    : QAbstractButton(parent), m_symbol(symbol), m_tone(tone) {
    QKFont::apply(this, font);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    QKFocusRing::pressOnReturn(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QKSymbolButton::setSymbol(const QString& symbol, QKForeground::Style tone) {
    if (symbol == m_symbol && tone == m_tone)
        return;
    m_symbol = symbol;
    m_tone = tone;
    update();
}

int QKSymbolButton::glyphSize() const {
    return std::max(1, int(std::lround(QFontInfo(font()).pixelSize() * 1.15)));
}

QSize QKSymbolButton::sizeHint() const {
    // A little room around the glyph, so it is easy to hit.
    const int edge = glyphSize() + 6;
    return {edge, edge};
}

bool QKSymbolButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTipChange &&
        (accessibleName().isEmpty() || accessibleName() == m_nameFromTip)) {
        m_nameFromTip = toolTip();
        setAccessibleName(m_nameFromTip);
    }
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && !accessibleName().isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), accessibleName(), this);
        return true;
    }
    return QAbstractButton::event(event);
}

void QKSymbolButton::paintEvent(QPaintEvent*) {
    const int edge = glyphSize();
    QColor color = QKForeground::color(m_tone, palette());
    if (!isEnabled())
        color.setAlphaF(color.alphaF() * 0.4f);
    else if (isDown())
        color = color.darker(130);
    QPainter p(this);
    const QRect target(QPoint((width() - edge) / 2, (height() - edge) / 2), QSize(edge, edge));
    p.drawPixmap(target, SymbolIcons::pixmap(m_symbol, target.size(), color, devicePixelRatioF()));
    if (QKFocusRing::shows(this))
        QKFocusRing::paint(p, QRectF(rect()), 4, palette());
}
