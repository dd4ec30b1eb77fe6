#include "ui-kit/QKStampDelegate.h"

#include "ui-kit/QKFocusRing.h"

#include <algorithm>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

QKStampDelegate::QKStampDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), m_view(view) {
    if (m_view) {
        // The pointer is followed for the hover and cursor of the stamp's buttons.
        m_view->viewport()->setMouseTracking(true);
        m_view->viewport()->installEventFilter(this);
    }
}

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
    // Nested layouts keep their measures until told, and so does a layout's entry for each part
    // (its size hint); a hidden widget's changes tell nobody, so a part would otherwise keep the
    // size it had for the row set up before (a bubble as tall as the previous message's).
    for (QWidget* part : stamp->findChildren<QWidget*>())
        part->updateGeometry();
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
    fresh.sum = 0;
    return fresh;
}

QSize QKStampDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const int width = rowWidth(option);
    if (m_view && !m_view->isVisible())
        return {width, 0};
    // A key may cost as much as the row's texts: a guess asks for none.
    if (m_guessing && m_view) {
        const Heights& kept = heightsFor(width, m_view->font());
        if (!kept.byKey.isEmpty())
            return {width, int(kept.sum / kept.byKey.size())};
    }
    const QString key = sizeKey(index);
    Heights* kept = nullptr;
    if (!key.isEmpty() && m_view) {
        kept = &heightsFor(width, m_view->font());
        const auto known = kept->byKey.constFind(key);
        if (known != kept->byKey.constEnd())
            return {width, *known};
        if (m_estimating && !kept->byKey.isEmpty())
            return {width, int(kept->sum / kept->byKey.size())};
    }
    QWidget* probe = setUpStamp(index);
    if (!probe)
        return {width, 0};
    ++m_rowsMeasured;
    int height = probe->hasHeightForWidth() ? probe->heightForWidth(width) : -1;
    if (height < 0)
        height = probe->sizeHint().height();
    if (kept) {
        kept->byKey.insert(key, height);
        kept->sum += height;
    }
    return {width, height};
}

bool QKStampDelegate::isMeasured(const QModelIndex& index) const {
    if (!m_estimating || !m_view || !m_view->isVisible())
        return true;
    const QString key = sizeKey(index);
    return key.isEmpty() ||
           heightsFor(rowWidth(QStyleOptionViewItem()), m_view->font()).byKey.contains(key);
}

int QKStampDelegate::measure(const QModelIndex& index) const {
    const bool estimating = m_estimating;
    m_estimating = false;
    const int height = sizeHint(QStyleOptionViewItem(), index).height();
    m_estimating = estimating;
    return height;
}

void QKStampDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QWidget* stamp = placedStamp(index, option.rect.size());
    if (!stamp)
        return;
    // The button under the pointer draws hovered, and down while the press that went to it lasts.
    auto* hovered = index == m_hoverRow && !m_hoverButton.isEmpty()
                        ? stamp->findChild<QAbstractButton*>(m_hoverButton)
                        : nullptr;
    const bool down = hovered && m_pressedRow == index && m_pressed == m_hoverButton;
    if (hovered) {
        hovered->setAttribute(Qt::WA_UnderMouse, true);
        hovered->setDown(down);
    }
    painter->save();
    painter->translate(option.rect.topLeft());
    stamp->render(painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter->restore();
    if (hovered) {
        hovered->setAttribute(Qt::WA_UnderMouse, false);
        hovered->setDown(false);
    }
    if (!(option.state & QStyle::State_HasFocus) || !QKFocusRing::shows(option.widget))
        return;
    paintFocusedRow(*painter, option, 0);
    const QString action = currentAction(index);
    auto* button = action.isEmpty() ? nullptr : stamp->findChild<QAbstractButton*>(action);
    if (!button || button->isHidden())
        return;
    const QRect at(button->mapTo(stamp, QPoint(0, 0)) + option.rect.topLeft(), button->size());
    QKFocusRing::paint(*painter, QRectF(at), 4, option.palette);
}

void QKStampDelegate::paintFocusedRow(QPainter& painter, const QStyleOptionViewItem& option,
                                      qreal radius, const QColor& under) {
    if ((option.state & QStyle::State_HasFocus) && QKFocusRing::shows(option.widget))
        QKFocusRing::paint(painter, QRectF(option.rect), radius, option.palette, under);
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

std::pair<QModelIndex, QString> QKStampDelegate::buttonUnder(const QPoint& at) const {
    const QModelIndex index = m_view ? m_view->indexAt(at) : QModelIndex();
    if (!index.isValid())
        return {};
    const QRect row = m_view->visualRect(index);
    QWidget* stamp = placedStamp(index, row.size());
    QWidget* button = stamp ? buttonAt(stamp, at - row.topLeft()) : nullptr;
    return {index, button ? button->objectName() : QString()};
}

void QKStampDelegate::setHover(const QModelIndex& index, const QString& button) {
    if (index == m_hoverRow && button == m_hoverButton)
        return;
    if (m_hoverRow.isValid() && !m_hoverButton.isEmpty())
        m_view->update(m_hoverRow);
    m_hoverRow = index;
    m_hoverButton = button;
    const QWidget* shown = nullptr;
    if (index.isValid() && !button.isEmpty()) {
        m_view->update(index);
        QWidget* stamp = stampFor(index);
        shown = stamp ? stamp->findChild<QAbstractButton*>(button) : nullptr;
    }
    if (shown && shown->testAttribute(Qt::WA_SetCursor))
        m_view->viewport()->setCursor(shown->cursor());
    else
        m_view->viewport()->unsetCursor();
}

bool QKStampDelegate::isLiveViewport(const QObject* watched) const {
    const auto* view =
        watched ? qobject_cast<const QAbstractItemView*>(watched->parent()) : nullptr;
    return m_view && view == m_view && watched == view->viewport();
}

bool QKStampDelegate::eventFilter(QObject* watched, QEvent* event) {
    // The viewport outlives the view's own destructors (see isLiveViewport).
    if (!isLiveViewport(watched))
        return QStyledItemDelegate::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto [index, button] =
            buttonUnder(static_cast<QMouseEvent*>(event)->position().toPoint());
        setHover(index, button);
        break;
    }
    case QEvent::Leave:
        setHover({}, {});
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A second click is a press of its own, as on a button.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const auto [index, button] = buttonUnder(mouse->position().toPoint());
        if (m_pressedRow.isValid())
            m_view->update(m_pressedRow);
        m_pressedRow = index;
        m_pressed = button;
        setHover(index, button);
        if (!button.isEmpty())
            m_view->update(index);
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const auto [index, button] = buttonUnder(mouse->position().toPoint());
        const QPersistentModelIndex pressedRow = m_pressedRow;
        const QString pressed = m_pressed;
        m_pressedRow = QPersistentModelIndex();
        m_pressed.clear();
        if (pressedRow.isValid())
            m_view->update(pressedRow);
        // A click is a press and a release on the same button of the same row.
        if (!pressed.isEmpty() && index.isValid() && index == pressedRow && button == pressed)
            emit actionTriggered(index, button);
        break;
    }
    default:
        break;
    }
    return false;
}

bool QKStampDelegate::editorEvent(QEvent* event, QAbstractItemModel*,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
    // The clicks themselves are followed on the viewport (eventFilter); the view only must not
    // take a click on a button for its own.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    QWidget* stamp = placedStamp(index, option.rect.size());
    return stamp && buttonAt(stamp, mouse->position().toPoint() - option.rect.topLeft());
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

QList<std::pair<QString, QString>> QKStampDelegate::rowActions(const QModelIndex& index) const {
    QList<std::pair<QString, QString>> actions;
    QWidget* stamp = index.isValid() ? setUpStamp(index) : nullptr;
    if (!stamp)
        return actions;
    for (QAbstractButton* button : stamp->findChildren<QAbstractButton*>()) {
        if (button->objectName().isEmpty() || !button->isEnabled() || button->isHidden())
            continue;
        QString name = button->accessibleName();
        if (name.isEmpty())
            name = button->text();
        if (name.isEmpty())
            name = button->toolTip();
        if (!name.isEmpty())
            actions.append({button->objectName(), name});
    }
    return actions;
}

void QKStampDelegate::triggerAction(const QModelIndex& index, const QString& action) {
    for (const auto& [name, spoken] : rowActions(index)) {
        if (name == action) {
            emit actionTriggered(index, action);
            return;
        }
    }
}

QString QKStampDelegate::currentAction(const QModelIndex& index) const {
    if (index.isValid() && index == m_keyRow && !m_keyButton.isEmpty())
        return m_keyButton;
    return keyAction(index);
}

bool QKStampDelegate::stepAction(const QModelIndex& index, int step) {
    const QList<std::pair<QString, QString>> actions = rowActions(index);
    if (actions.size() < 2)
        return false;
    const QString current = currentAction(index);
    qsizetype at = -1;
    for (qsizetype i = 0; i < actions.size(); ++i)
        if (actions.at(i).first == current)
            at = i;
    at = at < 0 ? (step > 0 ? 0 : actions.size() - 1)
                : std::clamp<qsizetype>(at + step, 0, actions.size() - 1);
    m_keyRow = index;
    m_keyButton = actions.at(at).first;
    if (m_view)
        m_view->update(index);
    return true;
}

void QKStampDelegate::triggerKeyAction(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const QString action = currentAction(index);
    if (action.isEmpty())
        return;
    QWidget* stamp = stampFor(index);
    auto* button = stamp ? stamp->findChild<QAbstractButton*>(action) : nullptr;
    if (button && button->isEnabled() && !button->isHidden())
        emit actionTriggered(index, action);
}
