// Runs cut short: a journal that cannot be saved, a copy interrupted, a run killed half way
// or its log cut off mid-record; every move made before stays undoable.
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerFiles.h"
#include "storage/OrganizerJournals.h"
#include "storage/OrganizerTestSupport.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace organizertest;
using Kind = FolderOrganizer::State::Kind;

namespace {

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

} // namespace

TEST(OrganizerRun, UnsavableJournalMovesNothing) {
    const QString home = testsupport::freshDir("nosave");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/a.txt");
    FolderOrganizer organizer(layout);
    makeFile(organizer.journalDirectory(), "a file where the folder belongs");
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));
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
        ASSERT_TRUE(untilSettled(organizer));
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
    readHistory(organizer);
    ASSERT_TRUE(testsupport::waitFor([&] {
        return organizer.history().size() == 1 && organizer.history().first().completed.size() == 4;
    }));
    EXPECT_TRUE(organizer.history().first().interrupted.isEmpty());

    writesToFailure->store(2); // the steps back announced, the first one's outcome is lost
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(),
              State::failure("Stopped after moving back 1 of 4 items: the undo record could not "
                             "be saved (No space left on device). The rest can be undone later."));
    EXPECT_EQ(documents(), 3);
    // The step back is found from the files once they are looked at.
    readHistory(organizer);
    ASSERT_TRUE(testsupport::waitFor([&] {
        return organizer.history().size() == 1 && organizer.history().first().completed.size() == 3;
    }));
    EXPECT_TRUE(organizer.history().first().interrupted.isEmpty());
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), State::undone(3, 0));
    EXPECT_EQ(snapshot(home), before);

    // Moves that cannot be recorded are not made.
    writesToFailure->store(2); // the plan, then the moves announced
    planNow(organizer);
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_TRUE(organizer.state().message.startsWith("Stopped after moving 0 items"));
    EXPECT_EQ(documents(), 0);
    EXPECT_EQ(snapshot(home), before);
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
    readHistory(organizer);
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
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(1, 0));
    EXPECT_EQ(readAll(dl + "/d.bin"), "d");
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

    readHistory(organizer);
    ASSERT_EQ(organizer.history().size(), 1);
    const OrganizerJournal left = organizer.history().first();
    EXPECT_EQ(left.completed.size(), 4);
    EXPECT_FALSE(left.finishedAt.has_value());
    ASSERT_TRUE(organizer.undo(left));
    ASSERT_TRUE(untilSettled(organizer));
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

        readHistory(organizer);
        ASSERT_TRUE(testsupport::waitFor([&] {
            return organizer.history().size() == 1 &&
                   organizer.history().first().interrupted.isEmpty();
        }));
        EXPECT_EQ(organizer.history().first().completed.size(), 5);
        ASSERT_TRUE(organizer.undo(organizer.history().first()));
        ASSERT_TRUE(untilSettled(organizer));
        EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(5, 0));
        EXPECT_EQ(snapshot(home), before);
    }
}
