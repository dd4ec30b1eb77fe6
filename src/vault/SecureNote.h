#pragma once

#include <optional>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>

// One entry of the vault's index: which secret there is and what it is called, never what it
// says. The secret itself is the keyring item whose account is account().
struct SecureNote {
    QUuid id;
    QString title;
    // Seconds since 1 January 2001 00:00:00 UTC: creation or the last successful save. Kept as
    // read, so loading and saving the index never moves a date.
    double updated = 0;

    QDateTime updatedDateTime() const;
    // The keyring account of the note's secret: the id's 36-character upper-case text.
    QString account() const;

    // Exactly the keys id, title and updated.
    QJsonObject toJson() const;
    // Keys in any order, unknown ones ignored. Nothing when one of the three is missing or of
    // another JSON type, the id is not a UUID or the date is not a finite number.
    static std::optional<SecureNote> fromJson(const QJsonObject& object);

    friend bool operator==(const SecureNote&, const SecureNote&) = default;
};

Q_DECLARE_METATYPE(SecureNote)

namespace SecureNotes {

// The index file's bytes as the store loads them: every note, newest first (equal dates keep
// their order in the file), or nothing when the file does not decode as a whole.
std::optional<QList<SecureNote>> decodeIndex(const QByteArray& bytes);

} // namespace SecureNotes
