#pragma once

#include <QObject>

// The vault's index of secret notes; the bodies live in the keyring.
// One process-wide instance; its work arrives with the screens that use it.
class SecureNotesStore : public QObject {
    Q_OBJECT
public:
    explicit SecureNotesStore(QObject* parent = nullptr) : QObject(parent) {}
    static SecureNotesStore* shared() {
        static SecureNotesStore* instance = new SecureNotesStore;
        return instance;
    }
};
