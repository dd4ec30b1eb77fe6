// The vault's store on an in-memory keyring: the index file's form and the keyring-first order
// of every change, with what a refusal leaves behind.
#include "vault/SecureNotesTestSupport.h"

using cachefoldertest::FileSizeLimit;
using cachefoldertest::LogCapture;
using namespace vaulttest;

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
