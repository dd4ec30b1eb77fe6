#include "storage/DiskMapScanner.h"
#include "fakes/FakeDiskUsage.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderTree.h"

#include <gtest/gtest.h>
#include <mutex>
#include <QSignalSpy>
#include <QThreadPool>

using namespace diskmaptest;
using Kind = ScanPhase;

namespace {

// Lets every scan already started finish and deliver, so nothing stale is still on its way.
void drain() {
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

TEST(DiskMapScan, HomeWithNothingToMeasureFails) {
    const QString home = testsupport::freshDir("scan-empty");
    for (const QString& name : DiskMapScanner::skippedHomeNames())
        makeFile(home + "/" + name + "/x", 4096);
    makeFile(home + "/.bashrc", 4096);
    makeFile(home + "/.local/share/big", 4096);
    const auto empty = DiskMapScanner::runScan(requestFor(home), CancelToken(), {});
    ASSERT_TRUE(std::holds_alternative<QString>(empty));
    EXPECT_EQ(std::get<QString>(empty), DiskMapScanner::emptyHomeText());

    const auto missing = DiskMapScanner::runScan(requestFor(home + "/nowhere"), CancelToken(), {});
    ASSERT_TRUE(std::holds_alternative<QString>(missing));
    EXPECT_EQ(std::get<QString>(missing), DiskMapScanner::unreadableHomeText());

    const auto notAFolder =
        DiskMapScanner::runScan(requestFor(home + "/.bashrc"), CancelToken(), {});
    EXPECT_EQ(std::get<QString>(notAFolder), DiskMapScanner::unreadableHomeText());
}

TEST(DiskMapScan, RootHoldsEveryItemLargestFirst) {
    const QString home = testsupport::freshDir("scan-root");
    makeFile(home + "/Documents/report.pdf", 16384);
    makeFile(home + "/disk.img", 8192); // a top-level file stays an item of its own
    makeFile(home + "/b-notes", 4096);
    makeFile(home + "/a-notes", 4096);
    makeFile(home + "/B-notes", 4096);
    makeFile(home + "/.cache/huge", 64 * 4096);
    makeDir(home + "/Nothing here");

    QStringList progress;
    std::mutex lock; // reports come from the measuring threads
    const auto outcome =
        DiskMapScanner::runScan(requestFor(home), CancelToken(), [&](const QString& t) {
            std::lock_guard<std::mutex> guard(lock);
            progress << t;
        });
    ASSERT_TRUE(std::holds_alternative<DiskMapResult>(outcome));
    const DiskMapResult& result = std::get<DiskMapResult>(outcome);
    const MapNode& root = result.root;
    EXPECT_EQ(root.id, home);
    EXPECT_EQ(root.category, DiskMapCategory::Unknown);
    EXPECT_TRUE(root.isDirectory);
    EXPECT_EQ(names(root), QStringList({"Documents", "disk.img", "B-notes", "a-notes", "b-notes"}));
    EXPECT_EQ(root.sizeBytes, 16384 + allocated(home + "/Documents") + 8192 + 3 * 4096);
    EXPECT_EQ(root.fileCount, 5);
    EXPECT_FALSE(root.children[1].isDirectory);
    EXPECT_EQ(result.unreadableFolders, 0);
    EXPECT_EQ(result.cloudFoldersSkipped, 0);
    // One report per item at least, and one that counts them all.
    ASSERT_GE(progress.size(), 6);
    EXPECT_EQ(progress.filter(QString::fromUtf8("6 of 6 folders done")).size(), 1);
}

// A visible folder of home is the user's own here, whatever its name means on other systems:
// the map and the folder browser both show it, with what du counts.
TEST(DiskMapScan, VisibleFoldersOfEveryNameAreMeasuredAndListed) {
    const QString home = testsupport::freshDir("scan-names");
    const QStringList visible = {"Library", "Applications", "Public", "Parallels",
                                 "Virtual Machines.localized"};
    for (const QString& name : visible)
        makeFile(home + "/" + name + "/inside.bin", 8 * 4096);
    makeFile(home + "/.Trash/old", 4096);
    makeFile(home + "/.cache/huge", 64 * 4096);
    const auto outcome = DiskMapScanner::runScan(requestFor(home), CancelToken(), {});
    ASSERT_TRUE(std::holds_alternative<DiskMapResult>(outcome));
    const MapNode& root = std::get<DiskMapResult>(outcome).root;
    QStringList mapped = names(root);
    mapped.sort();
    QStringList expected = visible;
    expected.sort();
    EXPECT_EQ(mapped, expected);
    for (const MapNode& item : root.children)
        EXPECT_EQ(item.sizeBytes, duOf(item.id).bytes) << item.id.toStdString();

    const FolderTree::Listing listing = FolderTree::listFolder(home);
    ASSERT_TRUE(listing);
    QStringList browsed;
    for (const FolderTree::Listed& item : *listing)
        if (FolderTree::makeEntry(item, true))
            browsed << item.name;
    browsed.sort();
    EXPECT_EQ(browsed, expected);
}

// A file of two names in two folders counts once, and always in the same folder: the one first
// by path, whatever the order the folders were made in (which sets the order a directory lists
// them on some file systems) and however many threads walk.
TEST(DiskMapScan, AHardLinkedFileStaysInOneFolderFromScanToScan) {
    const QList<std::pair<QString, QString>> pairs = {
        {"LinkA", "LinkB"}, {"LinkB", "LinkA"}, {"a", "b"}, {"b", "a"}, {"x1", "x2"}, {"x2", "x1"}};
    constexpr qint64 kFile = 64 * 4096;
    int tree = 0;
    for (const auto& [madeFirst, madeSecond] : pairs) {
        const QString home = testsupport::freshDir(QStringLiteral("scan-link-%1").arg(tree++));
        makeDir(home + "/" + madeFirst);
        makeDir(home + "/" + madeSecond);
        makeFile(home + "/" + madeSecond + "/movie.bin", kFile);
        ASSERT_EQ(::link(QFile::encodeName(home + "/" + madeSecond + "/movie.bin").constData(),
                         QFile::encodeName(home + "/" + madeFirst + "/movie.bin").constData()),
                  0);
        const QString owner = std::min(madeFirst, madeSecond);
        const QString other = std::max(madeFirst, madeSecond);
        for (int threads : {1, 4, 4, 4}) {
            SCOPED_TRACE((home + " threads " + QString::number(threads)).toStdString());
            DiskMapScanner::Request request = requestFor(home);
            request.measure.walkerThreads = threads;
            const auto outcome = DiskMapScanner::runScan(request, CancelToken(), {});
            ASSERT_TRUE(std::holds_alternative<DiskMapResult>(outcome));
            const MapNode& root = std::get<DiskMapResult>(outcome).root;
            const MapNode* holder = childNamed(root, owner);
            ASSERT_NE(holder, nullptr);
            EXPECT_EQ(holder->sizeBytes, allocated(home + "/" + owner) + kFile);
            const MapNode* empty = childNamed(root, other);
            EXPECT_TRUE(!empty || empty->sizeBytes < kFile);
        }
    }
}

TEST(DiskMapScan, UserFoldersKeepTheirCategoryUnderAnyName) {
    const QString home = testsupport::freshDir("scan-xdg");
    makeFile(home + "/Téléchargements/setup.run", 4096);
    HomeLayout layout = HomeLayout::forHome(home);
    layout.setDownloadsDir(home + "/Téléchargements");
    DiskMapScanner::Request request = DiskMapScanner::requestFor(layout);
    request.measure.diskUsage = std::make_shared<FakeDiskUsage>();
    const auto outcome = DiskMapScanner::runScan(request, CancelToken(), {});
    const MapNode& folder = std::get<DiskMapResult>(outcome).root.children.at(0);
    EXPECT_EQ(folder.category, DiskMapCategory::DownloadsLimbo);
}

TEST(DiskMapScanner, ScanPublishesOnTheMainThread) {
    const QString home = testsupport::freshDir("scanner");
    makeFile(home + "/Music/song.mp3", 8192);
    DiskMapScanner scanner(requestFor(home));
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    EXPECT_EQ(scanner.scanGeneration(), 0u);

    scanner.scan();
    EXPECT_EQ(scanner.state(),
              DiskMapScanner::State::running(DiskMapScanner::Progress("Opening your home folder")));
    EXPECT_FALSE(scanner.result());
    ASSERT_TRUE(settled(scanner));
    EXPECT_EQ(scanner.state().phase, Kind::Done);
    ASSERT_TRUE(scanner.result());
    EXPECT_EQ(names(scanner.result()->root), QStringList({"Music"}));
    EXPECT_EQ(scanner.result()->root.children[0].category, DiskMapCategory::Media);

    // A new scan drops the old result at once, then says once that it runs, at its first words.
    QList<DiskMapScanner::State> seen;
    QList<bool> withResult;
    QObject::connect(&scanner, &DiskMapScanner::stateChanged, [&] {
        seen << scanner.state();
        withResult << bool(scanner.result());
    });
    scanner.scan();
    EXPECT_FALSE(scanner.result());
    EXPECT_EQ(seen, QList<DiskMapScanner::State>({DiskMapScanner::State::running()}));
    EXPECT_EQ(withResult, QList<bool>({false}));
    EXPECT_EQ(seen.first().progress.text, DiskMapScanner::openingText());
    // A restart of a scan that moved on goes back to them.
    scanner.applyProgress(scanner.scanGeneration(), "halfway");
    scanner.scan();
    EXPECT_EQ(scanner.state().progress.text, DiskMapScanner::openingText());
    ASSERT_TRUE(settled(scanner));
}

TEST(DiskMapScanner, LateProgressNeverRevivesAFinishedScan) {
    const QString home = testsupport::freshDir("late");
    makeFile(home + "/Docs/a.txt", 4096);
    DiskMapScanner scanner(requestFor(home));
    scanner.scan();
    const quint64 generation = scanner.scanGeneration();
    scanner.applyProgress(generation, "halfway");
    EXPECT_EQ(scanner.state().progress.text, "halfway");
    scanner.applyProgress(generation - 1, "stale");
    EXPECT_EQ(scanner.state().progress.text, "halfway");
    ASSERT_TRUE(settled(scanner));
    drain();
    ASSERT_EQ(scanner.state().phase, Kind::Done);
    scanner.applyProgress(generation, "Measured 4 KB across 1 files");
    EXPECT_EQ(scanner.state().phase, Kind::Done);

    DiskMapScanner failing(requestFor(home + "/missing"));
    failing.scan();
    ASSERT_TRUE(settled(failing));
    failing.applyProgress(failing.scanGeneration(), "late");
    EXPECT_EQ(failing.state(), DiskMapScanner::State::failed(DiskMapScanner::unreadableHomeText()));
}

TEST(DiskMapScanner, CancelStopsQuietly) {
    const QString home = testsupport::freshDir("stop");
    makeFile(home + "/Docs/a.txt", 4096);
    DiskMapScanner scanner(requestFor(home));
    QSignalSpy states(&scanner, &DiskMapScanner::stateChanged);

    scanner.cancel(); // idle: nothing happens
    EXPECT_EQ(scanner.scanGeneration(), 0u);
    EXPECT_EQ(states.count(), 0);

    scanner.scan();
    scanner.cancel();
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    EXPECT_EQ(scanner.scanGeneration(), 2u);
    drain();
    // The stopped scan's outcome ("Scan stopped." or a result) was stale when it came.
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    EXPECT_FALSE(scanner.result());

    scanner.scan();
    ASSERT_TRUE(settled(scanner));
    drain();
    const quint64 generation = scanner.scanGeneration();
    scanner.cancel(); // done: nothing happens
    EXPECT_EQ(scanner.state().phase, Kind::Done);
    EXPECT_EQ(scanner.scanGeneration(), generation);
    EXPECT_TRUE(scanner.result());
}

TEST(DiskMapScanner, ANewScanSupersedesTheRunningOne) {
    const QString home = testsupport::freshDir("supersede");
    for (int i = 0; i < 20; ++i)
        makeFile(home + QStringLiteral("/Docs/d%1/f.txt").arg(i), 4096);
    DiskMapScanner scanner(requestFor(home));
    int results = 0;
    int failures = 0;
    QObject::connect(&scanner, &DiskMapScanner::resultChanged,
                     [&] { results += bool(scanner.result()); });
    QObject::connect(&scanner, &DiskMapScanner::stateChanged,
                     [&] { failures += scanner.state().phase == Kind::Failed; });
    scanner.scan();
    scanner.scan();
    EXPECT_EQ(scanner.state().progress.text, DiskMapScanner::openingText());
    ASSERT_TRUE(settled(scanner));
    drain();
    EXPECT_EQ(results, 1);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(scanner.state().phase, Kind::Done);
}

TEST(DiskMapScanner, GoneScannerDropsWhatArrives) {
    const QString home = testsupport::freshDir("gone");
    makeFile(home + "/Docs/a.txt", 4096);
    auto scanner = std::make_unique<DiskMapScanner>(requestFor(home));
    scanner->scan();
    scanner.reset();
    drain(); // nothing may touch the destroyed scanner
    SUCCEED();
}
