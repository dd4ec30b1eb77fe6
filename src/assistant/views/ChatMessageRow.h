#pragma once

#include "assistant/TamsoMessage.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;

// One message of the conversation: the bubble with the text (selectable), and under Pendrel's
// answers a "Copy" button and a chip per action. The user's bubbles sit against the trailing
// edge in the accent, Pendrel's against the leading edge on a quiet fill. A message without
// actions has no chip row. The row only reports clicks; the screen decides what they do.
class ChatMessageRow : public QWidget {
    Q_OBJECT
public:
    ChatMessageRow(const TamsoMessage& message, QWidget* parent = nullptr);

    const TamsoMessage& message() const { return m_message; }
    // Null under the user's messages.
    QPushButton* copyButton() const { return m_copy; }
    const QList<QPushButton*>& chips() const { return m_chips; }
    // The widest a bubble may grow, set by the list as its width changes.
    void setBubbleMaximumWidth(int width);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void copyClicked(const TamsoMessage& message);
    void actionClicked(const TamsoAction& action);

private:
    // Sizes the text to its natural width, at most the maximum, and its height to that width.
    void fit();
    // The symbol is drawn in the secondary colour of the appearance in force.
    void syncCopyIcon();

    TamsoMessage m_message;
    int m_maxWidth = 480;
    QWidget* m_bubble = nullptr;
    QLabel* m_text = nullptr;
    QPushButton* m_copy = nullptr;
    QList<QPushButton*> m_chips;
};
