#pragma once

#include <QString>

// Where the vault keeps the text of each secret: one item per note in the user's keyring, named
// by the vault's service text and the note's account (its id in upper-case UUID text). Nothing
// else in the app touches the keyring, and nothing here ever writes a secret to a file or a log.
//
// The calls are synchronous and may wait on the keyring (or its unlock prompt) for as long as it
// takes; the vault makes them on a worker thread, one at a time (never two at once, though not
// always from the same thread), and never on the main thread. An implementation keeps no copy
// of any secret.
//
// abandon() is the one way out of such a wait, for a process that is quitting: the worker the
// exit waits for must not be held by a keyring that may never answer.
class Keychain {
public:
    // The service text every item of the vault carries; items of other services are never
    // read, changed or removed, whatever their account.
    static QString service() { return QStringLiteral("com.stelvarion.corvanto.securenotes"); }

    struct Read {
        enum class Status {
            Found,    // value holds the secret (possibly empty)
            NotFound, // the keyring answered and holds no item for the account
            Failed,   // no answer to trust: locked, refused, unreachable, or data that is not text
        };
        Status status = Status::NotFound;
        QString value;
        // Failed only: a one-line reason for the log and the user, never holding the secret.
        QString reason;
    };

    enum class RemoveStatus {
        Removed,  // the item was there and is gone
        NotFound, // there was no item: nothing to do
        Failed,   // the item may still be there: reason says why
    };

    virtual ~Keychain() = default;

    // Stores value (UTF-8) as the secret of the account's item, replacing the secret of an
    // existing item (which keeps its identity) or adding the item when there is none; saving
    // one account twice never makes two items. True when the keyring holds exactly value; on
    // false the previous secret is untouched and reason, when given, says why.
    [[nodiscard]] virtual bool save(const QString& account, const QString& value,
                                    QString* reason = nullptr) = 0;
    // The account's secret, or which of "no item" and "could not tell" it is.
    virtual Read read(const QString& account) = 0;
    // Removes the account's item. Removed and NotFound both leave no item behind.
    virtual RemoveStatus remove(const QString& account, QString* reason = nullptr) = 0;

    // Gives the keyring up for good, from any thread: a call waiting on it now returns as soon
    // as it can, and every later call returns at once, all as failures (Failed, or false) with
    // a reason. What a cancelled change did is not known: the keyring may have done it or not.
    virtual void abandon() = 0;
};
