#include "assistant/TamsoMessageListModel.h"

#include "assistant/TamsoAssistant.h"

TamsoMessageListModel::TamsoMessageListModel(TamsoAssistant& assistant, QObject* parent)
    : BatchedListModel(parent), m_assistant(&assistant) {
    connect(&assistant, &TamsoAssistant::messagesChanged, this, &TamsoMessageListModel::sync);
    sync();
}

void TamsoMessageListModel::sync() {
    if (!m_assistant)
        return;
    const QList<TamsoMessage>& messages = m_assistant->messages();
    const QList<TamsoMessage>& shown = rows();
    bool prefix = shown.size() <= messages.size();
    for (qsizetype i = 0; prefix && i < shown.size(); ++i)
        prefix = shown.at(i).id == messages.at(i).id;
    if (!prefix) {
        reset(messages);
        return;
    }
    // Appended at once: the screen scrolls to the newest as it comes.
    if (messages.size() > shown.size())
        append(messages.mid(shown.size()));
}

QVariant TamsoMessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const TamsoMessage& message = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return message.text;
    case MessageRole:
        return QVariant::fromValue(message);
    default:
        return {};
    }
}

Qt::ItemFlags TamsoMessageListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
