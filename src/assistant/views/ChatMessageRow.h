#pragma once

#include "assistant/TamsoMessage.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;

// One message of the conversation: the bubble with the text, and under Pendrel's answers a "Copy"
// button ("copyAnswer") and a chip per action ("chip0", "chip1", …). The user's bubbles sit
// against the trailing edge in the accent, Pendrel's against the leading edge on a quiet fill. A
// message without actions has no chip row. The conversation's list draws every message with one
// row of each side (ChatMessageDelegate), set up for the message it paints, so the buttons act
// through the delegate.
class ChatMessageRow : public QWidget {
    Q_OBJECT
public:
    ChatMessageRow(const TamsoMessage& message, QWidget* parent = nullptr);

    const TamsoMessage& message() const { return m_message; }
    // Shows another message of the same side.
    void setMessage(const TamsoMessage& message);
    // The widest a bubble may grow, set by the list as its width changes.
    void setBubbleMaximumWidth(int width);
    // Room left under the row, the gap to the next message.
    void setGapBelow(int gap);
    // Where the text lies in the row.
    QRect textRect() const;
    // Whether the row paints its text: not while a selectable copy lies over it.
    void setTextPainted(bool painted);
    // A label showing the message's text exactly as a row does, selectable by mouse and keyboard
    // (Shift and the arrows) and copied with Copy: what lies over a drawn row's text while the
    // user selects in it.
    static QLabel* selectableText(const TamsoMessage& message, QWidget* parent);
    // The chip's object name for the action at this place of the message.
    static QString chipName(int action);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sizes the text to its natural width, at most the maximum, and its height to that width.
    void fit();
    // The symbol is drawn in the secondary colour of the appearance in force.
    void syncCopyIcon();
    // One chip per action, named and labelled as the actions go.
    void syncChips();

    TamsoMessage m_message;
    int m_maxWidth = 480;
    QWidget* m_bubble = nullptr;
    QLabel* m_text = nullptr;
    QPushButton* m_copy = nullptr;
    QWidget* m_chipRow = nullptr;
    QList<QPushButton*> m_chips;
};
