// Where the organizer's moves may go: never out of home or its user folder, never through a
// link, never over a file, and only as a run of its own could have made them.
#include "fakes/FakeClock.h"
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerFiles.h"
#include "storage/OrganizerJournals.h"
#include "storage/OrganizerTestSupport.h"

#include "platform/JsonFields.h"

#include <gtest/gtest.h>
#include <QUuid>
#include <unistd.h>

using namespace organizertest;
using Kind = FolderOrganizer::State::Kind;

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
        ASSERT_TRUE(untilSettled(organizer));
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
    ASSERT_TRUE(untilSettled(organizer));
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
    readHistory(organizer);
    EXPECT_TRUE(organizer.history().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(layout.appSupportDir() + "/x.json"));
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
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
    EXPECT_EQ(readAll(disk + "/Documents/a.pdf"), "a");
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(untilSettled(organizer));
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

TEST(OrganizerRun, HomeGivenWithATrailingSlashStillBoundsMoves) {
    const QString home = testsupport::freshDir("slash");
    HomeLayout layout = layoutFor(home);
    layout.setHome(home + "/");
    layout.setDownloadsDir(home + "//Downloads/");
    makeFile(home + "/Downloads/a.png");
    FolderOrganizer organizer(layout);
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
    EXPECT_EQ(organizer.history().first().homePath, home);
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(1, 0));
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
    readHistory(organizer);
    organizer.waitForWork();
    ASSERT_TRUE(testsupport::waitFor([&] {
        return organizer.history().size() == 1 && organizer.history().first().interrupted.isEmpty();
    }));
    EXPECT_EQ(snapshot(home), before);
    EXPECT_EQ(organizer.history().first().failures,
              QStringList({OrganizerFiles::notARunMove(docs + "/thesis-backup.tex"),
                           OrganizerFiles::notARunMove(docs + "/placeholder.txt")}));

    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(untilSettled(organizer));
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
