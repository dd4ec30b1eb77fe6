// The organizer's preview: which files a plan moves where under the rules, made on a worker,
// dropped when the rules change, and spent by its apply.
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerFiles.h"
#include "storage/OrganizerPlanModel.h"
#include "storage/OrganizerTestSupport.h"

#include "platform/NativePath.h"

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <unistd.h>

using namespace organizertest;
using Kind = FolderOrganizer::State::Kind;

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
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_NE(listedOn->load(), QThread::currentThread());
    EXPECT_EQ(plans.size(), 1);
    ASSERT_TRUE(organizer.plan().has_value());
    EXPECT_FALSE(organizer.plan()->spent);

    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));
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
        ASSERT_TRUE(untilSettled(gated));
        ASSERT_TRUE(gated.plan());
        EXPECT_EQ(destinations(*gated.plan()), QStringList({dl + "/Documents/a.pdf"}));
    }

    FolderOrganizer organizer(layout);
    planNow(organizer);
    ASSERT_EQ(organizer.plan()->moves.size(), 3);
    organizer.setIncludeDesktop(false);
    EXPECT_FALSE(organizer.plan().has_value());
    // The preview that was shown is made again under the new rules.
    ASSERT_TRUE(untilSettled(organizer));
    ASSERT_TRUE(organizer.plan());
    EXPECT_EQ(destinations(*organizer.plan()), QStringList({dl + "/Documents/a.pdf"}));
    ASSERT_TRUE(organizer.applySelected());
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
    EXPECT_EQ(snapshot(desk), before);

    // A spent plan is dropped without a new preview.
    organizer.setLeaveRecentDays(3);
    EXPECT_FALSE(organizer.plan().has_value());
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
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
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::finished(1, 0));
    struct stat st;
    EXPECT_EQ(::lstat((folder + "/Documents/c\xff.pdf").constData(), &st), 0);
    ASSERT_TRUE(organizer.undo(organizer.history().first()));
    ASSERT_TRUE(untilSettled(organizer));
    EXPECT_EQ(organizer.state(), FolderOrganizer::State::undone(1, 0));
    EXPECT_EQ(::lstat(raw.constData(), &st), 0);
}
