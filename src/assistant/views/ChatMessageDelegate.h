#pragma once

#include "ui-kit/QKStampDelegate.h"

#include <QPersistentModelIndex>

class ChatMessageRow;
class QLabel;

// Draws the conversation (TamsoMessageListModel) with one ChatMessageRow stamp for the user's
// messages and one for Pendrel's, 10 points apart. An answer's "Copy" and its chips are the row's
// buttons ("copyAnswer", ChatMessageRow::chipName): Space and Return press "Copy", or the button
// the arrows chose.
//
// A message's text can be selected in part, as a label's can: while the pointer is over a row's
// text, a selectable copy of it (ChatMessageRow::selectableText, "selectableText") lies exactly
// over the drawn one, and takes the drag, Shift with the arrows and Copy; selectText() opens it
// for the keyboard. Escape in it hands the keyboard back to the list. The copy under the pointer
// and the one holding a selection the user is working on stay; any other goes, so the list holds
// at most two such widgets.
class ChatMessageDelegate : public QKStampDelegate {
    Q_OBJECT
public:
    static constexpr int kGap = 10;

    explicit ChatMessageDelegate(QAbstractItemView* view);

    QString keyAction(const QModelIndex& index) const override;
    // The current message's ring runs around the message alone, not the gap under it, so it
    // never meets the next message's bubble (the user's is the accent, as the ring is).
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // The widest a bubble may grow.
    void setBubbleMaximumWidth(int width);
    int bubbleMaximumWidth() const { return m_bubbleWidth; }
    // Lays the selectable copy over the row's text and returns it.
    QLabel* selectText(const QModelIndex& index);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    QWidget* stampFor(const QModelIndex& index) const override;
    QString sizeKey(const QModelIndex& index) const override;

private:
    ChatMessageRow* stampOf(const QModelIndex& index) const;
    // Where the row's text lies in the viewport.
    QRect textRect(const QModelIndex& index) const;
    // The pointer moved to this point of the viewport.
    void followPointer(const QPoint& at);
    // Closes every selectable copy but `keep`'s and the one being worked on.
    void closeOthers(const QModelIndex& keep);

    ChatMessageRow* m_mine;
    ChatMessageRow* m_answers;
    int m_bubbleWidth = 480;
    QList<QPersistentModelIndex> m_selectable;
};
