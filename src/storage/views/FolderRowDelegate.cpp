#include "storage/views/FolderRowDelegate.h"

#include "platform/ByteFormat.h"
#include "platform/SymbolIcons.h"
#include "storage/FolderBrowserText.h"
#include "storage/FolderEntryModel.h"
#include "storage/views/CategoryColors.h"
#include "storage/views/FolderIcons.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKListSelection.h"
#include "ui-kit/QKPaint.h"
#include "ui-kit/QKSpinner.h"

#include <QPainter>

namespace {

constexpr int kPadX = 10;
constexpr int kPadY = 3;
constexpr int kIcon = 20;
constexpr int kGap = 10;
constexpr int kSizeFrame = 78;
constexpr qreal kBarHeight = 6;

QFont nameFont() {
    return QKFont{.style = TextStyle::Body}.current();
}
QFont categoryFont() {
    return QKFont{.style = TextStyle::Caption2}.current();
}
QFont sizeFont() {
    return QKFont{.style = TextStyle::Callout, .monospacedDigit = true}.current();
}

// The size frame grows with the text size, so the largest figures still fit.
int sizeFrameWidth() {
    return std::max(kSizeFrame,
                    QFontMetrics(sizeFont()).horizontalAdvance(QStringLiteral("999.99 GB")));
}

int chevronSize() {
    return QFontMetrics(categoryFont()).height();
}

void fillCapsule(QPainter& p, const QRectF& rect, const QColor& color) {
    QKPaint::fillRounded(p, rect, rect.height() / 2, color);
}

} // namespace

FolderRowDelegate::FolderRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QSize FolderRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    const int text = QFontMetrics(nameFont()).height() + 1 + QFontMetrics(categoryFont()).height();
    const int content = std::max({kIcon, text, QFontMetrics(sizeFont()).height()});
    return QSize(kPadX * 2 + kIcon + kGap + 160 + 8 + int(FolderBrowserText::barTrack) + kGap +
                     sizeFrameWidth() + kGap + chevronSize(),
                 content + 2 * kPadY + 4);
}

QRectF FolderRowDelegate::barRect(const QRect& r, const QModelIndex& index) const {
    const FolderEntry entry = index.data(FolderEntryModel::EntryRole).value<FolderEntry>();
    const int chevronLeft = r.right() - kPadX - chevronSize() + 1;
    const int sizeLeft = chevronLeft - kGap - sizeFrameWidth();
    const qreal trackLeft = sizeLeft - kGap - FolderBrowserText::barTrack;
    const qreal top = r.top() + (r.height() - kBarHeight) / 2;
    return QRectF(trackLeft, top, FolderBrowserText::barWidth(entry.sizeBytes, m_largest),
                  kBarHeight);
}

void FolderRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QVariant value = index.data(FolderEntryModel::EntryRole);
    if (!value.canConvert<FolderEntry>())
        return;
    const FolderEntry entry = value.value<FolderEntry>();
    const QPalette& palette = option.palette;
    const QRect r = option.rect;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QKListSelection::paint(painter, option);

    // Right to left: chevron, size, bar; the name takes what is left.
    const int chevron = chevronSize();
    const QRect chevronRect(r.right() - kPadX - chevron + 1, r.top() + (r.height() - chevron) / 2,
                            chevron, chevron);
    if (entry.isFolder())
        painter->drawPixmap(
            chevronRect, SymbolIcons::pixmap(QStringLiteral("chevron.right"), chevronRect.size(),
                                             QKForeground::color(QKForeground::Secondary, palette),
                                             painter->device()->devicePixelRatioF()));

    const int sizeWidth = sizeFrameWidth();
    const QRect sizeRect(chevronRect.left() - kGap - sizeWidth, r.top(), sizeWidth, r.height());
    if (entry.sizeBytes) {
        painter->setFont(sizeFont());
        painter->setPen(QKForeground::color(QKForeground::Primary, palette));
        painter->drawText(sizeRect, Qt::AlignRight | Qt::AlignVCenter,
                          formatBytes(*entry.sizeBytes));
    } else {
        const int edge = QFontMetrics(categoryFont()).height();
        QKSpinner::paint(
            *painter,
            QRectF(sizeRect.right() - edge + 1, r.top() + (r.height() - edge) / 2.0, edge, edge),
            m_step, QKForeground::color(QKForeground::Secondary, palette));
    }

    const QColor color = CategoryColors::color(entry.category);
    const qreal trackLeft = sizeRect.left() - kGap - FolderBrowserText::barTrack;
    const qreal barTop = r.top() + (r.height() - kBarHeight) / 2;
    QColor track = QKForeground::color(QKForeground::Quaternary, palette);
    fillCapsule(*painter, QRectF(trackLeft, barTop, FolderBrowserText::barTrack, kBarHeight),
                track);
    if (entry.sizeBytes)
        fillCapsule(*painter,
                    QRectF(trackLeft, barTop,
                           FolderBrowserText::barWidth(entry.sizeBytes, m_largest), kBarHeight),
                    color);

    const QRect iconRect(r.left() + kPadX, r.top() + (r.height() - kIcon) / 2, kIcon, kIcon);
    FolderIcons::icon(entry.path, entry.isDirectory, entry.isPackage, palette)
        .paint(painter, iconRect);

    const int textLeft = iconRect.right() + 1 + kGap;
    int width = std::max(0, int(trackLeft) - 8 - textLeft);
    const QFontMetrics nameMetrics(nameFont());
    const QFontMetrics categoryMetrics(categoryFont());
    const bool showCategory = entry.category != ContentCategory::Unknown;
    const int block = nameMetrics.height() + (showCategory ? 1 + categoryMetrics.height() : 0);
    const int top = r.top() + (r.height() - block) / 2;
    if (entry.isCloudManaged) {
        const int cloud = categoryMetrics.height();
        width = std::max(0, width - cloud - 5);
        const QString name = nameMetrics.elidedText(entry.name, Qt::ElideMiddle, width);
        const int nameWidth = nameMetrics.horizontalAdvance(name);
        painter->drawPixmap(
            QRect(textLeft + nameWidth + 5, top + (nameMetrics.height() - cloud) / 2, cloud, cloud),
            SymbolIcons::pixmap(QStringLiteral("icloud"), QSize(cloud, cloud),
                                QKForeground::color(QKForeground::Secondary, palette),
                                painter->device()->devicePixelRatioF()));
    }
    painter->setFont(nameFont());
    painter->setPen(QKForeground::color(QKForeground::Primary, palette));
    painter->drawText(QRect(textLeft, top, width, nameMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      nameMetrics.elidedText(entry.name, Qt::ElideMiddle, width));
    if (showCategory) {
        painter->setFont(categoryFont());
        painter->setPen(color);
        painter->drawText(
            QRect(textLeft, top + nameMetrics.height() + 1, width, categoryMetrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            categoryMetrics.elidedText(title(entry.category), Qt::ElideRight, width));
    }
    // The keys act on the current row, so it wears the ring while they go to the list; a click
    // marks its row by the selection alone.
    if ((option.state & QStyle::State_HasFocus) && QKFocusRing::shows(option.widget))
        QKFocusRing::paint(*painter, QRectF(r).adjusted(4, 1, -4, -1), 6, palette);
    painter->restore();
}
