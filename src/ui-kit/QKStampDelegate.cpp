#include "ui-kit/QKStampDelegate.h"

#include "ui-kit/QKForeground.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

QKStampDelegate::QKStampDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), m_view(view) {}

QString QKStampDelegate::keyAction(const QModelIndex&) const {
    return {};
}

QString QKStampDelegate::sizeKey(const QModelIndex&) const {
    return {};
}

int QKStampDelegate::rowWidth(const QStyleOptionViewItem& option) const {
    // A list lays its rows out across its viewport; the option's rectangle is not set when the
    // view only asks for a size.
    if (m_view && m_view->viewport()->width() > 0)
        return m_view->viewport()->width();
    return std::max(option.rect.width(), 1);
}

void QKStampDelegate::prepareStamp(QWidget* stamp) {
    stamp->hide();
    // A part never shown counts as hidden, and hidden parts are neither measured, painted nor
    // found under the pointer. Showing a part whose parent is hidden only clears that mark.
    for (QWidget* part : stamp->findChildren<QWidget*>())
        if (!part->testAttribute(Qt::WA_WState_ExplicitShowHide))
            part->show();
}

QWidget* QKStampDelegate::setUpStamp(const QModelIndex& index) const {
    QWidget* stamp = stampFor(index);
    if (!stamp)
        return nullptr;
    // Nested layouts keep their measures until told; a hidden widget's changes tell nobody.
    for (QLayout* layout : stamp->findChildren<QLayout*>())
        layout->invalidate();
    if (QLayout* layout = stamp->layout())
        layout->invalidate();
    return stamp;
}

QWidget* QKStampDelegate::placedStamp(const QModelIndex& index, const QSize& size) const {
    QWidget* stamp = setUpStamp(index);
    if (!stamp)
        return nullptr;
    if (stamp->size() != size)
        stamp->resize(size);
    if (QLayout* layout = stamp->layout())
        layout->activate();
    return stamp;
}

QKStampDelegate::Heights& QKStampDelegate::heightsFor(int width, const QFont& font) const {
    for (Heights& heights : m_heights)
        if (heights.width == width && heights.font == font)
            return heights;
    m_newest = 1 - m_newest;
    Heights& fresh = m_heights[m_newest];
    fresh.width = width;
    fresh.font = font;
    fresh.byKey.clear();
    return fresh;
}

QSize QKStampDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const int width = rowWidth(option);
    if (m_view && !m_view->isVisible())
        return {width, 0};
    const QString key = sizeKey(index);
    Heights* kept = nullptr;
    if (!key.isEmpty() && m_view) {
        kept = &heightsFor(width, m_view->font());
        const auto known = kept->byKey.constFind(key);
        if (known != kept->byKey.constEnd())
            return {width, *known};
    }
    QWidget* probe = setUpStamp(index);
    if (!probe)
        return {width, 0};
    int height = probe->hasHeightForWidth() ? probe->heightForWidth(width) : -1;
    if (height < 0)
        height = probe->sizeHint().height();
    if (kept)
        kept->byKey.insert(key, height);
    return {width, height};
}

void QKStampDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QWidget* stamp = placedStamp(index, option.rect.size());
    if (!stamp)
        return;
    painter->save();
    painter->translate(option.rect.topLeft());
    stamp->render(painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter->restore();
    if (!(option.state & QStyle::State_HasFocus))
        return;
    const QString action = keyAction(index);
    auto* button = action.isEmpty() ? nullptr : stamp->findChild<QAbstractButton*>(action);
    if (!button || button->isHidden())
        return;
    const QRect at(button->mapTo(stamp, QPoint(0, 0)) + option.rect.topLeft(), button->size());
    QColor ring = QKForeground::color(QKForeground::Tint, option.palette);
    ring.setAlphaF(0.5f);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(ring, 1.5));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(at).adjusted(1, 1, -1, -1), 4, 4);
    painter->restore();
}

QRect QKStampDelegate::actionRect(const QModelIndex& index, const QString& action) const {
    if (!m_view || !index.isValid() || action.isEmpty())
        return {};
    const QRect row = m_view->visualRect(index);
    QWidget* stamp = row.isEmpty() ? nullptr : placedStamp(index, row.size());
    auto* button = stamp ? stamp->findChild<QAbstractButton*>(action) : nullptr;
    if (!button || button->isHidden())
        return {};
    return {button->mapTo(stamp, QPoint(0, 0)) + row.topLeft(), button->size()};
}

QWidget* QKStampDelegate::buttonAt(QWidget* stamp, const QPoint& at) const {
    for (QWidget* child = stamp->childAt(at); child && child != stamp;
         child = child->parentWidget()) {
        if (auto* button = qobject_cast<QAbstractButton*>(child))
            return button->isEnabled() && !button->objectName().isEmpty() ? button : nullptr;
    }
    return nullptr;
}

bool QKStampDelegate::editorEvent(QEvent* event, QAbstractItemModel*,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    QWidget* stamp = placedStamp(index, option.rect.size());
    if (!stamp)
        return false;
    QWidget* button = buttonAt(stamp, mouse->position().toPoint() - option.rect.topLeft());
    const QString name = button ? button->objectName() : QString();
    if (type == QEvent::MouseButtonRelease) {
        const bool same = !name.isEmpty() && name == m_pressed;
        m_pressed.clear();
        if (same)
            emit actionTriggered(index, name);
        return same;
    }
    // A press (or a second click) on a button belongs to the button, not to the row.
    m_pressed = name;
    return !name.isEmpty();
}

bool QKStampDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QWidget* stamp = placedStamp(index, option.rect.size());
    if (!stamp)
        return false;
    QString tip;
    for (QWidget* child = stamp->childAt(event->pos() - option.rect.topLeft());
         child && child != stamp && tip.isEmpty(); child = child->parentWidget())
        tip = child->toolTip();
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    QToolTip::showText(event->globalPos(), tip, view->viewport());
    return true;
}

void QKStampDelegate::triggerKeyAction(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const QString action = keyAction(index);
    if (action.isEmpty())
        return;
    QWidget* stamp = stampFor(index);
    auto* button = stamp ? stamp->findChild<QAbstractButton*>(action) : nullptr;
    if (button && button->isEnabled() && !button->isHidden())
        emit actionTriggered(index, action);
}
