#pragma once

#include "vault/SecureNote.h"

#include <QPointer>
#include <QWidget>

class DeleteConfirm;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class SecureNotesStore;

// Edits one secure note: its title and its secret. The secret is read from the keyring once,
// when the editor is first shown, and is shown masked until the user reveals it (then it can be
// edited). Every change of the title or the secret is saved at once through the store, which
// writes the keyring before the index; a change that equals the last pair handed to the store
// (or loaded) saves nothing, so opening a note writes nothing. "Copy" puts the secret on the
// clipboard and shows "Copied" for two seconds. "Delete" asks for the typed code and then lets
// the store remove the keyring item and the note.
//
// When the secret could not be read (the keyring is locked, refuses or holds something that is
// not text), the editor says so in place of the secret and can change nothing (title included,
// since a save writes both), so an empty text never replaces a secret it could not see; "Try
// again" reads once more. A missing item is an empty secret, saved with the first change.
//
// One editor per note: another note gets a new editor, which starts hidden.
class SecureNoteEditor : public QWidget {
    Q_OBJECT
public:
    SecureNoteEditor(SecureNotesStore& store, const SecureNote& note, QWidget* parent = nullptr);
    ~SecureNoteEditor() override;

    QUuid noteId() const { return m_note.id; }
    bool isLoaded() const { return m_loaded; }
    bool isRevealed() const { return m_revealed; }
    bool readFailed() const { return m_readFailed; }
    bool showsCopied() const { return m_copied; }
    QString body() const { return m_body; }

    // Reads the note once (the first showing does it); later calls change nothing.
    void load();

    QLineEdit* titleField() const { return m_titleField; }
    QPushButton* revealButton() const { return m_reveal; }
    QPushButton* copyButton() const { return m_copy; }
    QLabel* copiedLabel() const { return m_copiedLabel; }
    QPlainTextEdit* secretEditor() const { return m_editor; }
    QLabel* maskedLabel() const { return m_masked; }
    QLabel* countLabel() const { return m_count; }
    QLabel* readFailureLabel() const { return m_failure; }
    QPushButton* retryButton() const { return m_retry; }
    QPushButton* deleteButton() const { return m_delete; }
    DeleteConfirm* deleteConfirm() const { return m_confirm; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void readSecret();
    void commit();
    void setRevealed(bool revealed);
    void copySecret();
    void setCopied(bool copied);
    void deleteNote();
    void showSecret();

    SecureNotesStore& m_store;
    const SecureNote m_note;
    QString m_title;
    QString m_body;
    QString m_savedTitle;
    QString m_savedBody;
    bool m_revealed = false;
    bool m_loaded = false;
    bool m_readFailed = false;
    bool m_copied = false;

    QLineEdit* m_titleField;
    QPushButton* m_reveal;
    QPushButton* m_copy;
    QLabel* m_copiedLabel;
    QStackedWidget* m_box;
    QPlainTextEdit* m_editor;
    QWidget* m_hidden;
    QLabel* m_masked;
    QLabel* m_count;
    QWidget* m_failurePanel;
    QLabel* m_failure;
    QPushButton* m_retry;
    QPushButton* m_delete;
    DeleteConfirm* m_confirm;
};
