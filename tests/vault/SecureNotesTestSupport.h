#pragma once

// A vault store over an in-memory keyring and a fresh data folder, with the notes and files the
// store tests start from.
#include "fakes/FakeClock.h"
#include "fakes/FakeKeychain.h"
#include "platform/CacheFolderTestSupport.h"
#include "platform/JsonFields.h"
#include "vault/SecureNotesStore.h"
#include "vault/SecureNotesText.h"

#include "support/TestSupport.h"
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QThread>
#include <QThreadPool>

namespace vaulttest {

inline const QUuid kA = QUuid::fromString(QStringLiteral("11111111-2222-4333-8444-555555555555"));
inline const QUuid kB = QUuid::fromString(QStringLiteral("AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE"));
inline const QUuid kC = QUuid::fromString(QStringLiteral("0F0F0F0F-1E1E-4D2D-8C3C-4B4B4B4B4B4B"));

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QByteArray note(const QUuid& id, const char* title, double updated) {
    return QJsonDocument(SecureNote{id, QString::fromUtf8(title), updated}.toJson())
        .toJson(QJsonDocument::Compact);
}

using Outcome = SecureNotesStore::Outcome;

// A store over a fresh data folder, optionally holding an index file first.
struct Vault {
    QString dir;
    std::shared_ptr<FakeKeychain> keychain = std::make_shared<FakeKeychain>();
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::unique_ptr<SecureNotesStore> store;

    explicit Vault(const char* name, std::optional<QByteArray> index = std::nullopt)
        : dir(testsupport::freshDir(QString::fromUtf8(name)) + QStringLiteral("/Pendrel")) {
        if (index) {
            QDir().mkpath(dir);
            QFile f(path());
            if (f.open(QIODevice::WriteOnly))
                f.write(*index);
        }
        reopen();
    }
    ~Vault() {
        // A test that held the keyring gives its worker back before the store goes.
        keychain->release();
        QThreadPool::globalInstance()->waitForDone();
    }
    void reopen() {
        store =
            std::make_unique<SecureNotesStore>(CacheFolder(AppSupportFolder(dir)), keychain, clock);
    }
    // Until every queued keyring job has ended and been applied.
    bool settle() {
        return testsupport::waitFor([&] { return !store->isBusy(); });
    }
    std::optional<SecureNote> create(const QString& title, Outcome* outcome = nullptr) {
        std::optional<SecureNote> made;
        store->create(title, store.get(), [&](Outcome o, const std::optional<SecureNote>& m) {
            made = m;
            if (outcome)
                *outcome = o;
        });
        EXPECT_TRUE(settle());
        return made;
    }
    std::optional<Outcome> save(const QUuid& id, const QString& title, const QString& body) {
        std::optional<Outcome> outcome;
        if (!store->save(id, title, body, store.get(), [&](Outcome o) { outcome = o; }))
            return std::nullopt;
        EXPECT_TRUE(settle());
        return outcome;
    }
    Keychain::Read read(const QUuid& id) {
        Keychain::Read read{Keychain::Read::Status::Failed, QString(), QStringLiteral("no answer")};
        store->readSecret(id, store.get(), [&](const Keychain::Read& r, bool) { read = r; });
        EXPECT_TRUE(settle());
        return read;
    }
    std::optional<Outcome> remove(const QUuid& id) {
        std::optional<Outcome> outcome;
        if (!store->deleteNote(id, store.get(), [&](Outcome o) { outcome = o; }))
            return std::nullopt;
        EXPECT_TRUE(settle());
        return outcome;
    }
    QString path() const { return dir + QStringLiteral("/secure-notes-index.json"); }
    QByteArray bytes() const { return readAll(path()); }
    QStringList titles() const {
        QStringList t;
        for (const SecureNote& n : store->notes())
            t << n.title;
        return t;
    }
};

} // namespace vaulttest
