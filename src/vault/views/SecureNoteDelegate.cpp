#include "vault/views/SecureNoteDelegate.h"

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKPaint.h"
#include "ui-kit/QKStampDelegate.h"
#include "vault/SecureNoteListModel.h"
#include "vault/SecureNotesText.h"

#include <QPainter>

namespace {
constexpr int kPadX = 8;
constexpr int kPadY = 5;
constexpr int kGap = 2;

QFont dateFont() {
    return QKFont{.style = TextStyle::Caption2}.current();
}
} // namespace

QSize SecureNoteDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    // As wide as the list makes it.
    const int height =
        QFontMetrics(option.font).height() + kGap + QFontMetrics(dateFont()).height();
    return {1, height + 2 * kPadY};
}

void SecureNoteDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const SecureNote note = index.data(SecureNoteListModel::NoteRole).value<SecureNote>();
    const QRect rect = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QColor fill = selected ? QKForeground::color(QKForeground::Tint, option.palette)
                                 : option.palette.color(QPalette::Active, QPalette::Window);
    if (selected)
        QKPaint::fillRounded(*p, QRectF(rect), 6, fill);
    const QRect inner = rect.adjusted(kPadX, kPadY, -kPadX, -kPadY);
    const QFontMetrics titleMetrics(option.font);
    const QColor titleColour =
        selected ? QColor(Qt::white) : QKForeground::color(QKForeground::Primary, option.palette);
    const QColor dateColour = selected
                                  ? QColor(255, 255, 255, 217)
                                  : QKForeground::color(QKForeground::Secondary, option.palette);
    p->setFont(option.font);
    p->setPen(titleColour);
    const QRect titleRect(inner.left(), inner.top(), inner.width(), titleMetrics.height());
    p->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                titleMetrics.elidedText(note.title, Qt::ElideRight, inner.width()));
    const QFont small = dateFont();
    p->setFont(small);
    p->setPen(dateColour);
    const QRect dateRect(inner.left(), titleRect.bottom() + 1 + kGap, inner.width(),
                         QFontMetrics(small).height());
    p->drawText(dateRect, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(small).elidedText(
                    SecureNotesText::rowDate(note.updatedDateTime(), option.locale), Qt::ElideRight,
                    inner.width()));
    QKStampDelegate::paintFocusedRow(*p, option, 6, fill);
    p->restore();
}
