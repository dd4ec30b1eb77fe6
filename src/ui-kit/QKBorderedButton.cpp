#include "ui-kit/QKBorderedButton.h"

#include "ui-kit/QKButtonFace.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>

QKBorderedButton::QKBorderedButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {
    setAutoDefault(false);
    QKFocusRing::pressOnReturn(this);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QKFont::apply(this, TextStyle::Body);
}

void QKBorderedButton::setSmall(bool small) {
    m_small = small;
    QKFont::apply(this, small ? TextStyle::Callout : TextStyle::Body);
    updateGeometry();
    update();
}

QSize QKBorderedButton::sizeHint() const {
    return QKButtonFace::frameFor(font(), QFontMetrics(font()).horizontalAdvance(text()), m_small);
}

QColor QKBorderedButton::paintFace(QPainter& p, bool focusRing) const {
    const QKButtonFace::State state{
        .enabled = isEnabled(), .down = isDown(), .hovered = underMouse(), .focusRing = focusRing};
    return QKButtonFace::paintBordered(p, QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), palette(),
                                       state, QKButtonFace::radius(m_small));
}

void QKBorderedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor ink = paintFace(p, m_keyboardFocus && hasFocus());
    const QFontMetrics fm(font());
    const int available = std::max(0, width() - 2 * QKButtonFace::paddingX(m_small));
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
