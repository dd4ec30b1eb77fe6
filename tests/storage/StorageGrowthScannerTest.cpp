// The storage growth buckets: where each one looks, what a place measures, and how scans start,
// publish and keep the previous result meanwhile.
#include "storage/StorageGrowthScanner.h"
#include "cleaning/CleaningTestSupport.h"
#include "fakes/FakeClock.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderTree.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <semaphore>

using namespace cleaningtest;
using Bucket = StorageGrowthScanner::Bucket;
using Kind = ScanPhase;

namespace {

QStringList ids(const QList<Bucket>& buckets) {
    return testsupport::strings(buckets, &Bucket::id);
}

} // namespace

TEST(StorageGrowthBuckets, SevenBucketsInTableOrderPlacedForThisHome) {
    HomeLayout layout = HomeLayout::forHome("/home/ada");
    layout.setSystemRoot("/sandbox");
    const auto defs = StorageGrowthScanner::definitions(layout);
    QStringList order;
    for (const auto& d : defs)
        order << d.id;
    EXPECT_EQ(order,
              QStringList({"apps", "developer", "mail", "photos", "cloud", "downloads", "caches"}));
    // Applications live in /opt, Flatpak's folders and the home's Applications folder here.
    EXPECT_EQ(defs[0].locations,
              QStringList({"/sandbox/opt", "/sandbox/var/lib/flatpak/app", "/home/ada/Applications",
                           "/home/ada/.local/share/flatpak/app"}));
    EXPECT_EQ(defs[0].detail, "Apps in /opt, Flatpak and your Applications folder.");
    EXPECT_EQ(defs[0].featureID, "uninstaller");
    EXPECT_EQ(defs[0].icon, "app");
    EXPECT_EQ(defs[1].locations.size(), 9);
    EXPECT_TRUE(defs[1].locations.contains("/home/ada/.cargo"));
    EXPECT_TRUE(defs[1].locations.contains(layout.map("Library/Caches/Homebrew")));
    EXPECT_EQ(defs[3].locations.first(), layout.picturesDir());
    EXPECT_EQ(defs[5].locations, QStringList({layout.downloadsDir()}));
    EXPECT_EQ(defs[6].locations, QStringList({layout.cacheHome()}));
    EXPECT_EQ(defs[6].name, "System & app caches");
}

TEST(StorageGrowthBuckets, EqualSizesKeepTheirOrderOfCompletion) {
    QList<Bucket> list = {{"a", "", "", "", 5, {}},
                          {"b", "", "", "", 9, {}},
                          {"c", "", "", "", 5, {}},
                          {"d", "", "", "", 0, {}}};
    StorageGrowthScanner::sortBuckets(list);
    EXPECT_EQ(ids(list), QStringList({"b", "a", "c", "d"}));
}

TEST(StorageGrowthMeasure, APlaceUsesWhatDuAndBrowseStorageCount) {
    const QString root = testsupport::freshDir("growth-place");
    writeFile(root + "/top.bin", 10'000);
    writeFile(root + "/.hidden/inside.bin", 20'000);
    writeFile(root + "/Some.app/Contents/MacOS/tool", 30'000);
    writeFile(root + "/deep/a/b.bin", 5'000);
    symlinkTo(root + "/top.bin", root + "/link.bin");
    ASSERT_EQ(::link(QFile::encodeName(root + "/top.bin").constData(),
                     QFile::encodeName(root + "/deep/hard.bin").constData()),
              0);
    QDir().mkpath(root + "/empty/inside");
    // Hidden files, package contents, the folders' own blocks and the symlink itself count; the
    // second name of a file does not.
    const qint64 used = StorageGrowthScanner::measureLocation(root);
    EXPECT_EQ(used, diskmaptest::duOf(root).bytes);
    EXPECT_EQ(used, FolderTree::measureFolder(root).bytes);
    EXPECT_GT(used, findRegularFiles(root).bytes);
    EXPECT_EQ(StorageGrowthScanner::measureLocation(root + "/top.bin"),
              allocated(root + "/top.bin"));
    EXPECT_EQ(StorageGrowthScanner::measureLocation(root + "/missing"), 0);
}

TEST(StorageGrowthScanner, AnEmptyHomeGivesSevenEmptyBucketsAndAStamp) {
    HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("growth-empty"));
    layout.setSystemRoot(layout.home() + "/no-such-system");
    auto clock = std::make_shared<FakeClock>();
    StorageGrowthScanner::Deps options;
    options.clock = clock;
    StorageGrowthScanner scanner(layout, options);
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    EXPECT_FALSE(scanner.lastRun());
    EXPECT_EQ(scanner.totalBytes(), 0);

    QList<QString> order;
    QObject::connect(&scanner, &StorageGrowthScanner::bucketsChanged, &scanner,
                     [&] { order << "buckets"; });
    QObject::connect(&scanner, &StorageGrowthScanner::lastRunChanged, &scanner,
                     [&] { order << "lastRun"; });
    QObject::connect(&scanner, &StorageGrowthScanner::stateChanged, &scanner,
                     [&] { order << "state"; });
    scanner.scan();
    EXPECT_EQ(scanner.state().phase, Kind::Running);
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    EXPECT_EQ(scanner.buckets().size(), 7);
    for (const Bucket& b : scanner.buckets())
        EXPECT_EQ(b.bytes, 0) << b.id.toStdString();
    EXPECT_EQ(scanner.totalBytes(), 0);
    EXPECT_EQ(scanner.lastRun(), clock->now());
    EXPECT_EQ(order, QList<QString>({"state", "buckets", "lastRun", "state"}));
}

TEST(StorageGrowthScanner, BucketsAreSortedLargestFirstWithTheirOwnBytes) {
    const QString base = testsupport::freshDir("growth-home");
    HomeLayout layout = HomeLayout::forHome(base + "/home");
    layout.setSystemRoot(base + "/root");
    writeFile(layout.downloadsDir() + "/movie.mkv", 400'000);
    writeFile(layout.cacheHome() + "/thumbs/a.png", 150'000);
    writeFile(layout.home() + "/.cargo/registry/crate.tar", 200'000);
    // One application in each of the four places applications live in here.
    const QStringList apps = {base + "/root/opt/editor/bin/editor",
                              base + "/root/var/lib/flatpak/app/org.example.Mail/files/mail",
                              layout.home() + "/Applications/Player.AppImage",
                              layout.dataHome() + "/flatpak/app/org.example.Paint/files/paint"};
    for (const QString& app : apps)
        writeFile(app, 20'000);
    StorageGrowthScanner scanner(layout, StorageGrowthScanner::Deps{});
    scanner.scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    ASSERT_EQ(scanner.buckets().size(), 7);
    EXPECT_EQ(ids(scanner.buckets()).mid(0, 4),
              QStringList({"downloads", "developer", "caches", "apps"}));
    EXPECT_EQ(scanner.buckets()[0].bytes, diskmaptest::duOf(layout.downloadsDir()).bytes);
    EXPECT_EQ(scanner.buckets()[0].featureID, "disk");
    qint64 appBytes = 0;
    const auto definitions = StorageGrowthScanner::definitions(layout);
    for (const QString& place : definitions.at(0).locations)
        appBytes += diskmaptest::duOf(place).bytes;
    EXPECT_EQ(scanner.buckets()[3].bytes, appBytes);
    EXPECT_EQ(scanner.totalBytes(), scanner.buckets()[0].bytes + scanner.buckets()[1].bytes +
                                        scanner.buckets()[2].bytes + appBytes);
}

TEST(StorageGrowthScanner, ASecondRequestWhileScanningIsIgnoredAndTheOldResultStaysMeanwhile) {
    const HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("growth-twice"));
    std::counting_semaphore<64> release(0);
    std::atomic<int> measured{0};
    std::atomic<bool> hold{false};
    StorageGrowthScanner::Deps options;
    options.cores = 4;
    options.measure = [&](const QString&, const CancelToken&) -> qint64 {
        ++measured;
        if (hold)
            release.acquire();
        return 7;
    };
    StorageGrowthScanner scanner(layout, options);
    scanner.scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    const int places = measured.load();
    EXPECT_EQ(places, 22); // every place of every bucket, once
    const QList<Bucket> first = scanner.buckets();
    const auto firstRun = scanner.lastRun();

    hold = true;
    QSignalSpy buckets(&scanner, &StorageGrowthScanner::bucketsChanged);
    scanner.scan();
    scanner.scan();
    EXPECT_EQ(scanner.state().phase, Kind::Running);
    EXPECT_EQ(scanner.buckets(), first);
    EXPECT_EQ(scanner.lastRun(), firstRun);
    release.release(places);
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    EXPECT_EQ(measured.load(), 2 * places);
    EXPECT_EQ(buckets.count(), 1);
}
