#include "storage/FolderOrganizer.h"
#include "fakes/FakeClock.h"
#include "storage/OrganizerFiles.h"
#include "storage/OrganizerJournals.h"
#include "storage/OrganizerPlanModel.h"
#include "storage/OrganizerTestSupport.h"

#include "platform/AppSupportFolder.h"
#include "platform/JsonFields.h"
#include "platform/NativePath.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace organizertest;
using Kind = FolderOrganizer::State::Kind;

namespace {

QStringList destinations(const OrganizerPlan& plan) {
    QStringList out;
    for (const OrganizerMove& m : plan.moves)
        out << m.destinationPath;
    return out;
}

// A fresh home, its layout and the Downloads folder most runs sort.
struct FreshHome {
    QString home;
    HomeLayout layout;
    QString dl;
};
FreshHome freshHome(const QString& name) {
    const QString home = testsupport::freshDir(name);
    const HomeLayout layout = layoutFor(home);
    return {home, layout, layout.downloadsDir()};
}

bool settled(FolderOrganizer& organizer) {
    return testsupport::waitFor([&] {
        const Kind k = organizer.state().kind;
        return k != Kind::Running && k != Kind::Undoing && k != Kind::Planning;
    });
}

// A plan made and published through the event loop, as the pane does it.
void planNow(FolderOrganizer& organizer) {
    organizer.makePlan();
    ASSERT_TRUE(settled(organizer));
}

OrganizerJournal journalFor(const QString& home, double startedAt = 0) {
    OrganizerJournal j;
    j.id = JsonFields::uuidText(QUuid::createUuid());
    j.startedAt = startedAt;
    j.homePath = home;
    return j;
}

// Applies a copy of the journal in a child process that dies abruptly right after move number
// `lastMove`, with no chance to finish the run, as a kill would leave it. True when the child
// died there.
bool applyKilledAfter(const OrganizerJournal& journal, const HomeLayout& layout,
                      const OrganizerFiles::Bounds& bounds, int lastMove) {
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        OrganizerJournal mine = journal;
        OrganizerRun::apply(
            mine, OrganizerJournals(layout), bounds,
            [bounds] {
                return OrganizerFiles::Rules{bounds.folders, QDateTime::currentDateTimeUtc(), 7};
            },
            [] { return QDateTime::currentDateTimeUtc(); },
            [lastMove](int done, int) {
                if (done == lastMove)
                    ::_exit(42);
            });
        ::_exit(0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 42;
}

// Eight files in Downloads for the killed-run cases, pictures and documents by turns, each of a
// size of its own from `baseSize` up.
void makeEightDownloads(const HomeLayout& layout, int baseSize) {
    for (int i = 0; i < 8; ++i)
        makeFile(layout.downloadsDir() +
                     QStringLiteral("/f%1.%2").arg(i).arg(i % 2 ? "png" : "pdf"),
                 QByteArray(baseSize + i, 'k'));
}

void writeJournal(const HomeLayout& layout, const QString& fileName, const QByteArray& bytes) {
    const QString dir = OrganizerJournals(layout).directory();
    QDir().mkpath(dir);
    QFile f(dir + "/" + fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(OrganizerPlan, KindsByLastExtensionIgnoringCase) {
    EXPECT_EQ(OrganizerFiles::kindFolder("Photo.JPG"), "Images");
    EXPECT_EQ(OrganizerFiles::kindFolder("archive.tar.gz"), "Installers and archives");
    EXPECT_EQ(OrganizerFiles::kindFolder("README"), "Other");
    EXPECT_EQ(OrganizerFiles::kindFolder("notes.md"), "Documents");
    EXPECT_EQ(OrganizerFiles::kindFolder("clip.mkv"), "Video");
    EXPECT_EQ(OrganizerFiles::kindFolder("song.flac"), "Audio");
    EXPECT_EQ(OrganizerFiles::kindFolder("weird."), "Other");
}

TEST(OrganizerPlan, FollowsTheRulesOfBothFolders) {
    const auto [home, layout, dl] = freshHome("plan");
    const QString desk = layout.desktopDir();
    makeFile(dl + "/a.pdf", QByteArray(9000, 'a'));
    makeFile(dl + "/Documents/a.pdf"); // already taken: a 2.pdf
    makeFile(dl + "/x.png");
    makeFile(desk + "/x.png"); // its own Images folder, same name
    makeFile(dl + "/README");
    makeFile(dl + "/.hidden"); // listed nowhere
    QDir().mkpath(dl + "/Folder");
    QDir().mkpath(dl + "/Tool.app/Contents");
    makeFile(dl + "/new.txt", "n", QDateTime::currentDateTimeUtc().addDays(-2));

    FolderOrganizer organizer(layout);
    const OrganizerPlan plan = organizer.buildPlan();
    EXPECT_EQ(destinations(plan), QStringList({dl + "/Documents/a 2.pdf", dl + "/Other/README",
                                               dl + "/Images/x.png", desk + "/Images/x.png"}))
        << destinations(plan).join("\n").toStdString();
    EXPECT_EQ(plan.moves.first().reason, "Move into Documents/ by file type.");
    EXPECT_EQ(plan.moves.first().displayName, "a.pdf");
    EXPECT_EQ(plan.moves.first().id, dl + "/a.pdf");
    EXPECT_GE(plan.moves.first().sizeBytes, 9000);

    QStringList skipped;
    for (const OrganizerSkipped& s : plan.skipped)
        skipped << s.name + " | " + s.reason;
    EXPECT_EQ(skipped, QStringList({"Documents | Folders are left in place.",
                                    "Folder | Folders are left in place.",
                                    "Tool.app | Folders are left in place.",
                                    "new.txt | Changed in the last 7 days."}));

    organizer.setLeaveRecentDays(0);
    EXPECT_EQ(organizer.buildPlan().moves.size(), 5); // only future dates stay at 0 days
    makeFile(dl + "/future.txt", "f", QDateTime::currentDateTimeUtc().addDays(3));
    EXPECT_EQ(organizer.buildPlan().skipped.last().reason, "Changed in the last 0 days.");
}

TEST(OrganizerPlan, EmptyPlanFailsAndTicksFollowToggles) {
    const QString home = testsupport::freshDir("plan-state");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/big.zip", QByteArray(10000, 'z'));
    makeFile(layout.downloadsDir() + "/small.txt", "s");

    FolderOrganizer organizer(layout);
    organizer.setIncludeDownloads(false);
    organizer.setIncludeDesktop(false);
    planNow(organizer);
    EXPECT_EQ(organizer.state(),
              FolderOrganizer::State::failure("Nothing matched the current rules."));
    ASSERT_TRUE(organizer.plan());
    EXPECT_TRUE(organizer.plan()->moves.isEmpty());

    organizer.setIncludeDownloads(true);
    planNow(organizer);
    EXPECT_EQ(organizer.state().kind, Kind::Ready);
    const qint64 all = organizer.selectedBytes();
    const QString big = layout.downloadsDir() + "/big.zip";
    organizer.toggleMove(big);
    EXPECT_EQ(organizer.selectedMoves().size(), 1);
    EXPECT_LT(organizer.selectedBytes(), all);
    organizer.toggleMove(big);
    organizer.toggleMove("no such move");
    EXPECT_EQ(organizer.selectedBytes(), all);

    organizer.toggleMove(big);
    organizer.toggleMove(layout.downloadsDir() + "/small.txt");
    EXPECT_TRUE(organizer.applySelected());
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::failure("Nothing is selected to move."));
}

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
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(planned, 0));
    ASSERT_EQ(organizer.history().size(), 1);
    EXPECT_NE(snapshot(home), before);
    EXPECT_EQ(readAll(layout.downloadsDir() + "/Images/file1.png"), "already here");

    organizer.loadHistory();
    ASSERT_EQ(organizer.history().size(), 1);
    const OrganizerJournal run = organizer.history().first();
    EXPECT_TRUE(run.finishedAt.has_value());
    ASSERT_TRUE(organizer.undo(run));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(planned, 0));
    EXPECT_EQ(snapshot(home), before);
    ASSERT_TRUE(organizer.history().first().undoneAt.has_value());
    EXPECT_FALSE(organizer.undo(organizer.history().first())); // once only

    organizer.loadHistory();
    EXPECT_TRUE(organizer.history().isEmpty());
    EXPECT_TRUE(QFile::exists(organizer.journalDirectory() + "/" + run.id + ".json"));
}

TEST(OrganizerRun, UndoKeepsWhatTheUserAddedAndReportsMissingFiles) {
    const auto [home, layout, dl] = freshHome("user-file");
    makeFile(dl + "/a.png", "a");
    makeFile(dl + "/b.pdf", "b");
    makeFile(dl + "/c.mov", "c");
    FolderOrganizer organizer(layout);
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(settled(organizer));

    makeFile(dl + "/Images/mine.png", "user's own");
    ASSERT_TRUE(QFile::rename(dl + "/Documents/b.pdf", home + "/b.pdf")); // taken out by hand
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
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
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(0, 2));
    EXPECT_EQ(readAll(dl + "/Documents/taken.txt"), "arrived later");
    EXPECT_EQ(readAll(dl + "/taken.txt"), "mine");
    QStringList failures = organizer.history().first().failures;
    failures.sort();
    EXPECT_EQ(failures, QStringList({"gone.txt: Already gone.", "taken.txt: File exists"}));
    organizer.loadHistory();
    ASSERT_EQ(organizer.history().size(), 1); // listed, but nothing to undo
    EXPECT_TRUE(organizer.history().first().completed.isEmpty());
}

TEST(OrganizerRun, MovesNeverLeaveHomeOrFollowLinks) {
    const QString home = testsupport::freshDir("bounds");
    const QString outside = testsupport::freshDir("elsewhere");
    const QString dl = layoutFor(home).downloadsDir();
    makeFile(dl + "/a.png", "a");
    ASSERT_TRUE(QFile::link(outside, dl + "/Images"));
    const auto refusal = [&](const QString& from, const QString& to) {
        return OrganizerFiles::moveOne(OrganizerMove{from, from, to, "a.png", 1, "", true},
                                       {home, {dl}}, {{dl}, QDateTime::currentDateTimeUtc(), 7})
            .refusal;
    };
    EXPECT_EQ(refusal(dl + "/a.png", dl + "/Images/a.png"), "Outside your home folder.");
    EXPECT_EQ(refusal(dl + "/a.png", outside + "/a.png"), "Outside your home folder.");
    EXPECT_EQ(refusal(dl + "/a.png", dl + "/../../elsewhere/a.png"), "Outside your home folder.");
    EXPECT_EQ(refusal(dl + "/a.png", home + "x/a.png"), "Outside your home folder.");
    EXPECT_TRUE(QFile::exists(dl + "/a.png"));
    EXPECT_TRUE(QDir(outside).isEmpty());

    // A file that already has the kind folder's name is in the way, not outside home.
    makeFile(dl + "/b.pdf", "b");
    makeFile(dl + "/Documents", "mine");
    EXPECT_EQ(refusal(dl + "/b.pdf", dl + "/Documents/b.pdf"),
              "A file named \u201CDocuments\u201D is where its folder would go.");
    OrganizerPlan plan = OrganizerFiles::buildPlan(
        {home, {dl}}, {{dl}, QDateTime::currentDateTimeUtc().addDays(30), 7});
    EXPECT_TRUE(plan.skipped.contains(OrganizerSkipped{
        "b.pdf", "A file named \u201CDocuments\u201D is where its folder would go."}));
    EXPECT_EQ(readAll(dl + "/Documents"), "mine");

    EXPECT_TRUE(OrganizerFiles::isInside("/home/u", "/home/u"));
    EXPECT_TRUE(OrganizerFiles::isInside("/home/u/", "/home/u/x"));
    EXPECT_FALSE(OrganizerFiles::isInside("/home/u", "/home/user"));
}

TEST(OrganizerRun, TamperedJournalsTouchNothing) {
    const auto [home, layout, dl] = freshHome("tamper");
    const QString outside = testsupport::freshDir("tamper-outside");
    makeFile(dl + "/Images/a.png", "a");
    makeFile(outside + "/secret.txt", "s");
    QDir().mkpath(outside + "/emptyDir");
    ASSERT_TRUE(QFile::link(outside, dl + "/Linked"));
    FakeClock clock(QDateTime::currentDateTimeUtc());
    const double now = secondsSinceReferenceDate(clock.now());

    auto moveBack = [](const QString& src, const QString& dst, QStringList created = {}) {
        return OrganizerCompletedMove{src, dst, created};
    };
    QList<OrganizerJournal> tampered;
    OrganizerJournal rootHome = journalFor("/", now);
    rootHome.completed = {moveBack(dl + "/a.png", dl + "/Images/a.png")};
    tampered << rootHome;
    OrganizerJournal outsideFolders = journalFor(home, now);
    outsideFolders.completed = {moveBack(dl + "/secret.txt", outside + "/secret.txt"),
                                moveBack(outside + "/a.png", dl + "/Images/a.png")};
    tampered << outsideFolders;
    OrganizerJournal linked = journalFor(home, now);
    linked.completed = {moveBack(dl + "/secret.txt", dl + "/Linked/secret.txt"),
                        moveBack(dl + "/Linked/b.png", dl + "/Images/a.png")};
    tampered << linked;
    OrganizerJournal dotted = journalFor(home + "/Downloads/..", now);
    dotted.completed = {moveBack(dl + "/a.png", dl + "/Images/a.png")};
    tampered << dotted;

    const auto before = snapshot(home);
    const auto beforeOutside = snapshot(outside);
    FolderOrganizer organizer(layout);
    for (const OrganizerJournal& j : tampered) {
        ASSERT_TRUE(organizer.undo(j));
        ASSERT_TRUE(settled(organizer));
        EXPECT_EQ(organizer.state().moved, 0);
        EXPECT_EQ(organizer.state().failed, j.completed.size());
    }
    EXPECT_EQ(snapshot(home), before);
    EXPECT_EQ(snapshot(outside), beforeOutside);

    // A sound move back still never removes a recorded folder outside home.
    OrganizerJournal foreignFolder = journalFor(home, now);
    foreignFolder.completed = {
        moveBack(dl + "/a.png", dl + "/Images/a.png", {outside + "/emptyDir"})};
    ASSERT_TRUE(organizer.undo(foreignFolder));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(1, 0));
    EXPECT_TRUE(QFileInfo(outside + "/emptyDir").isDir());
    ASSERT_TRUE(QFile::rename(dl + "/a.png", dl + "/Images/a.png"));

    // An id that could name another path is never read, listed or written back.
    OrganizerJournal escape = journalFor(home, now);
    escape.id = "../x";
    escape.completed = {moveBack(dl + "/a.png", dl + "/Images/a.png")};
    EXPECT_FALSE(organizer.undo(escape));
    EXPECT_EQ(snapshot(home), before);
    writeJournal(layout, "x.json", OrganizerJournals::encode(escape));
    OrganizerJournal misnamed = journalFor(home, now);
    writeJournal(layout, JsonFields::uuidText(QUuid::createUuid()) + ".json",
                 OrganizerJournals::encode(misnamed));
    organizer.loadHistory();
    EXPECT_TRUE(organizer.history().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(layout.appSupportDir() + "/x.json"));
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
    organizer.loadHistory();
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
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(2, 0));
}

TEST(OrganizerRun, UnsavableJournalMovesNothing) {
    const QString home = testsupport::freshDir("nosave");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/a.txt");
    FolderOrganizer organizer(layout);
    makeFile(organizer.journalDirectory(), "a file where the folder belongs");
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state().kind, Kind::Failed);
    EXPECT_TRUE(organizer.state().message.startsWith("Could not save the undo record ("));
    EXPECT_TRUE(organizer.state().message.endsWith(": Not a directory). Nothing was moved."))
        << organizer.state().message.toStdString();
    EXPECT_TRUE(QFile::exists(layout.downloadsDir() + "/a.txt"));
    EXPECT_TRUE(organizer.history().isEmpty());
}

// A disk that fills up in the middle of a run: the run stops at the first record it cannot
// save, every file it moved can still be put back after a restart, and an undo that cannot
// record its steps stops too, says how far it got, and can be finished later.
TEST(OrganizerRun, AJournalThatStopsSavingStopsTheRunAndEveryMoveStaysUndoable) {
    using State = FolderOrganizer::State;
    const QString home = testsupport::freshDir("full");
    const HomeLayout layout = layoutFor(home);
    for (int i = 0; i < 10; ++i)
        makeFile(layout.downloadsDir() + QStringLiteral("/f%1.pdf").arg(i),
                 QByteArray(100 + i, 'f'));
    const auto before = snapshot(home);
    // The disk refuses the n-th journal write from now, and only that one (space may come back).
    const auto writesToFailure = std::make_shared<std::atomic_int>(0);
    FolderOrganizer::Deps options;
    options.beforeJournalWrite = [writesToFailure] {
        return writesToFailure->fetch_sub(1) == 1 ? ENOSPC : 0;
    };
    const auto documents = [&] {
        return QDir(layout.downloadsDir() + "/Documents").entryList(QDir::Files).size();
    };
    {
        // The plan, the moves announced, three outcomes; the fourth move's outcome is lost.
        writesToFailure->store(6);
        FolderOrganizer organizer(layout, options);
        planNow(organizer);
        ASSERT_TRUE(organizer.applySelected());
        ASSERT_TRUE(settled(organizer));
        EXPECT_EQ(organizer.state(),
                  State::failure("Stopped after moving 4 items: the undo record could not be "
                                 "saved (No space left on device). Everything moved so far can "
                                 "be undone."));
        ASSERT_EQ(organizer.history().size(), 1);
        EXPECT_EQ(organizer.history().first().completed.size(), 4);
    }
    EXPECT_EQ(documents(), 4);

    // After a restart the record shows all four, the last one once its files are looked at.
    FolderOrganizer organizer(layout, options);
    organizer.loadHistory();
    ASSERT_TRUE(testsupport::waitFor([&] {
        return organizer.history().size() == 1 && organizer.history().first().completed.size() == 4;
    }));
    EXPECT_TRUE(organizer.history().first().interrupted.isEmpty());

    writesToFailure->store(2); // the steps back announced, the first one's outcome is lost
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(),
              State::failure("Stopped after moving back 1 of 4 items: the undo record could not "
                             "be saved (No space left on device). The rest can be undone later."));
    EXPECT_EQ(documents(), 3);
    // The step back is found from the files once they are looked at.
    organizer.loadHistory();
    ASSERT_TRUE(testsupport::waitFor([&] {
        return organizer.history().size() == 1 && organizer.history().first().completed.size() == 3;
    }));
    EXPECT_TRUE(organizer.history().first().interrupted.isEmpty());
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), State::undone(3, 0));
    EXPECT_EQ(snapshot(home), before);

    // Moves that cannot be recorded are not made.
    writesToFailure->store(2); // the plan, then the moves announced
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(organizer.state().message.startsWith("Stopped after moving 0 items"));
    EXPECT_EQ(documents(), 0);
    EXPECT_EQ(snapshot(home), before);
}

TEST(OrganizerRun, CopyAcrossDisksChecksBeforeRemovingAndNeverReplaces) {
    const QString dir = testsupport::freshDir("copy");
    const QDateTime when = QDateTime::currentDateTimeUtc().addDays(-100);
    makeFile(dir + "/a.bin", QByteArray(200000, 'q'), when);
    const auto original = snapshot(dir).value("a.bin");
    EXPECT_EQ(OrganizerFiles::copyThenRemove(dir + "/a.bin", dir + "/b.bin"), QString());
    EXPECT_FALSE(QFile::exists(dir + "/a.bin"));
    EXPECT_EQ(snapshot(dir).value("b.bin").section(' ', 0, 1), original.section(' ', 0, 1));
    EXPECT_EQ(QFileInfo(dir + "/b.bin").lastModified().toSecsSinceEpoch(), when.toSecsSinceEpoch());

    makeFile(dir + "/c.bin", "c");
    EXPECT_EQ(OrganizerFiles::copyThenRemove(dir + "/c.bin", dir + "/b.bin"), "File exists");
    EXPECT_EQ(OrganizerFiles::moveNoReplace(dir + "/c.bin", dir + "/b.bin"), "File exists");
    EXPECT_EQ(readAll(dir + "/c.bin"), "c");
    EXPECT_EQ(QFileInfo(dir + "/b.bin").size(), 200000);
}

// A run cut short in the middle of a copy to another disk: nothing half-made ever stands at the
// destination's name, and the next start cleans up what each step left, as far as nothing can be
// lost, before the run is offered for undo.
TEST(OrganizerRun, ACopyCutShortIsCleanedUpAtTheNextStart) {
    const auto [home, layout, dl] = freshHome("cut-copy");
    // a: its copy is cut short; b: copied whole, the original not yet removed; c: the place was
    // taken by a file of the user's; d: moved, its outcome lost.
    makeFile(dl + "/a.bin", QByteArray(300000, 'a'));
    makeFile(dl + "/b.bin", QByteArray(5000, 'b'));
    makeFile(dl + "/Other/b.bin", QByteArray(5000, 'b'));
    makeFile(dl + "/c.bin", "c");
    makeFile(dl + "/Other/c.bin", "the user's own");
    makeFile(dl + "/Other/d.bin", "d");
    const auto step = [&](const QString& name) {
        return OrganizerCompletedMove{dl + "/" + name, dl + "/Other/" + name, {}};
    };
    const OrganizerJournal run =
        journalFor(home, secondsSinceReferenceDate(QDateTime::currentDateTimeUtc()));
    const OrganizerJournals store(layout);
    {
        const auto log = store.open(run);
        ASSERT_TRUE(log);
        for (const char* name : {"b.bin", "c.bin", "d.bin"})
            ASSERT_TRUE(log->willMove({step(name)}, nullptr));
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The kernel stops the copy half-way, as a killed process would leave it.
        (void)store.open(run)->willMove({step("a.bin")}, nullptr);
        const rlimit noCore{0, 0}, limit{100000, 100000};
        ::setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGXFSZ, SIG_DFL);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        OrganizerFiles::copyThenRemove(dl + "/a.bin", dl + "/Other/a.bin");
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_FALSE(OrganizerFiles::exists(dl + "/Other/a.bin")) << "a cut copy at the real name";
    EXPECT_TRUE(OrganizerFiles::exists(OrganizerFiles::partialPath(dl + "/Other/a.bin")));

    FolderOrganizer organizer(layout);
    organizer.loadHistory();
    ASSERT_EQ(organizer.history().size(), 1);
    EXPECT_EQ(organizer.history().first().interrupted.size(), 4);
    organizer.waitForWork();
    ASSERT_TRUE(
        testsupport::waitFor([&] { return organizer.history().first().interrupted.isEmpty(); }));
    EXPECT_EQ(organizer.history().first().completed, QList({step("d.bin")}));
    // b's complete copy stays beside its original: nothing proves it is not the user's own.
    EXPECT_EQ(QDir(dl + "/Other").entryList(QDir::Files | QDir::Hidden),
              QStringList({"b.bin", "c.bin", "d.bin"}));
    EXPECT_EQ(readAll(dl + "/a.bin"), QByteArray(300000, 'a'));
    EXPECT_EQ(readAll(dl + "/b.bin"), QByteArray(5000, 'b'));
    EXPECT_EQ(readAll(dl + "/Other/b.bin"), QByteArray(5000, 'b'));
    EXPECT_EQ(readAll(dl + "/c.bin"), "c");
    EXPECT_EQ(readAll(dl + "/Other/c.bin"), "the user's own");

    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(1, 0));
    EXPECT_EQ(readAll(dl + "/d.bin"), "d");
}

// Downloads kept on another disk behind a link: its files are tidied inside it and put back. The
// plan offers only what the moves allow: nothing into a link below it, nothing from a user folder
// outside home.
TEST(OrganizerRun, ALinkedUserFolderIsItsOwnBound) {
    const QString home = testsupport::freshDir("linked");
    const QString disk = testsupport::freshDir("other-disk");
    const QString elsewhere = testsupport::freshDir("linked-elsewhere");
    HomeLayout layout = layoutFor(home);
    ASSERT_TRUE(QFile::link(disk, layout.downloadsDir()));
    makeFile(disk + "/a.pdf", "a");
    makeFile(disk + "/b.png", "b");
    ASSERT_TRUE(QFile::link(elsewhere, disk + "/Images"));
    const auto before = snapshot(disk);

    FolderOrganizer organizer(layout);
    planNow(organizer);
    ASSERT_EQ(organizer.plan()->moves.size(), 1);
    EXPECT_EQ(organizer.plan()->skipped,
              QList<OrganizerSkipped>({{"Images", "Folders are left in place."},
                                       {"b.png", "Outside your home folder."}}));
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
    EXPECT_EQ(readAll(disk + "/Documents/a.pdf"), "a");
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(1, 0));
    EXPECT_EQ(snapshot(disk), before);

    layout.setDesktopDir(elsewhere);
    makeFile(elsewhere + "/c.txt");
    FolderOrganizer outside(layout);
    outside.setIncludeDownloads(false);
    const OrganizerPlan plan = outside.buildPlan();
    EXPECT_TRUE(plan.moves.isEmpty());
    EXPECT_EQ(plan.skipped, QList<OrganizerSkipped>(
                                {{QFileInfo(elsewhere).fileName(), "Outside your home folder."}}));
}

// A run whose process dies half-way leaves a journal naming every file it moved, and undoing
// that journal puts the home back exactly as it was.
TEST(OrganizerRun, RunKilledHalfWayIsUndoneFromItsJournal) {
    const QString home = testsupport::freshDir("killed");
    const HomeLayout layout = layoutFor(home);
    makeEightDownloads(layout, 1000);
    const auto before = snapshot(home);
    FolderOrganizer organizer(layout);
    const OrganizerPlan plan = organizer.buildPlan();
    ASSERT_EQ(plan.moves.size(), 8);
    OrganizerJournal journal =
        journalFor(home, secondsSinceReferenceDate(QDateTime::currentDateTimeUtc()));
    journal.planned = plan.moves;

    ASSERT_TRUE(applyKilledAfter(journal, layout, {home, {layout.downloadsDir()}}, 4));
    EXPECT_NE(snapshot(home), before);

    organizer.loadHistory();
    ASSERT_EQ(organizer.history().size(), 1);
    const OrganizerJournal left = organizer.history().first();
    EXPECT_EQ(left.completed.size(), 4);
    EXPECT_FALSE(left.finishedAt.has_value());
    ASSERT_TRUE(organizer.undo(left));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(4, 0));
    EXPECT_EQ(snapshot(home), before);
}

// The log of a run killed after its fifth move, then cut as a crash may leave it: half a record
// after the last, the last record itself cut in half, or every outcome lost (they are synced
// only with the next batch). Every file moved is found and put back, and nothing else moves.
TEST(OrganizerRun, ALogCutOffMidRecordStillUndoesEveryCompletedMove) {
    enum class Cut { HalfARecordAfter, LastRecordHalved, OutcomesLost };
    for (const Cut cut : {Cut::HalfARecordAfter, Cut::LastRecordHalved, Cut::OutcomesLost}) {
        SCOPED_TRACE(int(cut));
        const QString home = testsupport::freshDir("cut-log");
        const HomeLayout layout = layoutFor(home);
        makeEightDownloads(layout, 500);
        makeFile(layout.desktopDir() + "/f1.png", "the desktop's own");
        const auto before = snapshot(home);
        FolderOrganizer organizer(layout);
        OrganizerJournal journal =
            journalFor(home, secondsSinceReferenceDate(QDateTime::currentDateTimeUtc()));
        journal.planned = organizer.buildPlan().moves;
        ASSERT_EQ(journal.planned.size(), 9);

        ASSERT_TRUE(applyKilledAfter(journal, layout,
                                     {home, {layout.downloadsDir(), layout.desktopDir()}}, 5));

        QFile log(OrganizerJournals(layout).directory() + "/" + journal.id + ".log");
        ASSERT_TRUE(log.open(QIODevice::ReadWrite));
        const QByteArray bytes = log.readAll();
        ASSERT_TRUE(bytes.endsWith("{\"done\":true}\n"));
        if (cut == Cut::HalfARecordAfter)
            log.write("{\"done\":tr");
        else if (cut == Cut::LastRecordHalved)
            log.resize(bytes.size() - 6);
        else
            log.resize(bytes.indexOf('\n') + 5);
        log.close();

        organizer.loadHistory();
        ASSERT_TRUE(testsupport::waitFor([&] {
            return organizer.history().size() == 1 &&
                   organizer.history().first().interrupted.isEmpty();
        }));
        EXPECT_EQ(organizer.history().first().completed.size(), 5);
        ASSERT_TRUE(organizer.undo(organizer.history().first()));
        ASSERT_TRUE(settled(organizer));
        EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(5, 0));
        EXPECT_EQ(snapshot(home), before);
    }
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
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(kFiles, 0));
    EXPECT_GE(published, kMost - 3);
    EXPECT_LE(published, kMost);

    published = 0;
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(kFiles, 0));
    EXPECT_GE(published, kMost - 3);
    EXPECT_LE(published, kMost);
}

// The folders are listed away from the main thread, which keeps serving events meanwhile; of a
// burst of requests only the last publishes. Once an apply of the plan has run, the plan is spent
// until the next preview.
TEST(OrganizerPlan, IsBuiltOnAWorkerAndSpentByItsApply) {
    const QString home = testsupport::freshDir("plan-worker");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/a.txt");
    // Shared with the workers, which may outlive the test by a moment.
    const auto go = std::make_shared<QSemaphore>();
    const auto listedOn = std::make_shared<std::atomic<QThread*>>(nullptr);
    FolderOrganizer::Deps options;
    options.beforePlan = [go, listedOn] {
        *listedOn = QThread::currentThread();
        go->acquire();
    };
    FolderOrganizer organizer(layout, options);
    const auto release = qScopeGuard([go] { go->release(100); });
    QSignalSpy plans(&organizer, &FolderOrganizer::planChanged);
    organizer.makePlan();
    organizer.makePlan();
    EXPECT_EQ(organizer.state().kind, Kind::Planning);
    bool served = false;
    QTimer::singleShot(0, [&served] { served = true; });
    ASSERT_TRUE(testsupport::waitFor([&] { return served; }));
    EXPECT_FALSE(organizer.plan().has_value());
    go->release(2);
    ASSERT_TRUE(settled(organizer));
    EXPECT_NE(listedOn->load(), QThread::currentThread());
    EXPECT_EQ(plans.size(), 1);
    ASSERT_TRUE(organizer.plan().has_value());
    EXPECT_FALSE(organizer.plan()->spent);

    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(organizer.plan()->spent);
    go->release(1);
    planNow(organizer);
    EXPECT_FALSE(organizer.plan()->spent);
}

TEST(OrganizerPlan, ListModelResetsOnlyForOtherMoves) {
    const QString home = testsupport::freshDir("model");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/a.png", QByteArray(9000, 'a'));
    makeFile(layout.downloadsDir() + "/b.txt");
    FolderOrganizer organizer(layout);
    OrganizerPlanModel model(organizer);
    EXPECT_EQ(model.rowCount(), 0);
    planNow(organizer);
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex first = model.index(0);
    EXPECT_EQ(first.data().toString(), "a.png");
    EXPECT_EQ(first.data(OrganizerPlanModel::NewNameRole).toString(), "a.png");
    EXPECT_EQ(first.data(OrganizerPlanModel::ReasonRole).toString(),
              "Move into Images/ by file type.");

    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    organizer.toggleMove(layout.downloadsDir() + "/a.png");
    EXPECT_FALSE(first.data(OrganizerPlanModel::EnabledRole).toBool());
    planNow(organizer); // the same moves again
    EXPECT_EQ(resets.size(), 0);
    EXPECT_EQ(changes.size(), 2);
    makeFile(layout.downloadsDir() + "/c.zip");
    planNow(organizer);
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(model.rowCount(), 3);
}

TEST(OrganizerRun, HomeGivenWithATrailingSlashStillBoundsMoves) {
    const QString home = testsupport::freshDir("slash");
    HomeLayout layout = layoutFor(home);
    layout.setHome(home + "/");
    layout.setDownloadsDir(home + "//Downloads/");
    makeFile(home + "/Downloads/a.png");
    FolderOrganizer organizer(layout);
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
    EXPECT_EQ(organizer.history().first().homePath, home);
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(1, 0));
}

// A plan belongs to the rules it was made under: switching a folder off after the preview, or
// while it is being made, leaves nothing of that folder to apply.
TEST(OrganizerPlan, ARuleChangeDropsThePlanMadeUnderTheOldRules) {
    const QString home = testsupport::freshDir("rule-change");
    const HomeLayout layout = layoutFor(home);
    const QString dl = layout.downloadsDir(), desk = layout.desktopDir();
    makeFile(dl + "/a.pdf");
    makeFile(desk + "/Screenshot 1.png");
    makeFile(desk + "/Screenshot 2.png");
    const auto before = snapshot(desk);

    {
        const auto go = std::make_shared<QSemaphore>();
        FolderOrganizer::Deps options;
        options.beforePlan = [go] { go->acquire(); };
        FolderOrganizer gated(layout, options);
        const auto release = qScopeGuard([go] { go->release(100); });
        gated.makePlan(); // lists both folders, held
        gated.setIncludeDesktop(false);
        go->release(2);
        ASSERT_TRUE(settled(gated));
        ASSERT_TRUE(gated.plan());
        EXPECT_EQ(destinations(*gated.plan()), QStringList({dl + "/Documents/a.pdf"}));
    }

    FolderOrganizer organizer(layout);
    planNow(organizer);
    ASSERT_EQ(organizer.plan()->moves.size(), 3);
    organizer.setIncludeDesktop(false);
    EXPECT_FALSE(organizer.plan().has_value());
    // The preview that was shown is made again under the new rules.
    ASSERT_TRUE(settled(organizer));
    ASSERT_TRUE(organizer.plan());
    EXPECT_EQ(destinations(*organizer.plan()), QStringList({dl + "/Documents/a.pdf"}));
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
    EXPECT_EQ(snapshot(desk), before);

    // A spent plan is dropped without a new preview.
    organizer.setLeaveRecentDays(3);
    EXPECT_FALSE(organizer.plan().has_value());
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
}

// An apply asks for the rules before each batch and again as it comes to each file: a folder
// switched off, a file changed since the preview or a move of a shape no plan makes is refused
// then, and the rest goes on.
TEST(OrganizerRun, EachFileIsCheckedAgainstTheRulesOfTheMomentItMoves) {
    const QString home = testsupport::freshDir("rules-moment");
    const HomeLayout layout = layoutFor(home);
    const QString dl = layout.downloadsDir(), desk = layout.desktopDir();
    makeFile(dl + "/a.pdf", QByteArray(3000, 'a'));
    makeFile(dl + "/late.txt", QByteArray(2000, 'l'));
    makeFile(desk + "/c.png", QByteArray(1000, 'c'));
    makeFile(dl + "/x.pdf");
    FolderOrganizer organizer(layout);
    OrganizerJournal journal =
        journalFor(home, secondsSinceReferenceDate(QDateTime::currentDateTimeUtc()));
    journal.planned = organizer.buildPlan().moves;
    ASSERT_EQ(journal.planned.size(), 4);
    for (OrganizerMove& move : journal.planned)
        if (move.displayName == "x.pdf")
            move.destinationPath = dl + "/Images/x.pdf";
    makeFile(dl + "/late.txt", "changed", QDateTime::currentDateTimeUtc());

    int asked = 0;
    const OrganizerFiles::Bounds bounds{home, {dl, desk}};
    OrganizerRun::apply(
        journal, OrganizerJournals(layout), bounds,
        [&] {
            // Desktop is switched off once the batch has been checked.
            return OrganizerFiles::Rules{asked++ == 0 ? QStringList{dl, desk} : QStringList{dl},
                                         QDateTime::currentDateTimeUtc(), 7};
        },
        [] { return QDateTime::currentDateTimeUtc(); });
    EXPECT_EQ(journal.completed.size(), 1);
    EXPECT_EQ(readAll(dl + "/Documents/a.pdf"), QByteArray(3000, 'a'));
    EXPECT_EQ(readAll(dl + "/late.txt"), "changed");
    EXPECT_EQ(readAll(desk + "/c.png"), QByteArray(1000, 'c'));
    EXPECT_TRUE(QFile::exists(dl + "/x.pdf"));
    QStringList failures = journal.failures;
    failures.sort();
    EXPECT_EQ(failures, QStringList({"c.png: Not within the current rules.",
                                     "late.txt: Changed in the last 7 days.",
                                     "x.pdf: Not within the current rules."}));
}

// The kind folder is reached through the open folder at the moment of the move: a link put in
// its place after the checks is refused, not followed.
TEST(OrganizerRun, ALinkPlantedAfterTheChecksCannotCarryAMoveAway) {
    const QString home = testsupport::freshDir("late-link");
    const QString outside = testsupport::freshDir("late-link-outside");
    const QString dl = layoutFor(home).downloadsDir();
    makeFile(dl + "/a.png", "a");
    const OrganizerFiles::Bounds bounds{home, {dl}};
    const OrganizerFiles::Rules rules{{dl}, QDateTime::currentDateTimeUtc(), 7};
    const OrganizerFiles::Outcome checked = OrganizerFiles::checkMove(
        OrganizerMove{dl + "/a.png", dl + "/a.png", dl + "/Images/a.png", "a.png", 1, "", true},
        bounds, rules);
    ASSERT_TRUE(checked.moved);
    ASSERT_TRUE(QFile::link(outside, dl + "/Images"));
    EXPECT_EQ(OrganizerFiles::carryOut(*checked.moved, rules), "Outside your home folder.");
    EXPECT_EQ(readAll(dl + "/a.png"), "a");
    EXPECT_TRUE(QDir(outside).isEmpty());
}

// Lines appended to a run's log by hand name files a run never moves: a copy and a placeholder
// in Documents as steps cut short, a key file moved into Downloads and a file in the wrong kind
// folder as steps done. Recovery and undo report each one and touch none of them.
TEST(OrganizerRun, RecoveryAndUndoActOnlyOnMovesARunCouldHaveMade) {
    const QString home = testsupport::freshDir("forged-log");
    const HomeLayout layout = layoutFor(home);
    const QString dl = layout.downloadsDir(), docs = home + "/Documents";
    makeFile(docs + "/thesis.tex", "chapter one");
    makeFile(docs + "/thesis-backup.tex", "chapter one");
    makeFile(docs + "/notes.txt", "n");
    makeFile(docs + "/placeholder.txt", "");
    QDir().mkpath(home + "/.ssh");
    makeFile(dl + "/evil.txt", "ssh-ed25519 AAAA intruder");
    makeFile(dl + "/Images/y.pdf", "y");
    const auto step = [](const QString& from, const QString& to) {
        return OrganizerCompletedMove{from, to, {}};
    };
    const OrganizerJournal run =
        journalFor(home, secondsSinceReferenceDate(QDateTime::currentDateTimeUtc()));
    {
        const auto log = OrganizerJournals(layout).open(run);
        ASSERT_TRUE(log);
        ASSERT_TRUE(log->willMove({step(docs + "/thesis.tex", docs + "/thesis-backup.tex"),
                                   step(docs + "/notes.txt", docs + "/placeholder.txt")},
                                  nullptr));
        ASSERT_TRUE(log->willMove({step(home + "/.ssh/authorized_keys", dl + "/evil.txt"),
                                   step(dl + "/y.pdf", dl + "/Images/y.pdf")},
                                  nullptr));
        ASSERT_TRUE(log->stepDone(true, nullptr));
        ASSERT_TRUE(log->stepDone(true, nullptr));
    }
    const auto before = snapshot(home);

    FolderOrganizer organizer(layout);
    organizer.loadHistory();
    organizer.waitForWork();
    ASSERT_TRUE(testsupport::waitFor([&] {
        return organizer.history().size() == 1 && organizer.history().first().interrupted.isEmpty();
    }));
    EXPECT_EQ(snapshot(home), before);
    EXPECT_EQ(organizer.history().first().failures,
              QStringList({OrganizerFiles::notARunMove(docs + "/thesis-backup.tex"),
                           OrganizerFiles::notARunMove(docs + "/placeholder.txt")}));

    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(0, 2));
    EXPECT_EQ(snapshot(home), before);
    EXPECT_FALSE(OrganizerFiles::exists(home + "/.ssh/authorized_keys"));
    EXPECT_EQ(organizer.history().first().failures.mid(2),
              QStringList({OrganizerFiles::notARunMove(dl + "/Images/y.pdf"),
                           OrganizerFiles::notARunMove(dl + "/evil.txt")}));

    EXPECT_TRUE(OrganizerFiles::isRunMove(dl + "/a.tar.gz",
                                          dl + "/Installers and archives/a.tar 2.gz", {dl}));
    for (const QString& to :
         {dl + "/Documents/a 1.pdf", dl + "/Documents/a 02.pdf", dl + "/Documents/b.pdf",
          dl + "/Documents/x/a.pdf", dl + "/Images/a.pdf", dl + "/a.pdf"})
        EXPECT_FALSE(OrganizerFiles::isRunMove(dl + "/a.pdf", to, {dl})) << to.toStdString();
    EXPECT_TRUE(OrganizerFiles::isRunMove(dl + "/a.pdf", dl + "/Documents/a 12.pdf", {dl}));
    EXPECT_FALSE(OrganizerFiles::isRunMove(dl + "/a.pdf", dl + "/Documents/a.pdf", {home}));
}

// A name that is not UTF-8 is planned, moved and put back by its own bytes.
TEST(OrganizerPlan, ANameThatIsNotUtf8IsPlannedByItsBytes) {
    const QString home = testsupport::freshDir("bytes-name");
    const HomeLayout layout = layoutFor(home);
    const QByteArray folder = QFile::encodeName(layout.downloadsDir());
    QDir().mkpath(layout.downloadsDir());
    const QByteArray raw = folder + "/c\xff.pdf";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const struct timespec old[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, raw.constData(), old, 0), 0);

    FolderOrganizer organizer(layout);
    planNow(organizer);
    ASSERT_EQ(organizer.plan()->moves.size(), 1);
    EXPECT_TRUE(organizer.plan()->skipped.isEmpty());
    const OrganizerMove move = organizer.plan()->moves.first();
    EXPECT_EQ(NativePath::encode(move.sourcePath), raw);
    EXPECT_EQ(NativePath::encode(move.displayName), "c\xff.pdf");
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
    struct stat st;
    EXPECT_EQ(::lstat((folder + "/Documents/c\xff.pdf").constData(), &st), 0);
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(1, 0));
    EXPECT_EQ(::lstat(raw.constData(), &st), 0);
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
    ASSERT_TRUE(settled(organizer));
}
