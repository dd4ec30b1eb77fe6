#pragma once

#include "vault/SecureNote.h"
#include "vault/SecureNotesStore.h"

#include <optional>
#include <QPointer>
#include <QWidget>
#include <utility>

class DeleteConfirm;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
namespace QKLayout {
class Box;
}

// Edits one secure note: its title and its secret. The secret is read from the keyring once,
// when the editor is first shown, and is shown masked until the user reveals it (then it can be
// edited). The title and the secret are saved together through the store once typing pauses for
// kSavePauseMs, and at once when the editor goes (another note is selected, the screen closes);
// a pair equal to the last one handed to the store (or loaded) saves nothing, so opening a note
// writes nothing. The store's keyring calls run off the main thread, so the editor never waits:
// the line beside the footer says "Saving…" while a save is on its way and why the last one did
// not land (refused, no answer in time, or the list of notes could not be written); a save that
// did not land is tried again with the next change or when leaving. "Copy" puts the secret on
// the clipboard and shows "Copied" for two seconds. "Delete" asks for the typed code and then
// lets the store remove the keyring item and the note.
//
// Until the secret has been read, and when it could not be read (the keyring is locked,
// refuses, gives no answer in time or holds something that is not text), the editor says so in
// place of the secret and can change nothing (title included, since a save writes both), so an
// empty text never replaces a secret it could not see; "Try again" reads once more, and an
// answer that comes late is still taken. A missing item is an empty secret, saved with the
// first change.
//
// One editor per note: another note gets a new editor, which starts hidden.
class SecureNoteEditor : public QWidget {
    Q_OBJECT
public:
    SecureNoteEditor(SecureNotesStore& store, const SecureNote& note, QWidget* parent = nullptr);
    ~SecureNoteEditor() override;

    static constexpr int kSavePauseMs = 600;

    QUuid noteId() const { return m_note.id; }
    bool isLoaded() const { return m_loaded; }
    bool isRevealed() const { return m_revealed; }
    bool isReading() const { return m_readState == ReadState::Reading; }
    bool readFailed() const { return m_readState == ReadState::Failed; }
    // True while typing waits for its pause before it is saved.
    bool awaitsPause() const;
    bool showsCopied() const { return m_copied; }
    QString body() const { return m_body; }

    // Reads the note once (the first showing does it); later calls change nothing.
    void load();
    // Hands what is typed to the store now instead of after the pause.
    void saveNow();

    QPushButton* revealButton() const { return m_reveal; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* deleteButton() const { return m_delete; }
    DeleteConfirm* deleteConfirm() const { return m_confirm; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class ReadState { Reading, Read, Failed };

    QKLayout::Box buildSecretBar();
    QStackedWidget* buildWell();
    QKLayout::Box buildFooter();
    // What the title, the secret's actions, the pause and Delete do.
    void connectParts();
    void readSecret();
    void secretRead(quint64 ticket, const Keychain::Read& read, bool timedOut);
    void edited();
    void commit();
    void saved(quint64 ticket, const std::pair<QString, QString>& pair,
               SecureNotesStore::Outcome outcome);
    void showSaveState();
    void setRevealed(bool revealed);
    void copySecret();
    void setCopied(bool copied);
    void deleteNote();
    void showSecret();

    SecureNotesStore& m_store;
    const SecureNote m_note;
    QString m_title;
    QString m_body;
    // The title and secret last handed to the store (or read); none after a save that did not
    // land, so the next commit tries again.
    std::optional<std::pair<QString, QString>> m_handed;
    QString m_saveLine;
    quint64 m_readTicket = 0;
    quint64 m_saveTicket = 0;
    ReadState m_readState = ReadState::Reading;
    bool m_readTimedOut = false;
    bool m_revealed = false;
    bool m_loaded = false;
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
    QLabel* m_saveStatus;
    QTimer* m_pause;
    DeleteConfirm* m_confirm;
};
