#include "storage/views/OrganizerMoveDelegate.h"

#include "platform/ByteFormat.h"
#include "storage/OrganizerPlanModel.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKRowButton.h"
#include "ui-kit/QKStampDelegate.h"
#include "ui-kit/ToggleSwitch.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

constexpr int kPadY = 2;
constexpr int kGap = 10;
constexpr int kLineGap = 2;

QFont nameFont() {
    return QKFont{.style = TextStyle::Body}.current();
}
QFont reasonFont() {
    return QKFont{.style = TextStyle::Caption}.current();
}
QFont newNameFont() {
    return QKFont{.style = TextStyle::Caption2}.current();
}
QFont sizeFont() {
    return QKFont{.style = TextStyle::Caption, .monospacedDigit = true}.current();
}

// Wide enough for any size the formatter writes, so the sizes of all rows line up.
int sizeColumnWidth() {
    return QFontMetrics(sizeFont()).horizontalAdvance(QStringLiteral("999.99 MB"));
}

} // namespace

OrganizerMoveDelegate::OrganizerMoveDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

int OrganizerMoveDelegate::rowHeight() {
    return 2 * kPadY + QFontMetrics(nameFont()).height() + kLineGap +
           QFontMetrics(reasonFont()).height() + kLineGap + QFontMetrics(newNameFont()).height();
}

QRect OrganizerMoveDelegate::toggleRect(const QRect& rowRect) {
    const QSize track = ToggleSwitch::trackSize();
    const int lineHeight = QFontMetrics(nameFont()).height();
    // The focused switch's ring stands outside its track: room is left for it at the row's edge.
    return QRect(rowRect.left() + ToggleSwitch::kRingOutset,
                 rowRect.top() + kPadY + (lineHeight - track.height()) / 2, track.width(),
                 track.height());
}

QSize OrganizerMoveDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(320, rowHeight());
}

void OrganizerMoveDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect row = option.rect;
    const QPalette& pal = option.palette;
    const bool enabled = option.state & QStyle::State_Enabled;
    const bool focused =
        (option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Active);
    const QRect toggle = toggleRect(row);
    ToggleSwitch::paintTrack(*painter, toggle, index.data(OrganizerPlanModel::EnabledRole).toBool(),
                             enabled, focused, pal);

    const int sizeWidth = sizeColumnWidth();
    const int textLeft = toggle.right() + 1 + kGap;
    const int textWidth = std::max(0, row.right() - sizeWidth - kGap - textLeft);
    int y = row.top() + kPadY;
    const auto line = [&](const QString& text, const QFont& font, QKForeground::Style tone) {
        const QFontMetrics fm(font);
        painter->setFont(font);
        painter->setPen(QKForeground::color(tone, pal));
        painter->drawText(QRect(textLeft, y, textWidth, fm.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          fm.elidedText(text, Qt::ElideRight, textWidth));
        y += fm.height() + kLineGap;
    };
    line(index.data(Qt::DisplayRole).toString(), nameFont(), QKForeground::Primary);
    line(index.data(OrganizerPlanModel::ReasonRole).toString(), reasonFont(),
         QKForeground::Secondary);
    line(index.data(OrganizerPlanModel::NewNameRole).toString(), newNameFont(),
         QKForeground::Tertiary);

    const QFont font = sizeFont();
    painter->setFont(font);
    painter->setPen(QKForeground::color(QKForeground::Secondary, pal));
    painter->drawText(QRect(row.right() - sizeWidth, row.top() + kPadY, sizeWidth,
                            QFontMetrics(nameFont()).height()),
                      Qt::AlignRight | Qt::AlignVCenter,
                      formatBytes(index.data(OrganizerPlanModel::SizeRole).toLongLong()));
    // The switch alone is too small a mark for the keyboard's place in a long list.
    QKStampDelegate::paintFocusedRow(*painter, option, 4);
    painter->restore();
}

bool OrganizerMoveDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                        const QStyleOptionViewItem& option,
                                        const QModelIndex& index) {
    const QString id = index.data(OrganizerPlanModel::IdRole).toString();
    const QKRowButton::Hit hit = QKRowButton::hit(event, toggleRect(option.rect));
    if (hit == QKRowButton::Hit::Clicked)
        emit toggleRequested(id);
    if (hit != QKRowButton::Hit::Elsewhere)
        return true;
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        emit toggleRequested(id);
        return true;
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
