// The vault's store when things go wrong: no secret reaches a file or the log, an unwritable
// index keeps changes in memory, and keyring calls run off the main thread in order and within a
// time limit.
#include "vault/SecureNotesTestSupport.h"

using cachefoldertest::FileSizeLimit;
using cachefoldertest::LogCapture;
using namespace vaulttest;

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
