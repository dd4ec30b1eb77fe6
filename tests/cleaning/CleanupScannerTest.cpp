// The scanner service: state and progress as rows are measured, rescans cancelling the scan
// before them, tables rebuilt by the mail and screenshot cleaners, clean off the main thread.
#include "cleaning/CleanupScanner.h"
#include "cleaning/CleaningTestSupport.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeTrash.h"

#include <atomic>
#include <QSignalSpy>
#include <QThread>
#include <semaphore>

using namespace cleaningtest;

namespace {

CleanCategory row(const QString& id) {
    CleanCategory c;
    c.id = id;
    c.name = "Row " + id;
    return c;
}

struct Rig {
    std::shared_ptr<FakeCategoryMeasure> measure = std::make_shared<FakeCategoryMeasure>();
    std::shared_ptr<FakeTrash> trash =
        std::make_shared<FakeTrash>(testsupport::freshDir("scanner-trash"));
    CleanupScanner::Deps tools() const { return {measure, trash, {}}; }
};

using Kind = ScanPhase;

} // namespace

TEST(CleanupScanner, ScanPublishesEachRowInOrderThenEndsDone) {
    Rig rig;
    rig.measure->setResult("a", {100, 1, {}});
    rig.measure->setResult("b", {200, 2, {"/x/b"}});
    rig.measure->setResult("c", {300, 3, {}});
    QList<CleanCategory> table = {row("a"), row("b"), row("c")};
    table[0].sizeBytes = 999; // a stale measurement is shown until the scan starts
    CleanupScanner scanner(table, rig.tools());
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    EXPECT_EQ(scanner.categories()[0].sizeBytes, 999);

    // Hold the scan after the first row to look at it mid-way.
    std::binary_semaphore release(0);
    rig.measure->setHook([&](const CleanCategory& c, const CancelToken&) {
        if (c.id == "b")
            release.acquire();
    });
    QList<int> doneSeen;
    // The progress is the state's: each row measured is one announcement of it.
    QObject::connect(&scanner, &CleanupScanner::stateChanged, &scanner, [&] {
        if (doneSeen.isEmpty() || doneSeen.last() != scanner.progressDone())
            doneSeen << scanner.progressDone();
    });
    scanner.scan();
    EXPECT_EQ(scanner.state().phase, Kind::Running);
    EXPECT_EQ(scanner.progressTotal(), 3);
    EXPECT_EQ(scanner.progressDone(), 0);
    EXPECT_EQ(scanner.progressLabel(), "Starting…");
    EXPECT_EQ(scanner.categories()[0].sizeBytes, 0);

    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.progressDone() == 1; }));
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.progressLabel() == "Row b"; }));
    EXPECT_EQ(scanner.categories()[0].sizeBytes, 100);
    EXPECT_EQ(scanner.categories()[1].sizeBytes, 0);
    EXPECT_EQ(scanner.categories()[2].sizeBytes, 0);
    release.release();

    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    EXPECT_EQ(scanner.progressDone(), 3);
    EXPECT_EQ(scanner.progressLabel(), "");
    EXPECT_EQ(scanner.categories()[1].measurement(), (Measurement{200, 2, {"/x/b"}}));
    EXPECT_EQ(scanner.categories()[2].fileCount, 3);
    EXPECT_EQ(doneSeen, QList<int>({0, 1, 2, 3}));
    EXPECT_EQ(rig.measure->measured(), QStringList({"a", "b", "c"}));
}

TEST(CleanupScanner, EmptyTableEndsDoneWithNothingToCount) {
    Rig rig;
    CleanupScanner scanner({}, rig.tools());
    scanner.scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    EXPECT_EQ(scanner.progressTotal(), 0);
    EXPECT_EQ(scanner.progressLabel(), "");
}

TEST(CleanupScanner, ARescanCancelsTheScanBeforeItAndOnlyTheLastPublishes) {
    Rig rig;
    std::atomic<int> calls{0};
    std::atomic_bool firstSawCancel{false};
    std::atomic_bool firstEnded{false};
    std::binary_semaphore firstStarted(0);
    rig.measure->setHook([&](const CleanCategory&, const CancelToken& cancel) {
        if (++calls == 1) {
            firstStarted.release();
            // The first pass holds until it is cancelled by the second scan.
            for (int i = 0; i < 500 && !cancel.isCancelled(); ++i)
                QThread::msleep(10);
            firstSawCancel = cancel.isCancelled();
            firstEnded = true;
        }
    });
    rig.measure->setResult("a", {1, 1, {}});
    CleanupScanner scanner({row("a"), row("b")}, rig.tools());
    scanner.scan();
    firstStarted.acquire();
    scanner.scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    ASSERT_TRUE(testsupport::waitFor([&] { return firstEnded.load(); }));
    EXPECT_TRUE(firstSawCancel);
    EXPECT_EQ(scanner.progressDone(), 2);
    // Let any late delivery of the first pass arrive: it must change nothing.
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(scanner.progressDone(), 2);
    EXPECT_EQ(scanner.state().phase, Kind::Done);
}

TEST(CleanupScanner, CancelScanReturnsToIdleAndDropsLateResults) {
    Rig rig;
    std::binary_semaphore started(0);
    rig.measure->setHook([&](const CleanCategory&, const CancelToken& cancel) {
        started.release();
        while (!cancel.isCancelled())
            QThread::msleep(5);
    });
    CleanupScanner scanner({row("a")}, rig.tools());
    scanner.cancelScan(); // nothing running: nothing happens
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    scanner.scan();
    started.acquire();
    scanner.cancelScan();
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    EXPECT_EQ(scanner.progressDone(), 0);
}

TEST(CleanupScanner, AScannerDestroyedMidScanIsNeverTouched) {
    Rig rig;
    std::binary_semaphore started(0);
    std::binary_semaphore release(0);
    rig.measure->setHook([&](const CleanCategory&, const CancelToken&) {
        started.release();
        release.acquire();
    });
    auto scanner = std::make_unique<CleanupScanner>(QList<CleanCategory>{row("a")}, rig.tools());
    scanner->scan();
    started.acquire();
    scanner.reset();
    release.release();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents(); // the worker's deliveries find no scanner
    SUCCEED();
}

TEST(CleanupScanner, MailAndScreenshotScannersRebuildTheirTablesAtEveryScan) {
    Rig rig;
    const HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("rebuild-home"));
    MailCleanupScanner mail(layout, rig.tools());
    EXPECT_TRUE(mail.categories().isEmpty());
    QDir().mkpath(layout.map("Library/Mail"));
    mail.scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return mail.state().phase == Kind::Done; }));
    ASSERT_EQ(mail.categories().size(), 1);
    EXPECT_EQ(mail.categories()[0].id, "mail-apple-store");
    QDir(layout.map("Library/Mail")).removeRecursively();
    mail.scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return mail.state().phase == Kind::Done; }));
    EXPECT_TRUE(mail.categories().isEmpty());

    rig.measure->setResult("screenshots-7", {10, 1, {"/d/Screenshot.png"}});
    ScreenshotCleanupScanner shots(layout, rig.tools());
    EXPECT_EQ(shots.categories().size(), 3);
    shots.scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return shots.state().phase == Kind::Done; }));
    EXPECT_EQ(shots.categories()[0].fileCount, 1);
    rig.measure->setResult("screenshots-7", {});
    shots.scan();
    EXPECT_EQ(shots.categories()[0].fileCount, 0);
}

TEST(CleanupScanner, CleanRunsOffTheMainThreadOnTheTableAsItIsAndPublishesNothing) {
    Rig rig;
    const QString dir = testsupport::freshDir("scanner-clean");
    writeFile(dir + "/loc/item.bin", 4096);
    CleanCategory c = row("r");
    c.locations = {dir + "/loc"};
    CleanupScanner scanner({c}, rig.tools());
    QSignalSpy categories(&scanner, &CleanupScanner::categoriesChanged);
    QSignalSpy state(&scanner, &CleanupScanner::stateChanged);
    std::optional<CleanResult> result;
    scanner.clean({"r"}, [&result](const CleanResult& r) { result = r; });
    EXPECT_FALSE(result.has_value()); // handed back from the event loop, never inside the call
    ASSERT_TRUE(testsupport::waitFor([&result] { return result.has_value(); }));
    EXPECT_GT(result->freedBytes, 0);
    EXPECT_EQ(rig.trash->moved(), QStringList({dir + "/loc/item.bin"}));
    EXPECT_EQ(categories.count(), 0);
    EXPECT_EQ(state.count(), 0);
}
