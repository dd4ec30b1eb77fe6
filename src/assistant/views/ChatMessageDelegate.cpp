#include "assistant/views/ChatMessageDelegate.h"

#include "assistant/TamsoMessageListModel.h"
#include "assistant/views/ChatMessageRow.h"

#include <QAbstractItemView>

namespace {

// Where the stamps live: beside the list, where the rows were, so that they take the page's font
// and palette and not those the style gives item views.
QWidget* stampParent(QAbstractItemView* view) {
    return view->parentWidget() ? view->parentWidget() : view;
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
    const auto message = index.data(TamsoMessageListModel::MessageRole).value<TamsoMessage>();
    return message.role == TamsoMessage::Role::Tamso ? QStringLiteral("copyAnswer") : QString();
}

void ChatMessageDelegate::setBubbleMaximumWidth(int width) {
    m_bubbleWidth = width;
}

QWidget* ChatMessageDelegate::stampFor(const QModelIndex& index) const {
    const auto message = index.data(TamsoMessageListModel::MessageRole).value<TamsoMessage>();
    ChatMessageRow* stamp = message.role == TamsoMessage::Role::User ? m_mine : m_answers;
    stamp->setMessage(message);
    stamp->setBubbleMaximumWidth(m_bubbleWidth);
    const bool last = index.row() + 1 >= index.model()->rowCount();
    stamp->setGapBelow(last ? 0 : kGap);
    return stamp;
}

QString ChatMessageDelegate::sizeKey(const QModelIndex& index) const {
    const auto message = index.data(TamsoMessageListModel::MessageRole).value<TamsoMessage>();
    const bool last = index.row() + 1 >= index.model()->rowCount();
    // A message never changes under its id.
    return message.id.toString() + QString::number(m_bubbleWidth) + (last ? u'l' : u'-');
}
