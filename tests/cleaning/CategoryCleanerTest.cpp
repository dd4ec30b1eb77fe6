// Cleaning: what each kind of row moves, the Trash row's permanent erase, the order and
// double-move rules, failure lines, the Docker row, and names that are not plain text.
#include "cleaning/CategoryCleaner.h"
#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleanerHome.h"
#include "cleaning/CleanerPaneText.h"
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "fakes/FakeDiskUsage.h"
#include "fakes/FakeTrash.h"
#include "platform/ByteFormat.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HomeLayout.h"
#include "platform/NativePath.h"

using namespace cleaningtest;

TEST(CategoryCleaner, LocationRowsMoveEveryChildAndKeepTheFolder) {
    Home h("clean-caches");
    const QString cache = h.layout.cacheHome();
    writeFile(cache + "/pip/http/a.bin", 5000);
    writeFile(cache + "/.hidden-tool/b.bin", 3000);
    writeFile(cache + "/loose.txt", 10);
    symlinkTo("/", cache + "/link-to-root");
    const qint64 expected = findWhole(cache).bytes;

    const CleanResult r = h.cleaner.clean(h.junk, {"caches"});
    EXPECT_EQ(r.freedBytes, expected);
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();
    QStringList moved = h.trash->moved();
    moved.sort();
    EXPECT_EQ(moved, QStringList({cache + "/.hidden-tool", cache + "/link-to-root",
                                  cache + "/loose.txt", cache + "/pip"}));
    EXPECT_TRUE(QFileInfo(cache).isDir());
    EXPECT_TRUE(
        QDir(cache).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));

    EXPECT_EQ(h.cleaner.clean(h.junk, {}).freedBytes, 0);
}

TEST(CategoryCleaner, TheCachesRowNeverTouchesTheAppsOwnFolders) {
    Home h("clean-own");
    writeFile(h.layout.cacheHome() + "/Pendrel/run/lock", 10);
    writeFile(h.layout.cacheHome() + "/other/x", 10);
    const CleanResult r = h.cleaner.clean(h.junk, {"caches"});
    EXPECT_TRUE(r.failures.isEmpty());
    EXPECT_EQ(h.trash->moved(), QStringList({h.layout.cacheHome() + "/other"}));
    EXPECT_TRUE(QFileInfo::exists(h.layout.cacheHome() + "/Pendrel/run/lock"));

    // Nor a folder that holds one of them (a data home placed inside the cache folder).
    HomeLayout odd = h.layout;
    odd.setDataHome(h.layout.cacheHome() + "/share");
    writeFile(odd.appSupportDir() + "/timeline.v1.json", 10);
    CategoryCleaner cleaner(h.trash, CleanupScanner::protectedPathsFor(odd));
    cleaner.clean(CleanCategory::diskCategories(odd), {"caches"});
    EXPECT_TRUE(QFileInfo::exists(odd.appSupportDir() + "/timeline.v1.json"));
}

TEST(CategoryCleaner, FoundItemRowsMoveOnlyWhatWasMeasuredAndStillQualifies) {
    Home h("clean-downloads");
    const QString dl = h.layout.downloadsDir();
    writeFile(dl + "/fresh.pdf", 100);
    const QStringList names = {"kept.iso",  "opened.iso",   "rewritten.iso",
                               "grown.iso", "replaced.iso", "now-a-link.iso"};
    for (const QString& name : names) {
        writeFile(dl + "/old/" + name, 8000);
        age(dl + "/old/" + name, 365, 365);
    }
    h.measure(h.junk);
    ASSERT_EQ(h.row("downloads").eligibleFiles.size(), names.size());

    // Between the measurement and the clean: opened, rewritten, grown with its old date put back,
    // replaced by another file of the same size and dates, replaced by a symlink.
    age(dl + "/old/opened.iso", 0, 365);
    writeFile(dl + "/old/rewritten.iso", 8000);
    writeFile(dl + "/old/grown.iso", 9000);
    age(dl + "/old/grown.iso", 365, 365);
    writeFile(dl + "/old/other.iso", 8000);
    age(dl + "/old/other.iso", 365, 365);
    ASSERT_EQ(::rename(QFile::encodeName(dl + "/old/other.iso").constData(),
                       QFile::encodeName(dl + "/old/replaced.iso").constData()),
              0);
    QFile::remove(dl + "/old/now-a-link.iso");
    symlinkTo(dl + "/fresh.pdf", dl + "/old/now-a-link.iso");

    const CleanResult r = h.cleaner.clean(h.junk, {"downloads"});
    EXPECT_EQ(h.trash->moved(), QStringList({dl + "/old/kept.iso"}));
    EXPECT_EQ(r.freedBytes, allocated(h.trash->trashedAs(dl + "/old/kept.iso")));
    const QString reason = ": Changed since it was measured, so it was left in place";
    EXPECT_EQ(r.failures,
              QStringList({"grown.iso" + reason, "now-a-link.iso" + reason, "opened.iso" + reason,
                           "replaced.iso" + reason, "rewritten.iso" + reason}));
    EXPECT_TRUE(QFileInfo(dl + "/old").isDir());
    EXPECT_TRUE(QFileInfo::exists(dl + "/fresh.pdf"));

    // Before any scan a found-items row has nothing to move.
    Home fresh("clean-unscanned");
    writeFile(fresh.layout.downloadsDir() + "/x.bak", 10);
    EXPECT_EQ(fresh.cleaner.clean(fresh.junk, {"db-backups"}).freedBytes, 0);
    EXPECT_TRUE(fresh.trash->moved().isEmpty());
}

TEST(CategoryCleaner, TrashRowErasesForGoodAndGoesFirst) {
    Home h("clean-trash");
    writeFile(h.trash->itemsFolder() + "/thrown-away.txt", 5000);
    writeFile(h.layout.cacheHome() + "/cache.bin", 5000);
    // Chosen together with the caches: the Trash is emptied before the caches are moved into it,
    // so the caches can still be put back.
    const CleanResult r = h.cleaner.clean(h.junk, {"caches", "trash"});
    EXPECT_TRUE(r.failures.isEmpty());
    EXPECT_EQ(h.trash->erased(), QStringList({h.trash->itemsFolder() + "/thrown-away.txt"}));
    EXPECT_EQ(h.trash->moved(), QStringList({h.layout.cacheHome() + "/cache.bin"}));
    EXPECT_TRUE(QFileInfo::exists(h.trash->itemsFolder() + "/cache.bin"));
    EXPECT_FALSE(QFileInfo::exists(h.trash->itemsFolder() + "/thrown-away.txt"));
}

TEST(CategoryCleaner, AnItemMovedByAnEarlierRowIsNotReportedAgain) {
    Home h("clean-overlap");
    QList<CleanCategory> shots = ScreenshotCleanupScanner::categories(h.layout);
    const QString shot = h.layout.desktopDir() + "/Screenshot 1.png";
    writeFile(shot, 4096);
    age(shot, 40, 40);
    h.measure(shots);
    ASSERT_EQ(shots[0].eligibleFiles, QStringList({shot}));
    ASSERT_EQ(shots[1].eligibleFiles, QStringList({shot}));
    const CleanResult r =
        h.cleaner.clean(shots, {"screenshots-7", "screenshots-30", "screenshots-all"});
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();
    EXPECT_EQ(r.freedBytes, allocated(h.trash->trashedAs(shot)));
    EXPECT_EQ(h.trash->moved(), QStringList({shot}));
}

TEST(CategoryCleaner, OverlappingRowsAskForWhatTheCleanFrees) {
    Home h("clean-overlap-total");
    QList<CleanCategory> shots = ScreenshotCleanupScanner::categories(h.layout);
    const QString week = h.layout.desktopDir() + "/Screenshot week.png";
    const QString month = h.layout.desktopDir() + "/Screenshot month.png";
    writeFile(week, 4096);
    writeFile(month, 4096);
    age(week, 10, 10);
    age(month, 40, 40);
    h.measure(shots);
    ASSERT_EQ(shots[0].sizeBytes + shots[1].sizeBytes, 3 * allocated(week));

    const QSet<QString> ticked = {"screenshots-7", "screenshots-30"};
    const qint64 asked = CleanerPaneText::selectedBytes(shots, ticked);
    EXPECT_EQ(asked, allocated(week) + allocated(month));
    EXPECT_EQ(CleanerPaneText::confirmTitle(asked), "Clean 8 KB?");
    const CleanResult r = h.cleaner.clean(shots, ticked);
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();
    EXPECT_EQ(r.freedBytes, asked);
}

TEST(CategoryCleaner, AnEmptiedCacheMeasuresNothingAndCannotBeCleanedAgain) {
    Home h("clean-emptied");
    QList<CleanCategory> dev = CleanCategory::devCategories(h.layout);
    CleanCategory& gradle = dev[CleanCategories::indexOf(dev, "dev-gradle")];
    ASSERT_TRUE(gradle.quickSize);
    const QString caches = gradle.locations.first();
    writeFile(caches + "/modules-2/lib.jar", 8192);
    // The tool counts the folder's own blocks as well, full or empty.
    const auto du = std::make_shared<FakeDiskUsage>();
    du->setSize(caches, allocated(caches) + allocated(caches + "/modules-2") +
                            allocated(caches + "/modules-2/lib.jar"));
    const CategoryMeasurer measurer(du, {1, CleanupScanner::protectedPathsFor(h.layout)});
    gradle.setMeasurement(measurer.measure(gradle));
    EXPECT_EQ(gradle.sizeBytes,
              allocated(caches + "/modules-2") + allocated(caches + "/modules-2/lib.jar"));
    EXPECT_EQ(gradle.fileCount, 1);
    EXPECT_TRUE(CleanerPaneText::canClean(dev, {"dev-gradle"}));

    const CleanResult r = h.cleaner.clean(dev, {"dev-gradle"});
    ASSERT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();
    ASSERT_TRUE(QFileInfo(caches).isDir());
    du->setSize(caches, allocated(caches));
    gradle.setMeasurement(measurer.measure(gradle));
    EXPECT_EQ(gradle.measurement(), Measurement{});
    EXPECT_FALSE(CleanerPaneText::canClean(dev, {"dev-gradle"}));
    EXPECT_EQ(CleanerPaneText::selectedBytes(dev, {"dev-gradle"}), 0);
}

TEST(CategoryCleaner, FailuresGiveOneLineEachAndTheRestGoesOn) {
    Home h("clean-fail");
    const QString cache = h.layout.cacheHome();
    writeFile(cache + "/locked.db", 10);
    writeFile(cache + "/free.db", 10);
    h.trash->failFor(cache + "/locked.db", "Permission denied");
    const CleanResult r = h.cleaner.clean(h.junk, {"caches"});
    EXPECT_EQ(r.failures, QStringList({"locked.db: Permission denied"}));
    EXPECT_EQ(r.freedBytes, allocated(h.trash->trashedAs(cache + "/free.db")));

    // A file gone since the scan is a failure too (it was not moved by this clean).
    h.measure(h.junk);
    writeFile(h.layout.documentsDir() + "/db.bak", 10);
    h.measure(h.junk);
    QFile::remove(h.layout.documentsDir() + "/db.bak");
    EXPECT_EQ(h.cleaner.clean(h.junk, {"db-backups"}).failures,
              QStringList({"db.bak: No such file or directory"}));
}

TEST(CategoryCleaner, RowsThatAreNotRemovableOrNotChosenAreLeftAlone) {
    Home h("clean-locked");
    const QString profile = h.layout.home() + "/.thunderbird/p.default";
    const QString index = profile + "/global-messages-db.sqlite";
    const QStringList mail = {profile + "/Mail/Local Folders/Inbox",
                              profile + "/ImapMail/imap.example/INBOX"};
    writeFiles(mail + QStringList{index});
    QList<CleanCategory> rows = MailCleanupScanner::locations(h.layout);
    const CleanResult r = h.cleaner.clean(rows, {"mail-tb-local", "mail-tb-index", "no-such-id"});
    EXPECT_TRUE(r.failures.isEmpty());
    // The search index is a single-file location: the file itself goes.
    EXPECT_EQ(h.trash->moved(), QStringList({index}));
    expectStill(mail);
}

TEST(CategoryCleaner, DockerRowCleansOnlyTheDesktopVirtualMachine) {
    Home h("clean-docker");
    const QString docker = h.layout.home() + "/.docker";
    const QStringList settings = {docker + "/config.json", docker + "/contexts/meta/x/meta.json",
                                  docker + "/cli-plugins/docker-compose"};
    writeFiles(settings);
    writeFile(docker + "/desktop/vms/0/data/Docker.raw", 100000);
    QList<CleanCategory> dev = CleanCategory::devCategories(h.layout);
    const CleanResult r = h.cleaner.clean(dev, {"dev-docker"});
    EXPECT_TRUE(r.failures.isEmpty());
    EXPECT_EQ(h.trash->moved(), QStringList({docker + "/desktop/vms/0"}));
    expectStill(settings);
}

TEST(CategoryCleaner, ItemSizeCountsEverythingButFollowsNothing) {
    const QString dir = testsupport::freshDir("itemsize");
    writeFile(dir + "/f/.hidden", 5000);
    writeFile(dir + "/f/App.app/Contents/bin", 5000);
    symlinkTo("/", dir + "/f/root");
    symlinkTo(dir + "/f", dir + "/alias");
    EXPECT_EQ(CategoryCleaner::itemSize(dir + "/f"), findWhole(dir + "/f", true).bytes);
    EXPECT_EQ(CategoryCleaner::itemSize(dir + "/alias"), allocated(dir + "/alias"));
    EXPECT_EQ(CategoryCleaner::itemSize(dir + "/absent"), 0);

    // Names of one file in two items of a clean: its blocks count with the first only.
    writeFile(dir + "/g/data", 9000);
    ASSERT_EQ(::link(QFile::encodeName(dir + "/g/data").constData(),
                     QFile::encodeName(dir + "/f/data-again").constData()),
              0);
    CategoryCleaner::CountedLinks counted;
    const qint64 f = CategoryCleaner::itemSize(dir + "/f", &counted);
    EXPECT_EQ(f + CategoryCleaner::itemSize(dir + "/g", &counted),
              findWhole(dir + "/f", true).bytes + allocated(dir + "/g"));
    EXPECT_EQ(CategoryCleaner::failureLine("/a/b/name.txt", "Busy"), "name.txt: Busy");
}

TEST(CategoryCleaner, NamesThatAreNotUtf8OrVeryLongGoToTheTrashAndOutOfItByteForByte) {
    Home h("clean-names");
    auto trash = std::make_shared<FreedesktopTrash>(h.layout.trashDir());
    const CategoryCleaner cleaner(trash, CleanupScanner::protectedPathsFor(h.layout));
    const QByteArray cache = NativePath::encode(h.layout.cacheHome());
    ASSERT_TRUE(QDir().mkpath(h.layout.cacheHome()));
    const QByteArray folder = cache + "/tool\xff";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QByteArray inner = folder + "/caf\xe9.bin";
    const QByteArray longName = cache + "/" + QByteArray(250, 'l');
    for (const QByteArray& file : {inner, longName}) {
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "12345678", 8), 8);
        ::close(fd);
    }
    h.measure(h.junk);
    EXPECT_EQ(h.row("caches").fileCount, 2);

    CleanResult r = cleaner.clean(h.junk, {"caches"});
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();
    EXPECT_GT(r.freedBytes, 0);
    struct stat st;
    EXPECT_NE(::lstat(folder.constData(), &st), 0);
    EXPECT_NE(::lstat(longName.constData(), &st), 0);
    const QByteArray items = NativePath::encode(trash->itemsFolder());
    EXPECT_EQ(::lstat((items + "/tool\xff/caf\xe9.bin").constData(), &st), 0);

    // The Trash row then empties both, records included.
    h.measure(h.junk);
    EXPECT_EQ(h.row("trash").fileCount, 2);
    r = cleaner.clean(h.junk, {"trash"});
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();
    EXPECT_TRUE(CategoryCleaner::children(trash->itemsFolder()).isEmpty());
    EXPECT_TRUE(CategoryCleaner::children(trash->infoFolder()).isEmpty());
}
