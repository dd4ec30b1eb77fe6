#pragma once

#include "assistant/TamsoMessage.h"

#include <QList>
#include <QModelIndex>
#include <QPointer>
#include <QWidget>

class AppState;
class ChatMessageDelegate;
class DescribeFindPanel;
class DraggableDivider;
class FileRevealer;
class QKeyEvent;
class QKPopover;
class QKProminentButton;
class QKRowList;
class QKSpinner;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QScrollArea;
class ScreenState;
class SpotlightSearch;
class TamsoAssistant;
class TamsoMessageListModel;

// The assistant's screen: the conversation with Pendrel on the left, the describe-to-find panel
// on the right, a splitter between them. It keeps almost nothing itself: the conversation, the
// busy flag and the action awaiting approval are the assistant's; the question being typed, the
// find text and the panel's width are ScreenState's, so all survive navigation.
//
// - Sending (Return, or "Ask"): the question exactly as typed goes to the assistant with the
//   latest sample and this section as the context, and the field is emptied at once. "Ask" is
//   disabled while the question holds only blanks or an answer is awaited; Return is not, and
//   the assistant itself ignores a blank question.
// - An answer's chip: a section-opening action posts the open-section message at once; a quit or
//   cleanup proposal becomes the assistant's pending action, which opens the approval dialog.
//   "Approve" has the assistant carry out the action pending when it was pressed; "Cancel",
//   Escape or closing the dialog only clears it.
// - While the screen is visible, a run-search message fills the find field and starts the
//   search; while it is not, the message is left alone.
// - Each time the number of messages changes the list scrolls to the newest; showing the screen
//   with an unchanged conversation does not.
// - The conversation is a list drawn row by row ("messages"), no widget per message: the arrows
//   move through it, Left and Right choose among an answer's "Copy" and chips, Space and Return
//   press the one chosen, and Copy (Ctrl+C) copies the current message, the user's own too. Part
//   of a message is selected as in a label: by dragging over its text, or from the keyboard with
//   Shift and an arrow on the current message (ChatMessageDelegate).
// - "Private by design" opens a popover ("privacyPopover") reached and closed by the keyboard,
//   a window of its own that assistive technology reads.
// revealer may be null: the find panel's "Show" then does nothing.
class TamsoAIView : public QWidget {
    Q_OBJECT
public:
    TamsoAIView(ScreenState& screen, AppState& appState, TamsoAssistant& assistant,
                SpotlightSearch& finder, FileRevealer* revealer, QWidget* parent = nullptr);

    void send();
    void copyAnswer(const TamsoMessage& message);
    void tapAction(const TamsoAction& action);
    void approve();
    void cancelPending();

private:
    QPushButton* privacyButton(QWidget* parent);
    QScrollArea* buildConversation(QWidget* parent);
    // Connects the parts and the services.
    void follow();
    void rowAction(const QModelIndex& index, const QString& button);
    bool rowKey(QKeyEvent* event);
    // Opens the privacy popover ("privacyPopover"), or closes it.
    void setShowPrivacy(bool show);
    void syncMessages();
    void syncAsk();
    void syncPending();
    void syncField();
    void applyFindWidth();
    void fitBubbles();
    void scrollToNewest();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ScreenState& m_screen;
    AppState& m_appState;
    TamsoAssistant& m_assistant;
    QWidget* m_header = nullptr;
    QPushButton* m_privacyButton = nullptr;
    QPointer<QKPopover> m_privacy;
    QScrollArea* m_list = nullptr;
    QKSpinner* m_spinner = nullptr;
    TamsoMessageListModel* m_model = nullptr;
    QKRowList* m_rows = nullptr;
    ChatMessageDelegate* m_delegate = nullptr;
    int m_shownCount = 0;
    QLineEdit* m_field = nullptr;
    QKProminentButton* m_ask = nullptr;
    DraggableDivider* m_divider = nullptr;
    DescribeFindPanel* m_panel = nullptr;
    QPointer<QMessageBox> m_dialog;
    bool m_followNewest = false;
    bool m_built = false;
};
