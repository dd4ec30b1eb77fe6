#include "vault/views/SecureNoteRow.h"

#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKPaint.h"
#include "vault/SecureNotesText.h"

#include <QPainter>

namespace {
constexpr int kPadX = 8;
constexpr int kPadY = 5;
constexpr int kGap = 2;
} // namespace

SecureNoteRow::SecureNoteRow(const SecureNote& note, QWidget* parent)
    : QAbstractButton(parent), m_note(note) {
    setObjectName(QStringLiteral("secureNoteRow"));
    setCheckable(true);
    QKFocusRing::pressOnReturn(this);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QKFont::apply(this, TextStyle::Body);
    setText(note.title);
    setAccessibleName(note.title);
}

void SecureNoteRow::setNote(const SecureNote& note) {
    if (note == m_note)
        return;
    m_note = note;
    setText(note.title);
    setAccessibleName(note.title);
    update();
}

void SecureNoteRow::setSelected(bool selected) {
    setChecked(selected);
    update();
}

QString SecureNoteRow::dateText() const {
    return SecureNotesText::rowDate(m_note.updatedDateTime(), locale());
}

QFont SecureNoteRow::dateFont() const {
    return QKFont{.style = TextStyle::Caption2}.current();
}

QSize SecureNoteRow::sizeHint() const {
    const int height = fontMetrics().height() + kGap + QFontMetrics(dateFont()).height();
    return {120, height + 2 * kPadY};
}

QSize SecureNoteRow::minimumSizeHint() const {
    return {40, sizeHint().height()};
}

void SecureNoteRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool selected = isChecked();
    if (selected) {
        QKPaint::fillRounded(p, QRectF(rect()), 6,
                             QKForeground::color(QKForeground::Tint, palette()));
    }
    const QRect inner = rect().adjusted(kPadX, kPadY, -kPadX, -kPadY);
    const QFontMetrics titleMetrics = fontMetrics();
    QColor titleColour =
        selected ? QColor(Qt::white) : QKForeground::color(QKForeground::Primary, palette());
    QColor dateColour = selected ? QColor(255, 255, 255, 217)
                                 : QKForeground::color(QKForeground::Secondary, palette());
    p.setFont(font());
    p.setPen(titleColour);
    const QRect titleRect(inner.left(), inner.top(), inner.width(), titleMetrics.height());
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
               titleMetrics.elidedText(m_note.title, Qt::ElideRight, inner.width()));
    const QFont small = dateFont();
    p.setFont(small);
    p.setPen(dateColour);
    const QRect dateRect(inner.left(), titleRect.bottom() + 1 + kGap, inner.width(),
                         QFontMetrics(small).height());
    p.drawText(dateRect, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(small).elidedText(dateText(), Qt::ElideRight, inner.width()));
    if (QKFocusRing::shows(this))
        QKFocusRing::paint(p, QRectF(rect()), 6, palette());
}
