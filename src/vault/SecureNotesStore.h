#pragma once

#include "assistant/CacheFolder.h"
#include "platform/Clock.h"
#include "platform/Keychain.h"
#include "vault/SecureNote.h"

#include <memory>
#include <optional>
#include <QList>
#include <QObject>

// The vault's list of secret notes. A note lives in two halves: its index entry (id, title, time
// of the last change) in "secure-notes-index.json" in the data folder, and its secret in one
// keyring item named by the note's id (Keychain). The list holds no secret, and no secret ever
// reaches a file or the log.
//
// Every change writes the keyring first and the index second: a keyring call that fails leaves
// the list and the file as they were and puts a sentence for the user in lastError (which only
// the screen clears; a later success leaves it). The whole index is rewritten after each change;
// a failed write is logged by the writer and the list in memory keeps the change.
//
// Loading happens once, in the constructor, newest first. A missing file is an empty vault; a
// file that cannot be read or decoded is an empty vault too, but it is set aside first (see
// CacheFolder), so the notes it named are not overwritten by the next change. When it cannot
// even be set aside, savesHeld is true and changes stay in memory only. The list is not checked
// against the keyring: a note whose item is missing is still listed, and items of notes the
// index no longer names stay in the keyring.
//
// Main thread only; the keyring calls are synchronous.
class SecureNotesStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<SecureNote> notes READ notes NOTIFY notesChanged)
    Q_PROPERTY(
        std::optional<QString> lastError READ lastError WRITE setLastError NOTIFY lastErrorChanged)
    Q_PROPERTY(bool savesHeld READ savesHeld NOTIFY savesHeldChanged)
public:
    static QString fileName() { return QStringLiteral("secure-notes-index.json"); }

    SecureNotesStore(CacheFolder folder, std::shared_ptr<Keychain> keychain,
                     std::shared_ptr<const Clock> clock, QObject* parent = nullptr);
    // The process-wide vault: the data folder, the session's Secret Service and the system
    // clock. Made on first use.
    static SecureNotesStore* shared();

    // In the order shown and written: newest first after loading, new notes in front, edited
    // notes where they were.
    const QList<SecureNote>& notes() const { return m_notes; }
    // The first note with this id.
    std::optional<SecureNote> note(const QUuid& id) const;

    std::optional<QString> lastError() const { return m_lastError; }
    void setLastError(std::optional<QString> error);
    bool savesHeld() const { return m_savesHeld; }

    // A new note with an empty secret, put first. An empty title becomes "Untitled"; any other
    // is kept as typed (spaces included). None when the keyring refused the empty secret.
    std::optional<SecureNote> create(const QString& title);
    // Stores the secret and then the title ("Untitled" for an empty one) and time of the first
    // note with this id, which keeps its place in the list. False without a keyring call for an
    // id that is not listed; false with lastError when the keyring refused, the note unchanged.
    bool save(const QUuid& id, const QString& title, const QString& body);
    // The note's secret as the keyring has it now; nothing is cached.
    Keychain::Read readSecret(const QUuid& id) const;
    // Removes the note's keyring item, then every listed note with this id, then rewrites the
    // index. A note without an item goes all the same; when the keyring could not remove the
    // item, the note stays listed, lastError says so, and false is returned, so the vault never
    // claims to have removed a secret it still holds.
    bool deleteNote(const QUuid& id);
    // Writes the current list as the index file; a failure is logged and nothing else changes.
    void saveIndex();

signals:
    void notesChanged();
    void lastErrorChanged();
    void savesHeldChanged(bool held);

private:
    void setSavesHeld(bool held);
    double now() const;

    CacheFolder m_folder;
    std::shared_ptr<Keychain> m_keychain;
    std::shared_ptr<const Clock> m_clock;
    QList<SecureNote> m_notes;
    std::optional<QString> m_lastError;
    bool m_savesHeld = false;
};
