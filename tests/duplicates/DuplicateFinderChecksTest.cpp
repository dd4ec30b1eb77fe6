// What the exact finder looks at just before it moves a copy: the copies' bytes again, names
// that are not UTF-8, and the sandbox's real Trash.
#include "duplicates/DuplicateFinder.h"
#include "duplicates/DuplicateFinderTestSupport.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HomeLayout.h"

using namespace duptest;

TEST(DuplicateFinder, TrashesIntoTheSandboxTrash) {
    const HomeLayout layout = HomeLayout::fromEnvironment();
    ASSERT_EQ(layout.home(), testsupport::home());
    DuplicateFinder finder(std::make_shared<FreedesktopTrash>(layout.trashDir()));
    const QString dir = folderWith("sandbox", 2, 2500, 7);
    finder.scan(dir);
    ASSERT_TRUE(testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; }));
    ASSERT_EQ(finder.groups().size(), 1);
    const qint64 copy1 = onDisk(dir + "/copy1");
    const DuplicateFinder::TrashResult r = finder.trash(finder.groups()[0], dir + "/copy0");
    EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join("; ").toStdString();
    EXPECT_EQ(r.freedBytes, copy1);
    EXPECT_TRUE(QFileInfo::exists(dir + "/copy0"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/copy1"));
    EXPECT_TRUE(QFileInfo::exists(layout.trashDir() + "/files/copy1"));
    QFile info(layout.trashDir() + "/info/copy1.trashinfo");
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("Path=" + FreedesktopTrash::encodePath(dir + "/copy1")));
}

// A copy whose name is not UTF-8 goes to the Trash by its own bytes and is kept by them: the file
// Qt's lossy decoding names instead (U+FFFD for the bad byte) is another file, or a symlink, and
// is never moved or asked about.
TEST(DuplicateFinder, ANameThatIsNotUtf8IsTrashedAndKeptByItsOwnBytes) {
    const HomeLayout layout = HomeLayout::fromEnvironment();
    DuplicateFinder finder(std::make_shared<FreedesktopTrash>(layout.trashDir()));
    const auto scanned = [&](const QString& dir) {
        finder.scan(dir);
        return testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; });
    };
    const QString dir = testsupport::freshDir("bytes-trash");
    const QString keepDir = testsupport::freshDir("bytes-keep");
    const QString failDir = testsupport::freshDir("bytes-fail");
    const Cleanup cleanup{{dir, keepDir, failDir, byteName(layout.trashDir() + "/files", "caf\xE9"),
                           byteName(layout.trashDir() + "/info", "caf\xE9.trashinfo")}};
    const QString odd = writeBytes(byteName(dir, "caf\xE9"), bytes(3000, 1));
    const QString lossy = writeBytes(byteName(dir, "caf\xEF\xBF\xBD"), bytes(3000, 2));
    const QString twin = writeBytes(dir + "/twin", bytes(3000, 1));
    ASSERT_TRUE(scanned(dir));
    ASSERT_EQ(finder.groups().size(), 1);
    EXPECT_EQ(finder.groups()[0].files, QStringList({odd, twin}));
    const qint64 oddOnDisk = onDisk(twin); // the same length as odd, and so the same blocks
    DuplicateFinder::TrashResult r = finder.trash(finder.groups()[0], twin);
    EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join("; ").toStdString();
    EXPECT_EQ(r.freedBytes, oddOnDisk);
    EXPECT_FALSE(exists(odd));
    EXPECT_EQ(readBytes(lossy), bytes(3000, 2));
    EXPECT_EQ(readBytes(byteName(layout.trashDir() + "/files", "caf\xE9")), bytes(3000, 1));

    const QString keeper = writeBytes(byteName(keepDir, "caf\xE9"), bytes(2500, 3));
    const QString copy = writeBytes(keepDir + "/copy", bytes(2500, 3));
    ASSERT_EQ(
        ::symlink("copy", NativePath::encode(byteName(keepDir, "caf\xEF\xBF\xBD")).constData()), 0);
    ASSERT_TRUE(scanned(keepDir));
    ASSERT_EQ(finder.groups().size(), 1);
    r = finder.trash(finder.groups()[0], keeper);
    EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join("; ").toStdString();
    EXPECT_TRUE(exists(keeper));
    EXPECT_FALSE(exists(copy));

    // A failure names the file with its bad byte shown, not as a character it does not hold.
    Finder f;
    const QString stuck = writeBytes(byteName(failDir, "caf\xE9"), bytes(2000, 4));
    writeBytes(failDir + "/other", bytes(2000, 4));
    f.finder.scan(failDir);
    ASSERT_TRUE(f.waitDone());
    ASSERT_EQ(f.finder.groups().size(), 1);
    f.trash->failFor(stuck, "Permission denied");
    r = f.finder.trash(f.finder.groups()[0], failDir + "/other");
    EXPECT_EQ(r.errors, QStringList({"caf\\xE9: Permission denied"}));
}

// Between the scan and the move a copy or the keeper may be edited: a copy that no longer holds
// the keeper's bytes stays where it is, with a line that says why, and counts as not moved.
TEST(DuplicateFinder, ACopyOrKeeperEditedAfterTheScanStays) {
    Finder f;
    const QString dir = testsupport::freshDir("edited");
    writeCopies(dir, {"/a", "/b", "/c"}, bytes(4000, 3));
    writeCopies(dir, {"/p", "/q"}, bytes(1500, 4));
    writeCopies(dir, {"/u", "/v"}, bytes(6000, 5));
    f.finder.scan(dir);
    ASSERT_TRUE(f.waitDone());
    ASSERT_EQ(f.finder.groups().size(), 3);
    const DuplicateGroup abc = f.finder.groups()[0];
    const DuplicateGroup uv = f.finder.groups()[1];
    const DuplicateGroup pq = f.finder.groups()[2];

    ASSERT_EQ(uv.files.first(), dir + "/u");
    editInPlace(dir + "/b", bytes(4000, 6));
    const qint64 c = onDisk(dir + "/c");
    DuplicateFinder::TrashResult r = f.finder.trash(abc, dir + "/a");
    EXPECT_EQ(r.freedBytes, c);
    EXPECT_EQ(r.errors, QStringList({"b: it changed after the scan and is no longer the same as "
                                     "the copy kept, so it was not moved."}));
    EXPECT_EQ(f.trash->moved(), QStringList({dir + "/c"}));
    EXPECT_EQ(f.finder.groups()[0].files, QStringList({dir + "/a", dir + "/b"}));

    // An edited keeper keeps every copy of its group.
    editInPlace(dir + "/p", bytes(1500, 7));
    r = f.finder.trash(pq, dir + "/p");
    EXPECT_EQ(r.freedBytes, 0);
    EXPECT_EQ(r.errors, QStringList({"q: the copy kept changed after the scan and is no longer the "
                                     "same as this one, so it was not moved."}));
    EXPECT_EQ(readBytes(dir + "/q"), bytes(1500, 4));

    // Keeping one of each passes over the same way.
    editInPlace(dir + "/v", bytes(6000, 8));
    r = keptOneOfEach(f.finder);
    EXPECT_EQ(r.freedBytes, 0);
    EXPECT_EQ(r.errors,
              QStringList({"b: it changed after the scan and is no longer the same as the copy "
                           "kept, so it was not moved.",
                           "v: it changed after the scan and is no longer the same as the copy "
                           "kept, so it was not moved.",
                           "q: the copy kept changed after the scan and is no longer the same as "
                           "this one, so it was not moved."}));
    EXPECT_EQ(f.trash->moved(), QStringList({dir + "/c"}));
}

// A file rewritten with the same bytes, or replaced by another file that holds them, is read
// again and still moves; a file left alone since the scan is not read again.
TEST(DuplicateFinder, FilesThatStillMatchMoveAndUntouchedOnesAreNotReadAgain) {
    std::atomic<int> reads{0};
    DuplicateScan::Options options;
    options.hasher = [&reads](const std::string& path, qint64 limit, const CancelToken& cancel) {
        ++reads;
        return DuplicateScan::fileDigest(path, limit, cancel);
    };
    Finder f(options);
    const QString dir = testsupport::freshDir("still");
    writeCopies(dir, {"/x1", "/x2"}, bytes(2000, 7));
    writeCopies(dir, {"/y1", "/y2", "/y3"}, bytes(3000, 8));
    writeCopies(dir, {"/z1", "/z2"}, bytes(2500, 9));
    f.finder.scan(dir);
    ASSERT_TRUE(f.waitDone());
    ASSERT_EQ(f.finder.groups().size(), 3);

    editInPlace(dir + "/x2", bytes(2000, 7));
    write(dir + "/y3.new", bytes(3000, 8));
    ASSERT_TRUE(QFile::remove(dir + "/y3"));
    ASSERT_TRUE(QFile::rename(dir + "/y3.new", dir + "/y3"));
    reads = 0;
    qint64 goes = 0;
    for (const char* name : {"/x2", "/y2", "/y3", "/z2"})
        goes += onDisk(dir + name);
    const DuplicateFinder::TrashResult r = keptOneOfEach(f.finder);
    EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join("; ").toStdString();
    EXPECT_EQ(r.freedBytes, goes);
    EXPECT_EQ(reads.load(), 2);
    EXPECT_TRUE(f.finder.groups().isEmpty());
}
