#pragma once

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QUuid>
#include <QWidget>

class QKEmptyState;
class QLabel;
class QBoxLayout;
class QAbstractButton;
class ScreenState;
class SecureNoteEditor;
class SecureNoteList;
class SecureNoteListModel;
class SecureNotesStore;

// The vault section ("Privacy"): the store's notes on the left, in the store's order (a list
// drawn row by row, "vaultNotes", whose selection is the user's choice), and the
// editor of the selected note on the right, or "Your secure vault" when nothing is selected or
// the selected note is gone. The selection is ScreenState's vaultSelection, so it survives
// leaving the screen; deleting a note leaves it as it is. "plus" creates a note called "New
// secret" and selects it once the keyring has it. A failure the store reports shows as the alert
// "Keyring problem", which clears the store's message when dismissed; a list of notes that could
// not be saved shows as a line under the list until it can be. The screen itself never touches
// the keyring, and selecting another note first hands the editor's typing to the store.
class SecureNotesView : public QWidget {
    Q_OBJECT
public:
    SecureNotesView(ScreenState& screen, SecureNotesStore& store, QWidget* parent = nullptr);

private:
    QWidget* buildList();
    // Connects the parts, the store and the screen state.
    void follow();
    void newSecret();
    void showSelection();
    void showDetail();
    void showError();
    void showIndexFailure();

    ScreenState& m_screen;
    SecureNotesStore& m_store;
    QAbstractButton* m_new;
    SecureNoteListModel* m_model;
    SecureNoteList* m_notes;
    QLabel* m_heldNote;
    QLabel* m_indexNote;
    QBoxLayout* m_detail;
    QKEmptyState* m_empty;
    QPointer<SecureNoteEditor> m_editor;
    QPointer<QMessageBox> m_alert;
};
