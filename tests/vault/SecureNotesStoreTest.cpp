// The vault's store on an in-memory keyring: the index file's form, the keyring-first order of
// every change, what a refusal or an unwritable index leaves behind, keyring calls that run off
// the main thread in order and within a time limit, and that no secret reaches a file or the log.
#include "vault/SecureNotesStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeKeychain.h"
#include "platform/CacheFolderTestSupport.h"
#include "platform/JsonFields.h"
#include "vault/SecureNotesText.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QThread>
#include <QThreadPool>

using cachefoldertest::FileSizeLimit;
using cachefoldertest::LogCapture;

namespace {

const QUuid kA = QUuid::fromString(QStringLiteral("11111111-2222-4333-8444-555555555555"));
const QUuid kB = QUuid::fromString(QStringLiteral("AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE"));
const QUuid kC = QUuid::fromString(QStringLiteral("0F0F0F0F-1E1E-4D2D-8C3C-4B4B4B4B4B4B"));

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray note(const QUuid& id, const char* title, double updated) {
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

} // namespace

TEST(SecureNotesStore, LoadsNewestFirstKeepingTheFileOrderOfEqualDates) {
    const QByteArray index = "[" + note(kA, "old", 100) + "," + note(kB, "tie one", 500) + "," +
                             note(kC, "tie two", 500) + "]";
    Vault v("vault-order", index);
    EXPECT_EQ(v.titles(), (QStringList{"tie one", "tie two", "old"}));
    EXPECT_EQ(v.store->notes()[2].id, kA);
    EXPECT_TRUE(v.keychain->calls().isEmpty()) << "loading never asks the keyring";
    EXPECT_EQ(v.bytes(), index) << "loading writes nothing";
}

TEST(SecureNotesStore, TheReferenceIndexLoadsWithUnknownKeysIgnoredAndRewritesTheSame) {
    Vault v("vault-reference",
            readAll(testsupport::fixture(QStringLiteral("vault/index-reference.json"))));
    ASSERT_EQ(v.store->notes().size(), 3);
    EXPECT_EQ(v.titles(),
              (QStringList{"Home Wi-Fi", QStringLiteral("Router \u00e9 \U0001F511"), ""}));
    EXPECT_EQ(v.store->notes()[0].updated, 802345678.901234);
    EXPECT_EQ(v.store->notes()[2].account(), "0F0F0F0F-1E1E-4D2D-8C3C-4B4B4B4B4B4B")
        << "read in either case, written in upper case";
    EXPECT_EQ(v.store->notes()[2].updated, -3600.5);
    const QList<SecureNote> loaded = v.store->notes();
    v.store->saveIndex();
    ASSERT_TRUE(v.settle());
    EXPECT_FALSE(v.bytes().contains("extra"));
    EXPECT_TRUE(v.bytes().contains("\"0F0F0F0F-1E1E-4D2D-8C3C-4B4B4B4B4B4B\""));
    v.reopen();
    EXPECT_EQ(v.store->notes(), loaded);
}

TEST(SecureNotesStore, AnAbsentIndexIsAnEmptyVaultAndNothingIsCreatedUntilTheFirstNote) {
    Vault v("vault-absent");
    EXPECT_TRUE(v.store->notes().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(v.dir));
    Vault empty("vault-empty-array", QByteArray("[]"));
    EXPECT_TRUE(empty.store->notes().isEmpty());
}

TEST(SecureNotesStore, AnIndexThatDoesNotDecodeIsSetAsideBeforeAnythingIsWritten) {
    for (const char* bad :
         {"{}", "[{\"id\":\"nope\",\"title\":\"x\",\"updated\":1}]", "[{\"title\":\"x\"}]",
          "[{\"id\":\"11111111-2222-4333-8444-555555555555\",\"title\":3,\"updated\":1}]",
          "not json"}) {
        SCOPED_TRACE(bad);
        const QByteArray index = QByteArray(bad);
        Vault v("vault-bad", index);
        EXPECT_TRUE(v.store->notes().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(v.path())) << "moved aside at once";
        const QStringList aside = QDir(v.dir).entryList(
            {QStringLiteral("secure-notes-index.json.unreadable-*")}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(readAll(v.dir + "/" + aside[0]), index) << "kept byte for byte";
        ASSERT_TRUE(v.create(QStringLiteral("fresh")));
        EXPECT_EQ(readAll(v.dir + "/" + aside[0]), index) << "the next write leaves it alone";
    }
    Vault mixed("vault-mixed", "[" + note(kA, "good", 1) + ",{\"id\":1}]");
    EXPECT_TRUE(mixed.store->notes().isEmpty()) << "one bad record rejects the file";
}

TEST(SecureNotesStore, CreatePutsAnEmptySecretInTheKeyringThenTheNoteFirstInTheIndex) {
    const QByteArray index = "[" + note(kA, "later", 9e8) + "]";
    Vault v("vault-create", index);
    QSignalSpy changed(v.store.get(), &SecureNotesStore::notesChanged);
    const std::optional<SecureNote> made = v.create(QString());
    ASSERT_TRUE(made);
    EXPECT_EQ(made->title, "Untitled");
    EXPECT_EQ(made->updated, secondsSinceReferenceDate(v.clock->now()));
    EXPECT_EQ(v.keychain->items().value(made->account(), QStringLiteral("absent")), QString());
    EXPECT_EQ(made->account(), made->id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(v.titles(), (QStringList{"Untitled", "later"})) << "first, whatever the dates";
    EXPECT_EQ(changed.count(), 1);

    const QJsonArray saved = QJsonDocument::fromJson(v.bytes()).array();
    ASSERT_EQ(saved.size(), 2);
    const QJsonObject first = saved[0].toObject();
    EXPECT_EQ(first.keys(), (QStringList{"id", "title", "updated"})) << "exactly three keys";
    EXPECT_EQ(first["id"].toString(), made->account());
    EXPECT_EQ(first["updated"].toDouble(), made->updated);

    EXPECT_EQ(v.create(QStringLiteral("  "))->title, "  ") << "spaces are a title";
}

TEST(SecureNotesStore, ARefusedCreateChangesNeitherListNorFileAndSaysWhy) {
    Vault v("vault-create-refused", "[" + note(kA, "kept", 5) + "]");
    const QByteArray before = v.bytes();
    v.keychain->failSaves(QStringLiteral("collection is locked"));
    Outcome outcome = Outcome::Done;
    EXPECT_EQ(v.create(QStringLiteral("New secret"), &outcome), std::nullopt);
    EXPECT_EQ(outcome, Outcome::Refused);
    EXPECT_EQ(v.titles(), QStringList{"kept"});
    EXPECT_EQ(v.bytes(), before);
    EXPECT_EQ(v.store->lastError(), SecureNotesText::createRefused());
}

TEST(SecureNotesStore, SaveWritesTheKeyringFirstAndKeepsTheNotesPlaceUntilTheNextLaunch) {
    Vault v("vault-save", "[" + note(kA, "a", 300) + "," + note(kB, "b", 200) + "]");
    v.clock->advance(60);
    QStringList order;
    v.keychain->setAfterCall([&] { order << "keyring:" + QString::fromUtf8(v.bytes()); });
    ASSERT_EQ(v.save(kB, QString(), QStringLiteral("hunter2")), Outcome::Done);
    ASSERT_EQ(order.size(), 1);
    EXPECT_FALSE(order[0].contains("Untitled")) << "the index is written after the keyring";
    EXPECT_EQ(v.titles(), (QStringList{"a", "Untitled"})) << "empty title stored as Untitled";
    EXPECT_EQ(v.store->notes()[1].updated, secondsSinceReferenceDate(v.clock->now()));
    EXPECT_EQ(v.keychain->items().value(JsonFields::uuidText(kB)), "hunter2");

    v.reopen();
    EXPECT_EQ(v.titles(), (QStringList{"Untitled", "a"})) << "newest first after a relaunch";
}

TEST(SecureNotesStore, ARefusedSaveLeavesTitleTimeIndexAndPreviousSecret) {
    Vault v("vault-save-refused", "[" + note(kA, "a", 300) + "]");
    v.keychain->put(JsonFields::uuidText(kA), QStringLiteral("old"));
    const QByteArray before = v.bytes();
    v.keychain->failSaves(QStringLiteral("denied"));
    v.clock->advance(60);
    EXPECT_EQ(v.save(kA, QStringLiteral("renamed"), QStringLiteral("new")), Outcome::Refused);
    EXPECT_EQ(v.store->notes()[0], (SecureNote{kA, "a", 300}));
    EXPECT_EQ(v.bytes(), before);
    EXPECT_EQ(v.keychain->items().value(JsonFields::uuidText(kA)), "old");
    EXPECT_EQ(v.store->lastError(), SecureNotesText::saveRefused());

    // A later success does not clear the message; only the screen does.
    v.keychain->failSaves(std::nullopt);
    EXPECT_EQ(v.save(kA, QStringLiteral("renamed"), QStringLiteral("new")), Outcome::Done);
    EXPECT_EQ(v.store->lastError(), SecureNotesText::saveRefused());
}

TEST(SecureNotesStore, SaveOfAnUnlistedIdDoesNothingAtAll) {
    Vault v("vault-save-unknown", "[" + note(kA, "a", 300) + "]");
    EXPECT_FALSE(v.store->save(kC, QStringLiteral("x"), QStringLiteral("y")));
    EXPECT_FALSE(v.store->isBusy()) << "nothing queued";
    EXPECT_TRUE(v.keychain->calls().isEmpty());
    EXPECT_EQ(v.store->lastError(), std::nullopt);
}

TEST(SecureNotesStore, ReadTellsAValueFromNoItemFromAFailure) {
    Vault v("vault-read", "[" + note(kA, "a", 1) + "," + note(kB, "b", 1) + "]");
    v.keychain->put(JsonFields::uuidText(kA), QString());
    EXPECT_EQ(v.read(kA).status, Keychain::Read::Status::Found) << "empty is a value";
    EXPECT_EQ(v.read(kB).status, Keychain::Read::Status::NotFound);
    v.keychain->failReads(QStringLiteral("locked"));
    EXPECT_EQ(v.read(kA).status, Keychain::Read::Status::Failed);
}

TEST(SecureNotesStore, DeleteRemovesTheItemBeforeTheNoteAndTheIndexForgetsIt) {
    Vault v("vault-delete",
            "[" + note(kA, "a", 3) + "," + note(kB, "b", 2) + "," + note(kA, "a again", 1) + "]");
    v.keychain->put(JsonFields::uuidText(kA), QStringLiteral("s3cret"));
    bool itemGoneFirst = false;
    QObject::connect(v.store.get(), &SecureNotesStore::notesChanged, [&] {
        itemGoneFirst = !v.keychain->items().contains(JsonFields::uuidText(kA));
    });
    EXPECT_EQ(v.remove(kA), Outcome::Done);
    EXPECT_TRUE(itemGoneFirst);
    EXPECT_EQ(v.titles(), QStringList{"b"}) << "every note with that id";
    EXPECT_FALSE(v.bytes().contains(JsonFields::uuidText(kA).toUtf8()));

    EXPECT_EQ(v.remove(kB), Outcome::Done) << "a note whose item is already gone still goes";
    EXPECT_TRUE(v.store->notes().isEmpty());
    EXPECT_EQ(v.bytes(), "[]");
}

TEST(SecureNotesStore, ADeleteTheKeyringRefusesKeepsTheNoteListedAndSaysSo) {
    Vault v("vault-delete-refused", "[" + note(kA, "a", 3) + "]");
    v.keychain->put(JsonFields::uuidText(kA), QStringLiteral("s3cret"));
    const QByteArray before = v.bytes();
    v.keychain->failRemoves(QStringLiteral("prompt dismissed"));
    EXPECT_EQ(v.remove(kA), Outcome::Refused);
    EXPECT_EQ(v.titles(), QStringList{"a"});
    EXPECT_EQ(v.bytes(), before);
    EXPECT_EQ(v.store->lastError(), SecureNotesText::deleteRefused());
}

TEST(SecureNotesStore, NoSecretEverReachesTheIndexOrTheLog) {
    LogCapture log;
    Vault v("vault-no-leak");
    const QString secret = QStringLiteral("zq-UNIQUE-secret-7731");
    const std::optional<SecureNote> made = v.create(QStringLiteral("API"));
    ASSERT_TRUE(made);
    ASSERT_EQ(v.save(made->id, QStringLiteral("API"), secret), Outcome::Done);
    v.keychain->failSaves(QStringLiteral("refused"));
    v.save(made->id, QStringLiteral("API"), secret + QStringLiteral("-2"));
    v.keychain->failReads(QStringLiteral("locked"));
    v.read(made->id);
    v.keychain->failSaves(std::nullopt);
    {
        FileSizeLimit limit(8);
        v.save(made->id, QStringLiteral("API"), secret + QStringLiteral("-3"));
    }
    EXPECT_FALSE(v.bytes().contains("zq-UNIQUE")) << v.bytes().constData();
    for (const QString& line : LogCapture::lines())
        EXPECT_FALSE(line.contains(QStringLiteral("zq-UNIQUE"))) << qPrintable(line);
    for (const QString& name : QDir(v.dir).entryList(QDir::Files))
        EXPECT_FALSE(readAll(v.dir + "/" + name).contains("zq-UNIQUE")) << qPrintable(name);
}

TEST(SecureNotesStore, AFailedIndexWriteIsLoggedAndTheChangeStaysInMemory) {
    Vault v("vault-write-fails", "[" + note(kA, "a", 3) + "]");
    const QByteArray before = v.bytes();
    LogCapture log;
    {
        FileSizeLimit limit(8);
        ASSERT_EQ(v.save(kA, QStringLiteral("renamed"), QStringLiteral("x")), Outcome::IndexFailed);
    }
    EXPECT_EQ(v.titles(), QStringList{"renamed"});
    EXPECT_EQ(v.bytes(), before) << "the write is atomic";
    EXPECT_EQ(v.store->lastError(), std::nullopt) << "a file failure is not the keyring's";
    ASSERT_FALSE(LogCapture::lines().isEmpty());
    EXPECT_TRUE(LogCapture::lines().last().startsWith(
        QStringLiteral("Pendrel cache write failed for secure-notes-index.json: ")));
    // The entry on disk still names the note's item, which now holds the new secret.
    EXPECT_EQ(v.keychain->items().value(JsonFields::uuidText(kA)), "x");
    EXPECT_TRUE(v.store->isIndexed(kA));
    ASSERT_TRUE(v.store->indexFailure());
    EXPECT_FALSE(v.store->indexFailure()->isEmpty());

    // The next write that works carries the title kept in memory, and clears the failure.
    v.store->saveIndex();
    ASSERT_TRUE(v.settle());
    EXPECT_EQ(v.store->indexFailure(), std::nullopt);
    v.reopen();
    EXPECT_EQ(v.titles(), QStringList{"renamed"});
}

TEST(SecureNotesStore, ANewNoteTheIndexCannotNameLeavesNoSecretAndStaysInMemoryOnly) {
    Vault v("vault-create-unindexed", "[" + note(kA, "kept", 5) + "]");
    const QByteArray before = v.bytes();
    std::optional<SecureNote> made;
    Outcome outcome = Outcome::Done;
    {
        FileSizeLimit limit(8);
        made = v.create(QStringLiteral("New secret"), &outcome);
        ASSERT_TRUE(made) << "listed, in memory";
        EXPECT_EQ(outcome, Outcome::IndexFailed);
        EXPECT_EQ(v.keychain->calls(),
                  (QStringList{"save " + made->account(), "remove " + made->account()}))
            << "the secret went in first and was taken out again";
        EXPECT_FALSE(v.keychain->items().contains(made->account()));
        EXPECT_FALSE(v.store->isIndexed(made->id));
        EXPECT_TRUE(v.store->indexFailure());

        // Typing into it while the disk is still full keeps nothing either.
        EXPECT_EQ(v.save(made->id, QStringLiteral("API"), QStringLiteral("sk-1")),
                  Outcome::IndexFailed);
        EXPECT_FALSE(v.keychain->items().contains(made->account()));
        EXPECT_EQ(v.titles(), (QStringList{"API", "kept"})) << "the change stays in memory";
    }
    EXPECT_EQ(v.bytes(), before);
    EXPECT_EQ(v.store->lastError(), std::nullopt);

    // Once the list can be written, the next save keeps both halves.
    EXPECT_EQ(v.save(made->id, QStringLiteral("API"), QStringLiteral("sk-1")), Outcome::Done);
    EXPECT_TRUE(v.store->isIndexed(made->id));
    EXPECT_EQ(v.store->indexFailure(), std::nullopt);
    v.reopen();
    EXPECT_EQ(v.titles(), (QStringList{"API", "kept"}));
    EXPECT_EQ(v.read(made->id).value, "sk-1");
}

TEST(SecureNotesStore, ANoteThatLivesOnlyInMemoryIsNeverWrittenIntoTheIndexByAnother) {
    Vault v("vault-unindexed-other", "[" + note(kA, "a", 5) + "]");
    std::optional<SecureNote> made;
    {
        FileSizeLimit limit(8);
        made = v.create(QStringLiteral("in memory"));
    }
    ASSERT_TRUE(made);
    EXPECT_EQ(v.save(kA, QStringLiteral("a2"), QStringLiteral("s")), Outcome::Done);
    EXPECT_FALSE(v.bytes().contains(made->account().toUtf8())) << "it has no secret to reach";
    EXPECT_EQ(v.titles(), (QStringList{"in memory", "a2"}));
}

TEST(SecureNotesStore, ADeleteKeepsTheNoteInTheIndexUntilTheKeyringHasRemovedTheItem) {
    Vault v("vault-delete-waits", "[" + note(kA, "a", 3) + "," + note(kB, "b", 2) + "]");
    const QString account = JsonFields::uuidText(kA);
    v.keychain->put(account, QStringLiteral("s3cret"));
    const QByteArray before = v.bytes();
    v.keychain->hold();
    std::optional<Outcome> deleted;
    ASSERT_TRUE(v.store->deleteNote(kA, v.store.get(), [&](Outcome o) { deleted = o; }));
    ASSERT_TRUE(testsupport::waitFor([&] { return v.keychain->waiting() == 1; }));
    // A crash now must not leave the secret without its note.
    EXPECT_EQ(v.bytes(), before) << "the index was written before the keyring answered";
    v.keychain->release();
    ASSERT_TRUE(v.settle());
    EXPECT_EQ(deleted, Outcome::Done);
    EXPECT_FALSE(v.bytes().contains(account.toUtf8()));
    EXPECT_TRUE(v.bytes().contains(JsonFields::uuidText(kB).toUtf8()));
}

TEST(SecureNotesStore, ADeleteTheIndexCannotRecordStillRemovesTheSecretAndSaysTheListLags) {
    Vault v("vault-delete-unindexed", "[" + note(kA, "a", 3) + "]");
    v.keychain->put(JsonFields::uuidText(kA), QStringLiteral("s3cret"));
    const QByteArray before = v.bytes();
    {
        FileSizeLimit limit(1);
        EXPECT_EQ(v.remove(kA), Outcome::IndexFailed);
    }
    EXPECT_TRUE(v.keychain->items().isEmpty());
    EXPECT_TRUE(v.titles().isEmpty());
    EXPECT_EQ(v.bytes(), before) << "the file names the note until a write works";
    EXPECT_EQ(v.store->lastError(), SecureNotesText::deleteUnsaved());
    EXPECT_TRUE(v.store->indexFailure().has_value());
    v.store->saveIndex();
    ASSERT_TRUE(v.settle());
    EXPECT_EQ(v.bytes(), "[]");
}

TEST(SecureNotesStore, KeyringCallsRunOffTheMainThreadOneAtATimeInTheOrderAsked) {
    Vault v("vault-order-of-saves", "[" + note(kA, "a", 3) + "]");
    const QString account = JsonFields::uuidText(kA);
    QThread* keyringThread = nullptr;
    v.keychain->setAfterCall([&] { keyringThread = QThread::currentThread(); });
    v.keychain->hold();
    for (const char* body : {"one", "two", "three"})
        ASSERT_TRUE(v.store->save(kA, QString::fromUtf8(body), QString::fromUtf8(body)));
    ASSERT_TRUE(testsupport::waitFor([&] { return v.keychain->waiting() == 1; }));
    EXPECT_EQ(v.keychain->calls(), QStringList{"save " + account})
        << "the later saves wait their turn instead of running beside the first";
    EXPECT_TRUE(v.store->isBusy());
    v.keychain->release();
    ASSERT_TRUE(v.settle());
    EXPECT_EQ(v.keychain->calls(), QStringList(3, "save " + account));
    EXPECT_EQ(v.keychain->items().value(account), "three") << "the last save stands";
    EXPECT_EQ(v.titles(), QStringList{"three"});
    EXPECT_NE(keyringThread, nullptr);
    EXPECT_NE(keyringThread, QThread::currentThread());
}

TEST(SecureNotesStore, AKeyringThatDoesNotAnswerTimesOutAndWhatWaitsBehindItNeverRuns) {
    Vault v("vault-time-out", "[" + note(kA, "a", 3) + "]");
    const QString account = JsonFields::uuidText(kA);
    v.keychain->put(account, QStringLiteral("old"));
    v.store->setTimeLimit(std::chrono::milliseconds(100));
    v.keychain->hold();
    QList<std::pair<Keychain::Read::Status, bool>> reads;
    v.store->readSecret(kA, v.store.get(), [&](const Keychain::Read& r, bool timedOut) {
        reads.append({r.status, timedOut});
    });
    std::optional<Outcome> saved;
    ASSERT_TRUE(v.store->save(kA, QStringLiteral("b"), QStringLiteral("new"), v.store.get(),
                              [&](Outcome o) { saved = o; }));
    std::optional<Outcome> deleted;
    ASSERT_TRUE(v.store->deleteNote(kA, v.store.get(), [&](Outcome o) { deleted = o; }));
    ASSERT_TRUE(testsupport::waitFor([&] { return saved && deleted && !reads.isEmpty(); }, 2000));
    EXPECT_EQ(reads.first(), std::pair(Keychain::Read::Status::Failed, true));
    EXPECT_EQ(*saved, Outcome::TimedOut);
    EXPECT_EQ(*deleted, Outcome::TimedOut);
    EXPECT_EQ(v.store->lastError(), SecureNotesText::deleteTimedOut());

    // The read that was already waiting on the keyring answers late, and only it ran.
    v.keychain->release();
    ASSERT_TRUE(v.settle());
    ASSERT_EQ(reads.size(), 2);
    EXPECT_EQ(reads[1], std::pair(Keychain::Read::Status::Found, false));
    EXPECT_EQ(v.keychain->calls(), QStringList{"read " + account});
    EXPECT_EQ(v.keychain->items().value(account), "old");
    EXPECT_EQ(v.titles(), QStringList{"a"});
}

TEST(SecureNotesStore, ACreateThatTimesOutSaysSoAndAppearsIfTheKeyringAnswersLate) {
    Vault v("vault-create-time-out");
    v.store->setTimeLimit(std::chrono::milliseconds(100));
    v.keychain->hold();
    std::optional<Outcome> outcome;
    v.store->create(QStringLiteral("late"), v.store.get(),
                    [&](Outcome o, const std::optional<SecureNote>&) { outcome = o; });
    ASSERT_TRUE(testsupport::waitFor([&] { return outcome.has_value(); }, 2000));
    EXPECT_EQ(*outcome, Outcome::TimedOut);
    EXPECT_EQ(v.store->lastError(), SecureNotesText::createTimedOut());
    EXPECT_TRUE(v.store->notes().isEmpty());
    v.keychain->release();
    ASSERT_TRUE(v.settle());
    // The keyring did keep it, so the list and the file say so: no secret without an entry.
    EXPECT_EQ(v.titles(), QStringList{"late"});
    EXPECT_TRUE(v.store->isIndexed(v.store->notes()[0].id));
    EXPECT_TRUE(v.bytes().contains("late"));
}

TEST(SecureNotesStore, QuittingRunsTheLastJobsWithoutTheEventLoopAndLetsGoOfAKeyringThatHangs) {
    const QString account = JsonFields::uuidText(kA);
    {
        // A keyring that answers: the save an editor asked as it closed still lands, and the
        // index with it, although no event loop runs any more.
        Vault v("vault-quit-answers", "[" + note(kA, "a", 3) + "]");
        v.keychain->hold();
        v.store->readSecret(kA, v.store.get(), [](const Keychain::Read&, bool) {});
        ASSERT_TRUE(testsupport::waitFor([&] { return v.keychain->waiting() == 1; }));
        std::optional<Outcome> saved;
        ASSERT_TRUE(v.store->save(kA, QStringLiteral("b"), QStringLiteral("typed"), v.store.get(),
                                  [&](Outcome o) { saved = o; }));
        v.keychain->release();
        EXPECT_EQ(v.store->finishWithin(std::chrono::seconds(60)), 0);
        EXPECT_EQ(saved, Outcome::Done);
        EXPECT_EQ(v.keychain->items().value(account), "typed");
        EXPECT_TRUE(v.bytes().contains("\"b\""));
    }
    {
        // A keyring that never answers (a prompt left open): the waiting call is let go, so the
        // exit, which waits for the pool, is not held; what waited behind it never runs.
        Vault v("vault-quit-hangs", "[" + note(kA, "a", 3) + "]");
        v.keychain->hold();
        v.store->readSecret(kA, v.store.get(), [](const Keychain::Read&, bool) {});
        ASSERT_TRUE(testsupport::waitFor([&] { return v.keychain->waiting() == 1; }));
        // The exit waits for the shared pool: a keyring call must not be holding one of its
        // threads, whether or not the keyring ever lets go.
        EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(200))
            << "a waiting keyring call holds a thread of the shared pool";
        ASSERT_TRUE(v.store->save(kA, QStringLiteral("b"), QStringLiteral("typed")));
        EXPECT_EQ(v.store->finishWithin(std::chrono::milliseconds(50)), 2);
        EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(10000))
            << "a keyring call still holds a worker";
        EXPECT_EQ(v.keychain->calls(), QStringList{"read " + account});
        EXPECT_TRUE(v.keychain->items().isEmpty());
        EXPECT_FALSE(v.keychain->save(account, QStringLiteral("later")))
            << "nothing reaches the keyring after quitting";
    }
}
