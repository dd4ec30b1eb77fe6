#include "apps/views/InstalledAppDelegate.h"

#include "apps/InstalledAppListModel.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKPaint.h"

#include <QPainter>

namespace {

constexpr int kIcon = 24;
constexpr int kPadX = 8;
constexpr int kPadY = 5;
constexpr int kGap = 8;

} // namespace

InstalledAppDelegate::InstalledAppDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void InstalledAppDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const QPalette& palette = option.palette;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect r = option.rect.adjusted(4, 1, -4, -1);
    if (selected) {
        QKPaint::fillRounded(*painter, QRectF(r), 6, palette.color(QPalette::Highlight));
    } else if (option.state.testFlag(QStyle::State_MouseOver)) {
        QColor hover = QKForeground::color(QKForeground::Primary, palette);
        hover.setAlphaF(0.05f);
        QKPaint::fillRounded(*painter, QRectF(r), 6, hover);
    }

    const QRect inner = r.adjusted(kPadX, 0, -kPadX, 0);
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPixmap icon = m_icons.pixmap(index.data(InstalledAppListModel::PathRole).toString(),
                                        index.data(Qt::DisplayRole).toString(), kIcon, dpr);
    const QRect iconRect(inner.left(), inner.center().y() - kIcon / 2 + 1, kIcon, kIcon);
    painter->drawPixmap(iconRect, icon);

    const QColor primary = selected ? palette.color(QPalette::HighlightedText)
                                    : QKForeground::color(QKForeground::Primary, palette);
    const QColor secondary = selected ? palette.color(QPalette::HighlightedText)
                                      : QKForeground::color(QKForeground::Secondary, palette);

    const QFont caption = QKFont{.style = TextStyle::Caption}.current();
    const QString size = index.data(InstalledAppListModel::SizeTextRole).toString();
    painter->setFont(caption);
    const int sizeWidth = painter->fontMetrics().horizontalAdvance(size);
    const QRect sizeRect(inner.right() - sizeWidth, inner.top(), sizeWidth, inner.height());
    painter->setPen(secondary);
    painter->drawText(sizeRect, Qt::AlignRight | Qt::AlignVCenter, size);

    const QFont body = QKFont{.style = TextStyle::Body}.current();
    painter->setFont(body);
    const QRect nameRect(iconRect.right() + 1 + kGap, inner.top(),
                         sizeRect.left() - kGap - (iconRect.right() + 1 + kGap), inner.height());
    if (nameRect.width() > 0) {
        painter->setPen(primary);
        const QString name = painter->fontMetrics().elidedText(
            index.data(Qt::DisplayRole).toString(), Qt::ElideRight, nameRect.width());
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    }
    painter->restore();
}

QSize InstalledAppDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    const QFont body = QKFont{.style = TextStyle::Body}.current();
    const int line = QFontMetrics(body).height();
    return QSize(200, qMax(kIcon, line) + 2 * kPadY + 2);
}
