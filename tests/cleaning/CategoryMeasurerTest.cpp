// The four measuring modes on real trees: full walk against find, age by last opened, the file
// and folder searches' matching, depth and skipping rules, the disk-usage tool, protected
// folders.
#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "fakes/FakeDiskUsage.h"

#include <memory>

using namespace cleaningtest;

namespace {

CleanCategory category(const QStringList& locations) {
    CleanCategory c;
    c.id = "test";
    c.name = "Test";
    c.locations = locations;
    return c;
}

struct Fixture {
    std::shared_ptr<FakeDiskUsage> du = std::make_shared<FakeDiskUsage>();
    CategoryMeasurer measurer;
    explicit Fixture(QStringList protectedPaths = {}, int threads = 0)
        : measurer(du, CategoryMeasurer::Options{threads, protectedPaths}) {}
};

QStringList relative(const QStringList& paths, const QString& root) {
    QStringList out;
    for (const QString& p : paths)
        out << p.mid(root.size() + 1);
    return out;
}

} // namespace

TEST(CategoryMeasurer, FullWalkEqualsFindAndTerminatesOnLoopsAndLinksToRoot) {
    const QString root = testsupport::freshDir("tree");
    writeFile(root + "/one.txt", 3000);
    writeFile(root + "/.hidden/two.bin", 90000);
    writeFile(root + "/a/b/c/three.dat", 12345);
    writeFile(root + "/a/empty.txt", 0);
    ASSERT_EQ(::link(QFile::encodeName(root + "/one.txt").constData(),
                     QFile::encodeName(root + "/a/one-again.txt").constData()),
              0);
    symlinkTo(root + "/a", root + "/a/b/loop");
    symlinkTo("/", root + "/everything");
    const FindSum expected = findWhole(root);
    for (int threads : {1, 4}) {
        Fixture f({}, threads);
        const Measurement m = f.measurer.measureTree(category({root}), CancelToken());
        EXPECT_EQ(m.sizeBytes, expected.bytes) << threads;
        EXPECT_EQ(m.fileCount, expected.files) << threads;
        EXPECT_TRUE(m.eligibleFiles.isEmpty());
    }
    EXPECT_EQ(expected.files, 5);
}

TEST(CategoryMeasurer, FullWalkCountsWhatEmptyingTakesPackagesIncluded) {
    const QString root = testsupport::freshDir("tree-misc");
    writeFile(root + "/single.sqlite", 5000);
    writeFile(root + "/apps/Tool.app/Contents/big.bin", 50000);
    writeFile(root + "/apps/loose.txt", 10);
    Fixture f;
    const Measurement m = f.measurer.measureTree(
        category({root + "/single.sqlite", root + "/missing", root + "/apps"}), CancelToken());
    EXPECT_EQ(m.fileCount, 3);
    EXPECT_EQ(m.sizeBytes, allocated(root + "/single.sqlite") + findWhole(root + "/apps").bytes);
    EXPECT_GT(findWhole(root + "/apps").bytes, allocated(root + "/apps/Tool.app/Contents/big.bin"));
    EXPECT_EQ(f.measurer.measure(category({root + "/missing"})), Measurement());

    // Rows that list old files one by one leave a package whole, as their clean does.
    for (const QString& p : {root + "/apps/Tool.app/Contents/big.bin", root + "/apps/loose.txt"})
        age(p, 400, 400);
    CleanCategory aged = category({root + "/apps"});
    aged.olderThanDays = 180;
    EXPECT_EQ(f.measurer.measure(aged).eligibleFiles, QStringList({root + "/apps/loose.txt"}));
}

TEST(CategoryMeasurer, AgeIsTheLaterOfAccessAndModification) {
    const QString root = testsupport::freshDir("downloads");
    for (const char* name :
         {"old.zip", "changed-yesterday.iso", "opened-last-week.pdf", ".old-hidden.bin"})
        writeFile(root + "/" + name, 4096);
    age(root + "/old.zip", 400, 400);
    // Access times lag on relatime mounts; a file changed yesterday was used yesterday.
    age(root + "/changed-yesterday.iso", 300, 1);
    age(root + "/opened-last-week.pdf", 7, 365);
    age(root + "/.old-hidden.bin", 500, 500);
    CleanCategory c = category({root});
    c.olderThanDays = 180;
    Fixture f;
    const Measurement m = f.measurer.measure(c);
    EXPECT_EQ(relative(m.eligibleFiles, root), QStringList({".old-hidden.bin", "old.zip"}));
    EXPECT_EQ(m.fileCount, 2);
    EXPECT_EQ(m.sizeBytes, allocated(root + "/old.zip") * 2);
}

TEST(CategoryMeasurer, FileSearchMatchesExtensionPrefixDepthAndSkipsHidden) {
    const QString desk = testsupport::freshDir("desktop");
    const QStringList counted = {"Screen Shot 2021-03-04 at 10.00.00.png", "capture.JPEG",
                                 "screenshot 2024.png", "sub/Screenshot from 2024.jpg"};
    const QStringList ignored = {
        "MyScreenshot.png",         "Screenshot.heic",   "sub/deeper/Screenshot a.png",
        ".hidden/Screenshot b.png", ".Screenshot c.png", "Tool.app/Screenshot d.png"};
    for (const QString& n : counted + ignored)
        writeFile(desk + "/" + n, 2048);
    const QStringList bands = {"png", "jpg", "jpeg"};
    CleanCategory c = category({desk, desk + "/not-there"});
    c.fileExtensions = bands;
    c.matchNamePrefixes = {"Screenshot", "Screen Shot", "CleanShot", "Capture"};
    c.maxSearchDepth = 2;
    Fixture f;
    Measurement m = f.measurer.measure(c);
    QStringList expected = counted;
    expected.sort();
    EXPECT_EQ(relative(m.eligibleFiles, desk), expected);
    EXPECT_EQ(m.fileCount, 4);

    // Age bands: opened 40 days ago counts in both bands; yesterday only without an age.
    age(desk + "/capture.JPEG", 40, 40);
    for (const QString& n : QStringList{"Screen Shot 2021-03-04 at 10.00.00.png",
                                        "screenshot 2024.png", "sub/Screenshot from 2024.jpg"})
        age(desk + "/" + n, 1, 1);
    c.olderThanDays = 30;
    EXPECT_EQ(relative(f.measurer.measure(c).eligibleFiles, desk), QStringList({"capture.JPEG"}));
    c.olderThanDays = 7;
    EXPECT_EQ(relative(f.measurer.measure(c).eligibleFiles, desk), QStringList({"capture.JPEG"}));
}

TEST(CategoryMeasurer, ExtensionsAndPrefixesIgnoreCaseAndAllowTwoParts) {
    EXPECT_TRUE(CategoryMeasurer::matchesExtension("Report.BAK", {"bak"}));
    EXPECT_TRUE(CategoryMeasurer::matchesExtension("backup.tar.gz", {"tar.gz"}));
    EXPECT_FALSE(CategoryMeasurer::matchesExtension("backup.tar", {"tar.gz"}));
    EXPECT_FALSE(CategoryMeasurer::matchesExtension("bak", {"bak"}));
    EXPECT_TRUE(CategoryMeasurer::matchesPrefix("screenshot 2024.png", {"screenshot"}));
    EXPECT_FALSE(CategoryMeasurer::matchesPrefix("my screenshot.png", {"screenshot"}));
}

TEST(CategoryMeasurer, FolderSearchDepthNeverEnteredAndNested) {
    const QString root = testsupport::freshDir("projects");
    writeFile(root + "/app/node_modules/left-pad/index.js", 5000);
    writeFile(root + "/app/node_modules/x/node_modules/y/index.js", 5000);
    writeFile(root + "/a/b/c/node_modules/ok.js", 100);         // depth 4
    writeFile(root + "/a/b/c/d/node_modules/too-deep.js", 100); // depth 5
    writeFile(root + "/Library/node_modules/no.js", 100);
    writeFile(root + "/web/.git/node_modules/no.js", 100);
    writeFile(root + "/.hidden/node_modules/no.js", 100);
    writeFile(root + "/file/node_modules", 100); // a file, not a folder
    symlinkTo(root + "/app/node_modules", root + "/linked-node_modules");
    CleanCategory c = category({root, root + "/absent"});
    c.matchFolderNames = {"node_modules"};
    c.maxSearchDepth = 4;
    c.quickSize = true;
    Fixture f;
    f.du->setSize(root + "/app/node_modules", 10 * 1024);
    f.du->setSize(root + "/a/b/c/node_modules", 4 * 1024);
    const Measurement quick = f.measurer.measure(c);
    EXPECT_EQ(relative(quick.eligibleFiles, root),
              QStringList({"a/b/c/node_modules", "app/node_modules"}));
    EXPECT_EQ(quick.fileCount, 2);
    EXPECT_EQ(quick.sizeBytes, 14 * 1024);

    c.quickSize = false;
    const Measurement walked = f.measurer.measure(c);
    EXPECT_EQ(walked.eligibleFiles, quick.eligibleFiles);
    EXPECT_EQ(walked.fileCount, 3);
    EXPECT_EQ(walked.sizeBytes, findWhole(root + "/app/node_modules", true).bytes +
                                    findWhole(root + "/a/b/c/node_modules", true).bytes);
}

TEST(CategoryMeasurer, QuickSizeAsksTheToolForWhatEachLocationHolds) {
    const QString root = testsupport::freshDir("quick");
    writeFile(root + "/one/a.bin", 4096);
    QDir().mkpath(root + "/one/sub");
    writeFile(root + "/two/.hidden", 100);
    QDir().mkpath(root + "/empty"); // an emptied cache: nothing, and not even asked
    writeFile(root + "/file.bin", 100);
    Fixture f;
    f.du->setSize(root + "/one", allocated(root + "/one") + 8192);
    f.du->setSize(root + "/two", allocated(root + "/two") + 4096);
    f.du->setSize(root + "/empty", allocated(root + "/empty"));
    f.du->setSize(root + "/file.bin", 4096);
    CleanCategory c = category(
        {root + "/one", root + "/missing", root + "/empty", root + "/two", root + "/file.bin"});
    c.quickSize = true;
    c.olderThanDays = 30; // plays no part
    // The folders' own blocks stay behind after a clean; the items are what lies in them.
    EXPECT_EQ(f.measurer.measure(c), (Measurement{8192 + 4096 + 4096, 2 + 1 + 1, {}}));
    EXPECT_EQ(f.du->asked(), QStringList({root + "/one", root + "/two", root + "/file.bin"}));

    CleanCategory emptied = category({root + "/empty"});
    emptied.quickSize = true;
    EXPECT_EQ(f.measurer.measure(emptied), Measurement{});
}

TEST(CategoryMeasurer, ProtectedFoldersAreNeverMeasured) {
    const HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("protected-home"));
    writeFile(layout.cacheHome() + "/pip/wheel.whl", 8192);
    writeFile(layout.cacheHome() + "/Pendrel/run/socket-lock", 8192);
    Fixture f(CleanupScanner::protectedPathsFor(layout));
    const Measurement m = f.measurer.measure(category({layout.cacheHome()}));
    EXPECT_EQ(m.fileCount, 1);
    EXPECT_EQ(m.sizeBytes, findWhole(layout.cacheHome() + "/pip", true).bytes);

    // A folder that holds a protected one is never moved, so it counts for nothing.
    writeFile(layout.appSupportDir() + "/timeline.json", 8192);
    writeFile(layout.stateHome() + "/app/state.bin", 8192);
    const Measurement above = f.measurer.measure(category({layout.home() + "/.local"}));
    EXPECT_EQ(above.fileCount, 1);
    EXPECT_EQ(above.sizeBytes, findWhole(layout.stateHome(), true).bytes);
}
