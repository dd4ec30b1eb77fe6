// The organizer's runs and undos as the user sees them: files back exactly, what changed
// meanwhile left alone, thirty days of history, one run at a time, its progress and its state.
#include "fakes/FakeClock.h"
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerJournals.h"
#include "storage/OrganizerTestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QSemaphore>

using namespace organizertest;
using Kind = FolderOrganizer::State::Kind;

TEST(OrganizerRun, RoundTripRestoresEveryFileExactly) {
    const QString home = testsupport::freshDir("roundtrip");
    const HomeLayout layout = layoutFor(home);
    const QStringList exts = {"png",  "JPG", "mov",    "mp3", "pdf",
                              "docx", "zip", "tar.gz", "bin", ""};
    for (int i = 0; i < 40; ++i) {
        const QString root = i % 2 ? layout.downloadsDir() : layout.desktopDir();
        const QString ext = exts.at(i % exts.size());
        makeFile(root + QStringLiteral("/file%1").arg(i % 7) + (ext.isEmpty() ? "" : "." + ext) +
                     (i >= 20 ? QStringLiteral("-%1").arg(i) : QString()),
                 QByteArray(100 * i + 1, char('a' + i % 26)),
                 QDateTime::currentDateTimeUtc().addDays(-30 - i));
    }
    makeFile(layout.downloadsDir() + "/Images/file1.png", "already here");
    const auto before = snapshot(home);

    FolderOrganizer organizer(layout);
    planNow(organizer);
    const int planned = int(organizer.plan()->moves.size());
    ASSERT_GT(planned, 30);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(planned, 0));
    ASSERT_EQ(organizer.history().size(), 1);
    EXPECT_NE(snapshot(home), before);
    EXPECT_EQ(readAll(layout.downloadsDir() + "/Images/file1.png"), "already here");

    readHistory(organizer);
    ASSERT_EQ(organizer.history().size(), 1);
    const OrganizerJournal run = organizer.history().first();
    EXPECT_TRUE(run.finishedAt.has_value());
    ASSERT_TRUE(organizer.undo(run));
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(planned, 0));
    EXPECT_EQ(snapshot(home), before);
    ASSERT_TRUE(organizer.history().first().undoneAt.has_value());
    EXPECT_FALSE(organizer.undo(organizer.history().first())); // once only

    readHistory(organizer);
    EXPECT_TRUE(organizer.history().isEmpty());
    EXPECT_TRUE(QFile::exists(organizer.journalDirectory() + "/" + run.id + ".json"));
}

TEST(OrganizerRun, TheHistoryIsReadAfterTheRunsStartedBeforeAndPublishedLater) {
    const auto [home, layout, dl] = freshHome("history-later");
    makeFile(dl + "/a.png", "a");
    makeFile(dl + "/b.pdf", "b");
    const auto go = std::make_shared<QSemaphore>();
    FolderOrganizer::Deps options;
    options.beforeStep = [go](int) { go->acquire(); };
    FolderOrganizer organizer(layout, options);
    const auto release = qScopeGuard([go] { go->release(100); });
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    QList<qsizetype> published; // the moves of the run each publication holds
    QObject::connect(&organizer, &FolderOrganizer::historyChanged, [&] {
        published << (organizer.history().isEmpty() ? -1
                                                    : organizer.history().first().completed.size());
    });
    // Asked for while the run holds its first file: the call returns with nothing read.
    organizer.loadHistory();
    EXPECT_TRUE(organizer.history().isEmpty());
    EXPECT_TRUE(published.isEmpty());
    go->release(2);
    ASSERT_TRUE(untilSettled(organizer));
    organizer.waitForWork();
    ASSERT_TRUE(testsupport::waitFor([&] { return published.size() == 2; }));
    // The run's own end first, then the folder as the finished run left it.
    EXPECT_EQ(published, QList<qsizetype>({2, 2}));
}

TEST(OrganizerRun, UndoKeepsWhatTheUserAddedAndReportsMissingFiles) {
    const auto [home, layout, dl] = freshHome("user-file");
    makeFile(dl + "/a.png", "a");
    makeFile(dl + "/b.pdf", "b");
    makeFile(dl + "/c.mov", "c");
    FolderOrganizer organizer(layout);
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));

    makeFile(dl + "/Images/mine.png", "user's own");
    ASSERT_TRUE(QFile::rename(dl + "/Documents/b.pdf", home + "/b.pdf")); // taken out by hand
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(2, 1));
    EXPECT_EQ(readAll(dl + "/a.png"), "a");
    EXPECT_EQ(readAll(dl + "/c.mov"), "c");
    EXPECT_EQ(readAll(dl + "/Images/mine.png"), "user's own");
    EXPECT_FALSE(QFileInfo::exists(dl + "/Video")); // left empty, so removed
    EXPECT_EQ(organizer.history().first().failures,
              QStringList({dl + "/Documents/b.pdf: already moved"}));
}

TEST(OrganizerRun, RefusesWhatChangedSincePlanning) {
    const auto [home, layout, dl] = freshHome("changed");
    makeFile(dl + "/taken.txt", "mine");
    makeFile(dl + "/gone.txt", "g");
    FolderOrganizer organizer(layout);
    planNow(organizer);
    makeFile(dl + "/Documents/taken.txt", "arrived later");
    QFile::remove(dl + "/gone.txt");
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(0, 2));
    EXPECT_EQ(readAll(dl + "/Documents/taken.txt"), "arrived later");
    EXPECT_EQ(readAll(dl + "/taken.txt"), "mine");
    QStringList failures = organizer.history().first().failures;
    failures.sort();
    EXPECT_EQ(failures, QStringList({"gone.txt: Already gone.", "taken.txt: File exists"}));
    readHistory(organizer);
    ASSERT_EQ(organizer.history().size(), 1); // listed, but nothing to undo
    EXPECT_TRUE(organizer.history().first().completed.isEmpty());
}

TEST(OrganizerRun, HistoryKeepsThirtyDaysOfRunsNotUndone) {
    const QString home = testsupport::freshDir("history");
    const HomeLayout layout = layoutFor(home);
    auto clock = std::make_shared<FakeClock>();
    const double now = secondsSinceReferenceDate(clock->now());
    const OrganizerJournals store(layout);

    OrganizerJournal recent = journalFor(home, now - 29 * 86400);
    OrganizerJournal newest = journalFor(home, now - 60);
    newest.completed = {OrganizerCompletedMove{home + "/a", home + "/b", {}}};
    OrganizerJournal old = journalFor(home, now - 31 * 86400);
    OrganizerJournal undone = journalFor(home, now - 60);
    undone.undoneAt = now - 30;
    for (const OrganizerJournal& j : {recent, newest, old, undone})
        ASSERT_TRUE(store.save(j));
    // Without "failures" a journal is unreadable; without "finishedAt" it is an unfinished run.
    QJsonObject noFailures = journalFor(home, now).toJson();
    noFailures.remove("failures");
    writeJournal(layout, noFailures.value("id").toString() + ".json",
                 QJsonDocument(noFailures).toJson());
    OrganizerJournal unfinished = journalFor(home, now - 120);
    writeJournal(layout, unfinished.id + ".json", OrganizerJournals::encode(unfinished));
    QJsonObject fractional = journalFor(home, now).toJson();
    fractional.insert("planned", QJsonArray({QJsonObject{{"id", "a"},
                                                         {"sourcePath", "a"},
                                                         {"destinationPath", "b"},
                                                         {"displayName", "a"},
                                                         {"sizeBytes", 1.5},
                                                         {"reason", ""},
                                                         {"isEnabled", true}}}));
    writeJournal(layout, fractional.value("id").toString() + ".json",
                 QJsonDocument(fractional).toJson());
    writeJournal(layout, "not-json.json", "{");
    OrganizerJournal upperExtension = journalFor(home, now);
    writeJournal(layout, upperExtension.id + ".JSON", OrganizerJournals::encode(upperExtension));
    // A run of another home is not offered (each of its steps would be refused), nor touched.
    OrganizerJournal foreign = journalFor(home + "/other", now - 60);
    foreign.completed = newest.completed;
    writeJournal(layout, foreign.id + ".json", OrganizerJournals::encode(foreign));
    // A log line cut short is an append that never finished; a bad complete line spoils the run.
    writeJournal(layout, recent.id + ".log", "{\"failure\":\"x.txt: Already gone.\"}\n{\"fail");
    OrganizerJournal badLog = journalFor(home, now - 60);
    writeJournal(layout, badLog.id + ".json", OrganizerJournals::encode(badLog));
    writeJournal(layout, badLog.id + ".log", "{\"what\":1}\n");
    const auto files = [&] {
        QMap<QString, QByteArray> out;
        for (const QFileInfo& f : QDir(store.directory()).entryInfoList(QDir::Files))
            out.insert(f.fileName(), readAll(f.filePath()));
        return out;
    };
    const auto stored = files();

    FolderOrganizer::Deps deps;
    deps.clock = clock;
    FolderOrganizer organizer(layout, deps);
    readHistory(organizer);
    QStringList ids;
    for (const OrganizerJournal& j : organizer.history())
        ids << j.id;
    EXPECT_EQ(ids, QStringList({newest.id, unfinished.id, recent.id}));
    EXPECT_EQ(organizer.history().first(), newest); // read back as written
    EXPECT_EQ(organizer.history().last().failures, QStringList({"x.txt: Already gone."}));
    organizer.waitForWork();
    EXPECT_EQ(files(), stored); // nothing deleted or changed
}

TEST(OrganizerRun, RefusesASecondRunWhileOneIsInProgress) {
    const QString home = testsupport::freshDir("busy");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/a.txt");
    makeFile(layout.downloadsDir() + "/b.txt");
    QSemaphore go;
    FolderOrganizer::Deps options;
    options.beforeStep = [&go](int) { go.acquire(); };
    // Every step is far enough from the last to be published.
    options.steadyMs = [t = qint64(0)]() mutable {
        return t += FolderOrganizer::kProgressIntervalMs;
    };
    FolderOrganizer organizer(layout, options);
    // A failed assertion must not leave the run waiting while the organizer goes.
    const auto release = qScopeGuard([&go] { go.release(100); });
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::running(0, 2));
    EXPECT_FALSE(organizer.applySelected());
    EXPECT_FALSE(organizer.undo(journalFor(home)));
    go.release(1);
    ASSERT_TRUE(testsupport::waitFor([&] { return organizer.state().done == 1; }));
    EXPECT_FALSE(organizer.applySelected());
    go.release(1);
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(2, 0));
}

// Thousands of quick moves must not flood the screen: a run publishes its count at most every
// 100 ms of the clock it is given, then its end.
TEST(OrganizerRun, ProgressIsPublishedAtMostTenTimesASecond) {
    const QString home = testsupport::freshDir("pace");
    const HomeLayout layout = layoutFor(home);
    constexpr int kFiles = 300;
    for (int i = 0; i < kFiles; ++i)
        makeFile(layout.downloadsDir() + QStringLiteral("/f%1.txt").arg(i));
    FolderOrganizer::Deps options;
    // Each reading is 7 ms after the one before: the whole run lasts about 2.1 s.
    options.steadyMs = [t = std::make_shared<std::atomic<qint64>>(0)] { return t->fetch_add(7); };
    FolderOrganizer organizer(layout, options);
    planNow(organizer);
    int published = 0;
    QObject::connect(&organizer, &FolderOrganizer::stateChanged, [&] {
        if (organizer.state().isBusy() && organizer.state().done > 0)
            ++published;
    });
    constexpr int kMost = kFiles * 7 / FolderOrganizer::kProgressIntervalMs + 1;
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(kFiles, 0));
    EXPECT_GE(published, kMost - 3);
    EXPECT_LE(published, kMost);

    published = 0;
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(kFiles, 0));
    EXPECT_GE(published, kMost - 3);
    EXPECT_LE(published, kMost);
}

TEST(OrganizerState, ARunShowsOverThePreviewUntilTheNextPreviewStarts) {
    const FreshHome h = freshHome("composed");
    makeFile(h.dl + "/a.txt");
    makeFile(h.dl + "/b.pdf");
    const auto step = std::make_shared<QSemaphore>();
    const auto listing = std::make_shared<QSemaphore>(1);
    FolderOrganizer::Deps options;
    options.beforeStep = [step](int) { step->acquire(); };
    options.beforePlan = [listing] { listing->acquire(); };
    FolderOrganizer organizer(h.layout, options);
    const auto release = qScopeGuard([step, listing] {
        step->release(100);
        listing->release(100);
    });
    planNow(organizer);
    ASSERT_EQ(organizer.state().kind, Kind::Ready);

    QList<FolderOrganizer::State> seen;
    QObject::connect(&organizer, &FolderOrganizer::stateChanged,
                     [&] { seen << organizer.state(); });
    ASSERT_TRUE(organizer.applySelected());
    // A preview asked for while the run goes on is made, but the run keeps the say.
    organizer.makePlan();
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::running(0, 2));
    step->release(2);
    ASSERT_TRUE(testsupport::waitFor([&] { return !organizer.state().isBusy(); }));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(2, 0));
    // The preview, listed after the run, takes its place once published.
    listing->release(1);
    ASSERT_TRUE(testsupport::waitFor([&] { return organizer.state().kind != Kind::Finished; }));
    EXPECT_EQ(organizer.state(),
              FolderOrganizer::State::failure("Nothing matched the current rules."));
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.first(), FolderOrganizer::State::running(0, 2));
    EXPECT_TRUE(std::none_of(seen.begin(), seen.end(), [](const FolderOrganizer::State& s) {
        return s.kind == Kind::Planning || s.kind == Kind::Idle;
    }));

    // A new preview replaces what the last run said, in one announcement.
    ASSERT_TRUE(organizer.applySelected()); // nothing selected: refused in words
    ASSERT_EQ(organizer.state().kind, Kind::Failed);
    seen.clear();
    organizer.makePlan();
    EXPECT_EQ(seen, QList<FolderOrganizer::State>({FolderOrganizer::State::of(Kind::Planning)}));
    listing->release(1);
    ASSERT_TRUE(untilSettled(organizer));
}
