#include "home/HomeTestSupport.h"

#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeClock.h"
#include "home/HealthCheck.h"
#include "platform/HomeLayout.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThreadPool>
#include <sys/stat.h>
#include <unistd.h>

using namespace hometest;
using Kind = ScanPhase;

namespace {

constexpr qint64 GiB = 1'073'741'824;

// --- Findings ----------------------------------------------------------------------------------

TEST(Findings, JunkSeverityAndSummary) {
    EXPECT_EQ(HealthCheck::junkFinding(5'368'709'120, 3).severity, IssueSeverity::Watch);
    EXPECT_EQ(HealthCheck::junkFinding(5'368'709'121, 3).severity, IssueSeverity::Act);
    EXPECT_EQ(HealthCheck::junkFinding(2'500'000, 42).summary,
              "2.5 MB in caches, logs and the Trash across 42 files.");
    const HealthCheck::Finding none = HealthCheck::junkFinding(0, 7);
    EXPECT_EQ(none.summary, "Nothing to clear. Your caches and logs are already tidy.");
    EXPECT_EQ(none.severity, IssueSeverity::Good);
}

TEST(Findings, BigFilesCountAndSeverity) {
    EXPECT_EQ(HealthCheck::bigFilesFinding(GiB, 1).summary,
              "1 file of a gigabyte or more, 1.07 GB in total.");
    EXPECT_TRUE(HealthCheck::bigFilesFinding(2 * GiB, 2).summary.startsWith("2 files of"));
    EXPECT_EQ(HealthCheck::bigFilesFinding(10 * GiB, 10).severity, IssueSeverity::Watch);
    EXPECT_EQ(HealthCheck::bigFilesFinding(11 * GiB, 11).severity, IssueSeverity::Act);
    EXPECT_EQ(HealthCheck::bigFilesFinding(0, 0).summary, "No single file is a gigabyte or more.");
    // Equality leaves the severity out; statuses compare their payloads.
    HealthCheck::Finding a = HealthCheck::junkFinding(10, 1);
    HealthCheck::Finding b = a;
    b.severity = IssueSeverity::Act;
    EXPECT_EQ(a, b);
    EXPECT_NE(HealthCheck::Status::failed("a"), HealthCheck::Status::failed("b"));
    EXPECT_EQ(HealthCheck::Status::checking(), HealthCheck::Status::checking());
}

TEST(Findings, JunkRows) {
    const HomeLayout layout = HomeLayout::forHome("/home/ana");
    QStringList ids;
    for (const CleanCategory& c : HealthCheck::junkRows(layout))
        ids << c.id;
    EXPECT_EQ(ids, QStringList({"caches", "logs", "trash", "derived"}));
}

// --- The service -------------------------------------------------------------------------------

class HealthCheckService : public ::testing::Test {
protected:
    void SetUp() override {
        home = testsupport::freshDir("home");
        layout = HomeLayout::forHome(home);
        measure = std::make_shared<FakeCategoryMeasure>();
        clock = std::make_shared<FakeClock>();
        health = std::make_unique<HealthCheck>(
            layout, HealthCheck::Deps{.measure = measure, .clock = clock, .walkerThreads = 2});
    }

    void waitJunk() {
        ASSERT_TRUE(testsupport::waitFor([&] { return !health->junk().isChecking(); }));
    }
    void waitBig() {
        ASSERT_TRUE(testsupport::waitFor([&] { return !health->bigFiles().isChecking(); }));
    }

    // A file of `bytes` that takes no space: only its size is set.
    static void sparse(const QString& path, qint64 bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        ASSERT_TRUE(f.resize(bytes));
    }
    // What a file takes on disk.
    static qint64 blocks(const QString& path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_blocks) * 512
                                                                     : -1;
    }
    // A file that takes at least `bytes` on disk (a multiple of the block size; large ones take
    // a little more for the file system's own records) without writing them.
    static void allocated(const QString& path, qint64 bytes) {
        QDir().mkpath(QFileInfo(path).path());
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0) << path.toStdString();
        const int error = ::posix_fallocate(fd, 0, off_t(bytes));
        ::close(fd);
        ASSERT_EQ(error, 0) << "no room for " << path.toStdString();
    }

    QString home;
    HomeLayout layout;
    std::shared_ptr<FakeCategoryMeasure> measure;
    std::shared_ptr<FakeClock> clock;
    std::unique_ptr<HealthCheck> health;
};

TEST_F(HealthCheckService, StartsUnchecked) {
    EXPECT_FALSE(health->isChecking());
    EXPECT_EQ(health->recoverableBytes(), 0);
    EXPECT_FALSE(health->lastRun().has_value());
    EXPECT_EQ(health->junk().phase, Kind::Idle);
    EXPECT_EQ(health->bigFiles().phase, Kind::Idle);
}

TEST_F(HealthCheckService, JunkSumsTheDefaultRowsOnceEvenWhenAskedTwice) {
    measure->setResult("caches", {3'000'000'000, 10, {}});
    measure->setResult("logs", {1'000'000, 5, {}});
    measure->setResult("trash", {2'000'000'000, 2, {}});
    measure->setResult("downloads", {9'000'000'000, 1, {}}); // off by default: never counted
    QSemaphore gate;
    measure->setHook([&](const CleanCategory&, const CancelToken&) { gate.acquire(); });

    health->refreshJunk();
    health->refreshJunk(); // ignored: the first is still checking
    EXPECT_TRUE(health->isChecking());
    health->refreshBigFiles(); // not blocked by the junk measurement
    EXPECT_TRUE(health->bigFiles().isChecking());
    gate.release(8);
    waitJunk();
    waitBig();

    QStringList measured = measure->measured();
    measured.sort();
    EXPECT_EQ(measured, QStringList({"caches", "derived", "logs", "trash"}));
    ASSERT_TRUE(health->junk().isDone());
    const HealthCheck::Finding f = health->junk().finding;
    EXPECT_EQ(f.bytes, 5'001'000'000);
    EXPECT_EQ(f.count, 17);
    EXPECT_EQ(f.summary, "5 GB in caches, logs and the Trash across 17 files.");
    EXPECT_EQ(f.severity, IssueSeverity::Watch);
    EXPECT_EQ(health->lastRun(), clock->now());
}

TEST_F(HealthCheckService, RecoverableCountsOnlyFinishedMeasurements) {
    measure->setResult("caches", {4'000, 2, {}});
    allocated(home + "/Videos/film.mkv", GiB);
    health->refreshJunk();
    waitJunk();
    EXPECT_EQ(health->recoverableBytes(), 4'000);
    health->refreshBigFiles();
    waitBig();
    const qint64 film = blocks(home + "/Videos/film.mkv");
    EXPECT_EQ(health->recoverableBytes(), 4'000 + film);

    // A junk refresh drops the old result at once: only the big files count meanwhile.
    QSemaphore gate;
    measure->setHook([&](const CleanCategory&, const CancelToken&) { gate.acquire(); });
    health->refreshJunk();
    EXPECT_EQ(health->recoverableBytes(), film);
    gate.release(8);
    waitJunk();
}

// What each measurement announces is its scan's state as it now is: a refresh from Done says
// Checking with the old finding gone, then Done with the new one, and the clock is stamped after
// the Done is out, so a screen that follows the announcement sees the state it was sent.
TEST_F(HealthCheckService, EachAnnouncementIsTheMeasurementsStateAtThatMoment) {
    measure->setResult("caches", {4'000, 2, {}});
    QList<HealthCheck::Status> sent;
    QList<bool> stampedWhenSent;
    QObject::connect(health.get(), &HealthCheck::junkChanged, health.get(),
                     [&](const HealthCheck::Status& status) {
                         EXPECT_EQ(status, health->junk());
                         sent << status;
                         stampedWhenSent << health->lastRun().has_value();
                     });
    health->refreshJunk();
    waitJunk();
    measure->setResult("caches", {6'000, 3, {}});
    health->refreshJunk();
    waitJunk();
    EXPECT_EQ(sent, QList<HealthCheck::Status>(
                        {HealthCheck::Status::checking(),
                         HealthCheck::Status::done(HealthCheck::junkFinding(4'000, 2)),
                         HealthCheck::Status::checking(),
                         HealthCheck::Status::done(HealthCheck::junkFinding(6'000, 3))}));
    EXPECT_EQ(stampedWhenSent, QList<bool>({false, false, true, true}));
}

TEST_F(HealthCheckService, BigFilesAreWhatTakesAGigabyteOnDisk) {
    allocated(home + "/Movies/a.mov", GiB);              // a gigabyte on disk: counts
    allocated(home + "/Documents/b.iso", GiB - 1048576); // a little less: does not
    sparse(home + "/Downloads/disk.img", 3 * GiB);       // claims 3 GiB, takes nothing: does not
    const qint64 a = blocks(home + "/Movies/a.mov");
    ASSERT_GE(a, GiB);
    ASSERT_LT(blocks(home + "/Documents/b.iso"), GiB);

    health->refreshBigFiles();
    waitBig();
    ASSERT_TRUE(health->bigFiles().isDone()) << health->bigFiles().failure.toStdString();
    const HealthCheck::Finding f = health->bigFiles().finding;
    EXPECT_EQ(f.count, 1);
    EXPECT_EQ(f.bytes, a);
    EXPECT_EQ(f.summary, "1 file of a gigabyte or more, 1.07 GB in total.");
    EXPECT_EQ(f.severity, IssueSeverity::Watch);
    EXPECT_EQ(health->recoverableBytes(), a);
    EXPECT_TRUE(health->lastRun().has_value());
}

TEST_F(HealthCheckService, BigFilesCountOnlyTheUsersOwnVisibleFiles) {
    // The same rules at a small size, so every file really takes its space.
    constexpr qint64 big = 64 * 1024;
    auto file = [&](const QString& relative) { allocated(home + relative, big); };
    file("/Movies/a.mov");
    allocated(home + "/Documents/b.iso", big - 4096);
    file("/Documents/Library/c.iso");              // any folder named Library
    file("/Library/d.iso");                        // the literal one too
    file("/.hidden/e.iso");                        // hidden folder
    file("/Documents/.f.iso");                     // hidden file
    file("/Apps/Tool.app/g.bin");                  // package
    file("/Pictures/Photos.PHOTOSLIBRARY/h.heic"); // package, any case
    ASSERT_EQ(::symlink(QFile::encodeName(home + "/Movies/a.mov").constData(),
                        QFile::encodeName(home + "/Desktop-link.mov").constData()),
              0);
    ASSERT_EQ(::link(QFile::encodeName(home + "/Movies/a.mov").constData(),
                     QFile::encodeName(home + "/Movies/a-again.mov").constData()),
              0);
    // The folders that stand for Library, placed outside the dot-folders.
    layout.setDataHome(home + "/data");
    layout.setCacheHome(home + "/cache");
    file("/data/Trash/files/old.iso");
    file("/cache/big.bin");

    const std::optional<HealthCheck::BigFileTally> tally = HealthCheck::countBigFiles(
        home, HealthCheck::libraryFolders(layout), 3, CancelToken(), big);
    ASSERT_TRUE(tally);
    EXPECT_EQ(tally->count, 1);
    EXPECT_EQ(tally->bytes, big);
}

TEST_F(HealthCheckService, UnreadableHomeFailsAndKeepsLastRun) {
    layout.setHome(home + "/gone");
    health = std::make_unique<HealthCheck>(layout,
                                           HealthCheck::Deps{.measure = measure, .clock = clock});
    health->refreshJunk();
    waitJunk();
    const std::optional<QDateTime> before = health->lastRun();
    ASSERT_TRUE(before);
    clock->advance(60);

    health->refreshBigFiles();
    waitBig();
    EXPECT_EQ(health->bigFiles(),
              HealthCheck::Status::failed(HealthCheck::homeUnreadableMessage()));
    EXPECT_EQ(health->lastRun(), before);
    EXPECT_TRUE(health->junk().isDone()) << "the junk measurement is unaffected";
}

TEST_F(HealthCheckService, ALateResultFindsNoService) {
    QSemaphore gate;
    measure->setHook([&](const CleanCategory&, const CancelToken&) { gate.acquire(); });
    health->refreshJunk();
    health.reset(); // cancels; the worker's result must not reach a destroyed service
    gate.release(8);
    QThreadPool::globalInstance()->waitForDone(5000);
    QCoreApplication::processEvents();
    SUCCEED();
}

} // namespace
