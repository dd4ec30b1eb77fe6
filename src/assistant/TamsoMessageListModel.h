#pragma once

#include "assistant/TamsoMessage.h"
#include "platform/BatchedListModel.h"

#include <QPointer>

class TamsoAssistant;

// The conversation as a list: the assistant's messages in order. It follows the assistant by
// itself: messages only ever come at the end, so new ones are appended (the rows before them
// stay as they are); a conversation that changed otherwise replaces the rows in one reset.
class TamsoMessageListModel : public BatchedListModel<TamsoMessage> {
    Q_OBJECT
public:
    enum Role {
        MessageRole = Qt::UserRole + 1, // the TamsoMessage
    };

    explicit TamsoMessageListModel(TamsoAssistant& assistant, QObject* parent = nullptr);

    // Display and accessible text: the message's text.
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void sync();

    QPointer<TamsoAssistant> m_assistant;
};
