#pragma once

#include "ui-kit/QKStampDelegate.h"

class ChatMessageRow;

// Draws the conversation (TamsoMessageListModel) with one ChatMessageRow stamp for the user's
// messages and one for Pendrel's, 10 points apart. An answer's "Copy" and its chips are the row's
// buttons ("copyAnswer", ChatMessageRow::chipName): Space and Return press "Copy", or the button
// the arrows chose.
class ChatMessageDelegate : public QKStampDelegate {
    Q_OBJECT
public:
    static constexpr int kGap = 10;

    explicit ChatMessageDelegate(QAbstractItemView* view);

    QString keyAction(const QModelIndex& index) const override;
    // The widest a bubble may grow.
    void setBubbleMaximumWidth(int width);
    int bubbleMaximumWidth() const { return m_bubbleWidth; }

protected:
    QWidget* stampFor(const QModelIndex& index) const override;
    QString sizeKey(const QModelIndex& index) const override;

private:
    ChatMessageRow* m_mine;
    ChatMessageRow* m_answers;
    int m_bubbleWidth = 480;
};
