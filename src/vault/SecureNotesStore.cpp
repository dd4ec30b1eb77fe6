#include "vault/SecureNotesStore.h"

#include "assistant/JsonFields.h"
#include "platform/AppSupportFolder.h"
#include "platform/SecretServiceKeychain.h"
#include "vault/SecureNotesText.h"

#include <algorithm>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcVault, "pendrel.vault")
}

SecureNotesStore::SecureNotesStore(CacheFolder folder, std::shared_ptr<Keychain> keychain,
                                   std::shared_ptr<const Clock> clock, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_keychain(std::move(keychain)),
      m_clock(std::move(clock)) {
    const auto load = m_folder.loadJSON<QList<SecureNote>>(fileName(), &SecureNotes::decodeIndex);
    if (load.value)
        m_notes = *load.value;
    if (load.outcome == CacheFolder::LoadOutcome::MovedAside)
        qCWarning(lcVault) << "the vault index could not be read; it was set aside as"
                           << load.asidePath;
    m_savesHeld = load.outcome == CacheFolder::LoadOutcome::Held;
}

SecureNotesStore* SecureNotesStore::shared() {
    static SecureNotesStore* const instance =
        new SecureNotesStore(CacheFolder::standard(), std::make_shared<SecretServiceKeychain>(),
                             std::make_shared<SystemClock>());
    return instance;
}

std::optional<SecureNote> SecureNotesStore::note(const QUuid& id) const {
    const auto it = std::find_if(m_notes.cbegin(), m_notes.cend(),
                                 [&](const SecureNote& n) { return n.id == id; });
    if (it == m_notes.cend())
        return std::nullopt;
    return *it;
}

void SecureNotesStore::setLastError(std::optional<QString> error) {
    m_lastError = std::move(error);
    emit lastErrorChanged();
}

void SecureNotesStore::setSavesHeld(bool held) {
    if (held == m_savesHeld)
        return;
    m_savesHeld = held;
    emit savesHeldChanged(held);
}

double SecureNotesStore::now() const {
    return secondsSinceReferenceDate(m_clock->now());
}

std::optional<SecureNote> SecureNotesStore::create(const QString& title) {
    SecureNote made{QUuid::createUuid(), title.isEmpty() ? SecureNotesText::untitled() : title,
                    now()};
    QString reason;
    if (!m_keychain->save(made.account(), QString(), &reason)) {
        // The reason goes to the log only: the user's sentence is the fixed one.
        qCWarning(lcVault) << "the keyring refused a new secret:" << reason;
        setLastError(SecureNotesText::createRefused());
        return std::nullopt;
    }
    m_notes.prepend(made);
    emit notesChanged();
    saveIndex();
    return made;
}

bool SecureNotesStore::save(const QUuid& id, const QString& title, const QString& body) {
    const auto it = std::find_if(m_notes.begin(), m_notes.end(),
                                 [&](const SecureNote& n) { return n.id == id; });
    if (it == m_notes.end())
        return false;
    QString reason;
    if (!m_keychain->save(JsonFields::uuidText(id), body, &reason)) {
        qCWarning(lcVault) << "the keyring refused a secret:" << reason;
        setLastError(SecureNotesText::saveRefused());
        return false;
    }
    it->title = title.isEmpty() ? SecureNotesText::untitled() : title;
    it->updated = now();
    emit notesChanged();
    saveIndex();
    return true;
}

Keychain::Read SecureNotesStore::readSecret(const QUuid& id) const {
    Keychain::Read read = m_keychain->read(JsonFields::uuidText(id));
    if (read.status == Keychain::Read::Status::Failed)
        qCWarning(lcVault) << "the keyring could not give a secret:" << read.reason;
    return read;
}

bool SecureNotesStore::deleteNote(const QUuid& id) {
    QString reason;
    if (m_keychain->remove(JsonFields::uuidText(id), &reason) == Keychain::RemoveStatus::Failed) {
        qCWarning(lcVault) << "the keyring could not remove a secret:" << reason;
        setLastError(SecureNotesText::deleteRefused());
        return false;
    }
    if (m_notes.removeIf([&](const SecureNote& n) { return n.id == id; }) > 0)
        emit notesChanged();
    saveIndex();
    return true;
}

void SecureNotesStore::saveIndex() {
    // The writer logs a failure with the file name; the list in memory stays ahead of the file.
    m_folder.writeJSON(m_notes, fileName());
    setSavesHeld(m_folder.isHeld(fileName()));
}
