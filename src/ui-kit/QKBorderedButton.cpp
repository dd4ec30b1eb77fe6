#include "ui-kit/QKBorderedButton.h"

#include "ui-kit/QKButtonFace.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>

QKBorderedButton::QKBorderedButton(const QString& text, QWidget* parent)
    : QKPushButton(text, std::nullopt, parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QColor QKBorderedButton::paintFace(QPainter& p, bool focusRing) const {
    const QKButtonFace::State state{
        .enabled = isEnabled(), .down = isDown(), .hovered = underMouse(), .focusRing = focusRing};
    return QKButtonFace::paintBordered(p, QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), palette(),
                                       state, QKButtonFace::radius(isSmall()));
}

void QKBorderedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor ink = paintFace(p, m_keyboardFocus && hasFocus());
    const QFontMetrics fm(font());
    const int available = std::max(0, width() - 2 * QKButtonFace::paddingX(isSmall()));
    // Cut only a label that does not fit: eliding at the exact width can drop a letter.
    const QString shown = fm.horizontalAdvance(text()) <= available
                              ? text()
                              : fm.elidedText(text(), Qt::ElideRight, available);
    p.setFont(font());
    p.setPen(ink);
    p.drawText(rect(), Qt::AlignCenter, shown);
}

void QKBorderedButton::focusInEvent(QFocusEvent* event) {
    m_keyboardFocus =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QPushButton::focusInEvent(event);
}

void QKBorderedButton::focusOutEvent(QFocusEvent* event) {
    m_keyboardFocus = false;
    QPushButton::focusOutEvent(event);
}
