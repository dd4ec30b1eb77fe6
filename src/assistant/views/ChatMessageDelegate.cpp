#include "assistant/views/ChatMessageDelegate.h"

#include "assistant/TamsoMessageListModel.h"
#include "assistant/views/ChatMessageRow.h"
#include "ui-kit/QKFocusRing.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Where the stamps live: beside the list, where the rows were, so that they take the page's font
// and palette and not those the style gives item views.
QWidget* stampParent(QAbstractItemView* view) {
    return view->parentWidget() ? view->parentWidget() : view;
}

TamsoMessage messageAt(const QModelIndex& index) {
    return index.data(TamsoMessageListModel::MessageRole).value<TamsoMessage>();
}

} // namespace

ChatMessageDelegate::ChatMessageDelegate(QAbstractItemView* view)
    : QKStampDelegate(view),
      m_mine(new ChatMessageRow(TamsoMessage::question({}), stampParent(view))),
      m_answers(new ChatMessageRow(TamsoMessage::answer({}), stampParent(view))) {
    m_mine->setObjectName(QStringLiteral("questionStamp"));
    m_answers->setObjectName(QStringLiteral("answerStamp"));
    prepareStamp(m_mine);
    prepareStamp(m_answers);
}

QString ChatMessageDelegate::keyAction(const QModelIndex& index) const {
    return messageAt(index).role == TamsoMessage::Role::Tamso ? QStringLiteral("copyAnswer")
                                                              : QString();
}

void ChatMessageDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const bool ringed =
        (option.state & QStyle::State_HasFocus) && QKFocusRing::shows(option.widget);
    if (!ringed) {
        QKStampDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_HasFocus;
    QKStampDelegate::paint(painter, plain, index);
    const bool last = index.row() + 1 >= index.model()->rowCount();
    QStyleOptionViewItem message(option);
    message.rect.setBottom(option.rect.bottom() - (last ? 0 : kGap));
    paintFocusedRow(*painter, message, 0);
    const QRect button = actionRect(index, currentAction(index));
    if (!button.isEmpty())
        QKFocusRing::paint(*painter, QRectF(button), 4, option.palette);
}

void ChatMessageDelegate::setBubbleMaximumWidth(int width) {
    m_bubbleWidth = width;
}

ChatMessageRow* ChatMessageDelegate::stampOf(const QModelIndex& index) const {
    const TamsoMessage message = messageAt(index);
    ChatMessageRow* stamp = message.role == TamsoMessage::Role::User ? m_mine : m_answers;
    stamp->setMessage(message);
    stamp->setBubbleMaximumWidth(m_bubbleWidth);
    const bool last = index.row() + 1 >= index.model()->rowCount();
    stamp->setGapBelow(last ? 0 : kGap);
    return stamp;
}

QWidget* ChatMessageDelegate::stampFor(const QModelIndex& index) const {
    ChatMessageRow* stamp = stampOf(index);
    stamp->setTextPainted(!view() || !view()->indexWidget(index));
    return stamp;
}

QString ChatMessageDelegate::sizeKey(const QModelIndex& index) const {
    const TamsoMessage message = messageAt(index);
    const bool last = index.row() + 1 >= index.model()->rowCount();
    // A message never changes under its id.
    return message.id.toString() + QString::number(m_bubbleWidth) + (last ? u'l' : u'-');
}

QRect ChatMessageDelegate::textRect(const QModelIndex& index) const {
    const QRect row = view()->visualRect(index);
    if (row.isEmpty())
        return {};
    auto* stamp = static_cast<ChatMessageRow*>(placedStamp(index, row.size()));
    return stamp->textRect().translated(row.topLeft());
}

QWidget* ChatMessageDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex& index) const {
    // The view makes this delegate the copy's event filter.
    return ChatMessageRow::selectableText(messageAt(index), parent);
}

void ChatMessageDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* text = qobject_cast<QLabel*>(editor);
    if (text && text->text() != messageAt(index).text)
        text->setText(messageAt(index).text);
}

void ChatMessageDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem&,
                                               const QModelIndex& index) const {
    editor->setGeometry(textRect(index));
}

QLabel* ChatMessageDelegate::selectText(const QModelIndex& index) {
    if (!view() || !index.isValid())
        return nullptr;
    closeOthers(index);
    if (!view()->indexWidget(index)) {
        m_selectable.append(index);
        view()->openPersistentEditor(index);
    }
    return qobject_cast<QLabel*>(view()->indexWidget(index));
}

void ChatMessageDelegate::closeOthers(const QModelIndex& keep) {
    for (qsizetype i = m_selectable.size() - 1; i >= 0; --i) {
        const QPersistentModelIndex open = m_selectable.at(i);
        auto* text = open.isValid() ? qobject_cast<QLabel*>(view()->indexWidget(open)) : nullptr;
        if (open == keep || (text && text->hasFocus() && text->hasSelectedText()))
            continue;
        m_selectable.removeAt(i);
        if (open.isValid())
            view()->closePersistentEditor(open);
    }
}

void ChatMessageDelegate::followPointer(const QPoint& at) {
    const QModelIndex index = view()->indexAt(at);
    if (index.isValid() && textRect(index).contains(at))
        selectText(index);
    else
        closeOthers({});
}

bool ChatMessageDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (qobject_cast<QLabel*>(watched)) {
        // A copy goes with the list's viewport; while the list is being torn down it asks nothing.
        if (!isLiveViewport(watched->parent()))
            return false;
        // The copy is the user's to select in, not an editor: leaving it commits nothing and
        // closes nothing. Escape hands the keyboard back to the list.
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            view()->setFocus(Qt::OtherFocusReason);
            return true;
        }
        if (event->type() == QEvent::Leave)
            closeOthers({});
        return false;
    }
    if (isLiveViewport(watched) && event->type() == QEvent::MouseMove)
        followPointer(static_cast<QMouseEvent*>(event)->position().toPoint());
    return QKStampDelegate::eventFilter(watched, event);
}
