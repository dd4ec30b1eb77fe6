#include "cleaning/views/BigFileDelegate.h"

#include "cleaning/BigFile.h"
#include "cleaning/BiggestFilesText.h"
#include "cleaning/LargeFileListModel.h"
#include "platform/ByteFormat.h"
#include "platform/SymbolIcons.h"
#include "platform/SymbolName.h"
#include "ui-kit/Capsule.h"
#include "ui-kit/QKButtonFace.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKListSelection.h"
#include "ui-kit/QKRowButton.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kPadX = 10;
constexpr int kPadY = 5;
constexpr int kIcon = 22;
constexpr int kGap = 10;

QFont nameFont() {
    return QKFont{.style = TextStyle::Body}.current();
}
QFont pathFont() {
    return QKFont{.style = TextStyle::Caption2}.current();
}
QFont badgeFont() {
    return QKFont{.style = TextStyle::Caption2, .weight = QFont::DemiBold}.current();
}
QFont sizeFont() {
    return QKFont{.style = TextStyle::Caption, .monospacedDigit = true}.current();
}
QFont buttonFont() {
    return QKFont{.style = TextStyle::Callout}.current();
}

QSize buttonSize() {
    const QFont font = buttonFont();
    return QKButtonFace::frameFor(
        font, QFontMetrics(font).horizontalAdvance(BiggestFilesText::revealTitle()), true);
}

// Wide enough for any size the formatter writes, so the sizes of all rows line up.
int sizeColumnWidth() {
    return QFontMetrics(sizeFont()).horizontalAdvance(QStringLiteral("999.99 MB"));
}

// The app's own symbol for a file type the theme has no icon for.
QString fallbackSymbol(const QMimeType& type) {
    const QString name = type.name();
    if (name.startsWith(QLatin1String("image/")))
        return "photo"_sym;
    if (name.startsWith(QLatin1String("text/")))
        return "doc.plaintext"_sym;
    if (type.inherits(QStringLiteral("application/zip")) ||
        type.inherits(QStringLiteral("application/x-tar")) ||
        type.inherits(QStringLiteral("application/x-compressed-tar")) ||
        type.inherits(QStringLiteral("application/x-7z-compressed")))
        return "shippingbox"_sym;
    return "doc"_sym;
}

// The row's button among its actions.
const QString kReveal = QStringLiteral("reveal");

} // namespace

BigFileDelegate::BigFileDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), m_view(view) {
    view->installEventFilter(this);
}

QIcon BigFileDelegate::iconFor(const QString& path, const QPalette& palette) const {
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    const QString key =
        type.name() + (palette.color(QPalette::Base).lightness() < 128 ? QStringLiteral(":dark")
                                                                       : QStringLiteral(":light"));
    if (const auto it = m_icons.constFind(key); it != m_icons.cend())
        return it.value();
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull())
        icon = SymbolIcons::icon(fallbackSymbol(type),
                                 QKForeground::color(QKForeground::Secondary, palette));
    m_icons.insert(key, icon);
    return icon;
}

QRect BigFileDelegate::revealRect(const QRect& rowRect) const {
    const QSize button = buttonSize();
    return QRect(rowRect.right() - kPadX - button.width() + 1,
                 rowRect.top() + (rowRect.height() - button.height()) / 2, button.width(),
                 button.height());
}

QSize BigFileDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    const int text = QFontMetrics(nameFont()).height() + QFontMetrics(pathFont()).height();
    const int content = std::max({kIcon, text, buttonSize().height()});
    return QSize(kPadX * 2 + kIcon + kGap + 200 + sizeColumnWidth() + buttonSize().width(),
                 content + 2 * kPadY);
}

void BigFileDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const QVariant value = index.data(LargeFileListModel::FileRole);
    if (!value.canConvert<BigFile>())
        return;
    const BigFile file = value.value<BigFile>();
    const QPalette& palette = option.palette;
    const QRect r = option.rect;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QKListSelection::paint(painter, option);

    // Right to left: button, size, badge; the texts take what is left.
    const QRect button = revealRect(r);
    {
        const QColor ink =
            QKButtonFace::paintBordered(*painter, button, palette, {}, QKButtonFace::radius(true));
        painter->setFont(buttonFont());
        painter->setPen(ink);
        painter->drawText(button, Qt::AlignCenter, BiggestFilesText::revealTitle());
    }
    const int sizeWidth = sizeColumnWidth();
    const QRect sizeRect(button.left() - kGap - sizeWidth, r.top(), sizeWidth, r.height());
    painter->setFont(sizeFont());
    painter->setPen(QKForeground::color(QKForeground::Secondary, palette));
    painter->drawText(sizeRect, Qt::AlignRight | Qt::AlignVCenter, formatBytes(file.sizeBytes));

    int textRight = sizeRect.left() - kGap;
    if (file.isOld()) {
        const QFont font = badgeFont();
        const QFontMetrics fm(font);
        const QString text = BiggestFilesText::oldBadge();
        const QSize badge(fm.horizontalAdvance(text) + 10, fm.height() + 2);
        const QRect badgeRect(textRight - badge.width(),
                              r.top() + (r.height() - badge.height()) / 2, badge.width(),
                              badge.height());
        paintCapsule(*painter, badgeRect, QKForeground::color(QKForeground::Orange, palette), 0.2,
                     text, font);
        textRight = badgeRect.left() - kGap;
    }

    const QRect iconRect(r.left() + kPadX, r.top() + (r.height() - kIcon) / 2, kIcon, kIcon);
    iconFor(file.path(), palette).paint(painter, iconRect);

    const int textLeft = iconRect.right() + 1 + kGap;
    const int width = std::max(0, textRight - textLeft);
    const QFontMetrics nameMetrics(nameFont());
    const QFontMetrics pathMetrics(pathFont());
    const int block = nameMetrics.height() + pathMetrics.height();
    const int top = r.top() + (r.height() - block) / 2;
    painter->setFont(nameFont());
    painter->setPen(QKForeground::color(QKForeground::Primary, palette));
    painter->drawText(QRect(textLeft, top, width, nameMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      nameMetrics.elidedText(file.fileName(), Qt::ElideRight, width));
    painter->setFont(pathFont());
    painter->setPen(QKForeground::color(QKForeground::Secondary, palette));
    painter->drawText(QRect(textLeft, top + nameMetrics.height(), width, pathMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      pathMetrics.elidedText(file.folderPath(), Qt::ElideMiddle, width));
    painter->restore();
}

bool BigFileDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
    const QKRowButton::Hit hit = QKRowButton::hit(event, revealRect(option.rect));
    if (hit == QKRowButton::Hit::Clicked)
        triggerAction(index, kReveal);
    if (hit != QKRowButton::Hit::Elsewhere)
        return true;
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

QList<std::pair<QString, QString>> BigFileDelegate::rowActions(const QModelIndex& index) const {
    if (!index.data(LargeFileListModel::FileRole).canConvert<BigFile>())
        return {};
    return {{kReveal, BiggestFilesText::revealTitle()}};
}

void BigFileDelegate::triggerAction(const QModelIndex& index, const QString& action) {
    const QVariant value = index.data(LargeFileListModel::FileRole);
    if (action != kReveal || !value.canConvert<BigFile>())
        return;
    emit revealRequested(value.value<BigFile>().path(), revealRect(m_view->visualRect(index)));
}

bool BigFileDelegate::eventFilter(QObject* watched, QEvent* event) {
    // The base class reads whatever it watches as an open editor; the view is none.
    if (watched != m_view)
        return QStyledItemDelegate::eventFilter(watched, event);
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    const QModelIndex current = m_view->currentIndex();
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !current.isValid())
        return false;
    triggerAction(current, kReveal);
    return true;
}
