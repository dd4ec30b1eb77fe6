// The large-file scanner: what its walk lists and counts, how scans replace each other, the
// failure of an unreadable folder, and moving files to the Trash.
#include "cleaning/LargeFilesScanner.h"
#include "cleaning/CleaningTestSupport.h"
#include "fakes/FakeTrash.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <fcntl.h>
#include <QMutex>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QThread>
#include <sys/stat.h>

using namespace cleaningtest;
using Kind = ScanPhase;

namespace {

// A file of this length that takes no room on the disk.
void sparse(const QString& path, qint64 bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_TRUE(f.resize(bytes));
}

// A file of this length whose blocks are all reserved on the disk, without writing them.
void allocated(const QString& path, qint64 bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(::posix_fallocate(f.handle(), 0, bytes), 0) << path.toStdString();
}

// What the disk holds for a file: st_blocks × 512.
qint64 blocksOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_blocks) * 512 : -1;
}

QStringList names(const QList<BigFile>& files) {
    return testsupport::strings(files, &BigFile::fileName);
}

std::shared_ptr<FakeTrash> fakeTrash() {
    return std::make_shared<FakeTrash>(testsupport::freshDir("large-trash"));
}

} // namespace

TEST(LargeFilesWalk, ListsRegularFilesFromTheMinimumUpAndCountsOnlyWhatItLooksAt) {
    const QString root = testsupport::freshDir("large-rules");
    allocated(root + "/at-minimum.bin", 8192);
    allocated(root + "/one-below.bin", 4096);
    allocated(root + "/sub/deeper/big.mov", 16384);
    allocated(root + "/.hidden.bin", 16384);
    allocated(root + "/.cache/inside-hidden.bin", 16384);
    allocated(root + "/Tool.app/Contents/Resources/payload.bin", 16384);
    allocated(root + "/linked-a.bin", 12288);
    ASSERT_EQ(blocksOf(root + "/at-minimum.bin"), 8192) << "a file system without 4 KB blocks";
    ASSERT_TRUE(QFile::link(root + "/sub/deeper/big.mov", root + "/link-to-big.mov"));
    ASSERT_EQ(::link(QFile::encodeName(root + "/linked-a.bin").constData(),
                     QFile::encodeName(root + "/sub/linked-b.bin").constData()),
              0);

    const LargeFilesScanner::WalkResult r = LargeFilesScanner::walkFolder(root, 8192);
    EXPECT_FALSE(r.failure);
    // Largest first; a file with two names is listed under one of them.
    ASSERT_EQ(r.files.size(), 3);
    EXPECT_EQ(r.files[0].fileName(), "big.mov");
    EXPECT_EQ(r.files[0].sizeBytes, 16384);
    EXPECT_EQ(r.files[0].path(), root + "/sub/deeper/big.mov");
    EXPECT_EQ(r.files[0].folderPath(), root + "/sub/deeper");
    EXPECT_TRUE(r.files[1].fileName() == "linked-a.bin" || r.files[1].fileName() == "linked-b.bin");
    EXPECT_EQ(r.files[2].fileName(), "at-minimum.bin");
    // Counted: the five visible regular file names (both hard-link names); not the hidden ones,
    // the bundle's insides or the symlink.
    EXPECT_EQ(r.scanned, 5);
    for (const BigFile& f : r.files) {
        EXPECT_FALSE(f.id.isNull());
        ASSERT_TRUE(f.lastOpened.has_value());
    }
    EXPECT_NE(r.files[0].id, r.files[1].id);
}

// A sparse file is as big as the blocks it holds: a length of gigabytes with nothing written is
// not a big file, and one with a little written is listed, ordered and freed at that little.
TEST(LargeFilesWalk, ASparseFileCountsTheBlocksItHoldsNotItsLength) {
    const QString root = testsupport::freshDir("large-sparse");
    sparse(root + "/claims-2g.img", 2 * 1'073'741'824LL);
    sparse(root + "/mostly-holes.img", 1'073'741'824LL);
    {
        QFile f(root + "/mostly-holes.img");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_EQ(f.write(QByteArray(8192, 'x')), 8192);
    }
    allocated(root + "/solid.bin", 12288);
    const qint64 holes = blocksOf(root + "/mostly-holes.img");
    ASSERT_GT(holes, 0);
    ASSERT_LT(holes, 12288);

    LargeFilesScanner::WalkResult r = LargeFilesScanner::walkFolder(root, 4096);
    ASSERT_EQ(names(r.files), QStringList({"solid.bin", "mostly-holes.img"}));
    EXPECT_EQ(r.files[0].sizeBytes, 12288);
    EXPECT_EQ(r.files[1].sizeBytes, holes);
    EXPECT_TRUE(LargeFilesScanner::walkFolder(root, 50 * 1'048'576).files.isEmpty());

    LargeFilesScanner scanner(fakeTrash());
    scanner.setMinSizeBytes(1);
    scanner.scan(root);
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    ASSERT_EQ(scanner.files().size(), 2);
    EXPECT_EQ(scanner.trash(scanner.files()).freedBytes, 12288 + holes);
}

TEST(LargeFilesWalk, KeepsTheTwoHundredLargestAndOrdersEqualSizesByPath) {
    const QString root = testsupport::freshDir("large-cut");
    for (int i = 0; i < 199; ++i)
        allocated(root + QString("/d%1/f%2.bin").arg(i % 7).arg(i, 3, 10, QChar('0')),
                  4096 * (3 + i));
    // Two of the smallest size: only the one whose path sorts first makes the cut.
    allocated(root + "/z-tie.bin", 8192);
    allocated(root + "/a-tie.bin", 8192);
    const LargeFilesScanner::WalkResult r = LargeFilesScanner::walkFolder(root, 1);
    ASSERT_EQ(r.files.size(), LargeFilesScanner::maxFiles);
    EXPECT_EQ(r.files.first().sizeBytes, 4096 * 201);
    EXPECT_EQ(r.files.last().fileName(), "a-tie.bin");
    EXPECT_TRUE(
        std::is_sorted(r.files.begin(), r.files.end(), [](const BigFile& a, const BigFile& b) {
            return a.sizeBytes > b.sizeBytes;
        }));
}

TEST(LargeFilesWalk, ReportsProgressAtEachThousandFiles) {
    const QString root = testsupport::freshDir("large-progress");
    for (int i = 0; i < 999; ++i)
        sparse(root + QString("/f%1").arg(i), 1);
    QMutex lock;
    QList<int> steps;
    const auto record = [&](int n) {
        QMutexLocker guard(&lock);
        steps << n;
    };
    LargeFilesScanner::walkFolder(root, 1, CancelToken(), record, 4);
    EXPECT_TRUE(steps.isEmpty());
    sparse(root + "/the-thousandth", 1);
    const LargeFilesScanner::WalkResult r =
        LargeFilesScanner::walkFolder(root, 1, CancelToken(), record, 4);
    EXPECT_EQ(steps, QList<int>({1000}));
    EXPECT_EQ(r.scanned, 1000);
}

TEST(LargeFilesWalk, TheListEqualsFindsTopEntriesOnAGeneratedTree) {
    const QString root = testsupport::freshDir("large-tree");
    QRandomGenerator rng(16);
    const qint64 minimum = 20'000;
    for (int i = 0; i < 600; ++i) {
        QString folder = root;
        for (int depth = int(rng.bounded(4)); depth > 0; --depth)
            folder += QString("/d%1").arg(rng.bounded(5));
        if (i % 50 == 0)
            folder += "/.hidden";
        // Many equal sizes, so the cut at 200 falls inside a run of ties.
        allocated(folder + QString("/file %1.dat").arg(i), qint64(rng.bounded(1, 40)) * 4096);
    }
    const LargeFilesScanner::WalkResult r = LargeFilesScanner::walkFolder(root, minimum);
    ASSERT_FALSE(r.failure);

    QProcess find;
    find.start("find", {root, "-mindepth", "1", "-name", ".*", "-prune", "-o", "-type", "f",
                        "-printf", "%b %p\\n"});
    ASSERT_TRUE(find.waitForFinished(30000));
    QList<std::pair<qint64, QByteArray>> peer;
    for (const QByteArray& line : find.readAllStandardOutput().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        const qint64 bytes = line.left(space).toLongLong() * 512;
        if (space > 0 && bytes >= minimum)
            peer.append({bytes, line.mid(space + 1)});
    }
    std::sort(peer.begin(), peer.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    ASSERT_GT(peer.size(), LargeFilesScanner::maxFiles);
    peer.resize(LargeFilesScanner::maxFiles);
    QList<std::pair<qint64, QByteArray>> ours;
    for (const BigFile& f : r.files)
        ours.append({f.sizeBytes, QFile::encodeName(f.path())});
    EXPECT_EQ(ours, peer);
}

TEST(LargeFilesWalk, AFolderThatCannotBeReadIsAFailureWithASentence) {
    const QString root = testsupport::freshDir("large-missing");
    LargeFilesScanner::WalkResult r = LargeFilesScanner::walkFolder(root + "/Movies", 1);
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(*r.failure, "Pendrel could not read “Movies”: No such file or directory.");
    sparse(root + "/plain.txt", 10);
    r = LargeFilesScanner::walkFolder(root + "/plain.txt", 1);
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(*r.failure, "“plain.txt” is not a folder.");
    EXPECT_TRUE(r.files.isEmpty());
}

TEST(BigFileAge, OldOnlyStrictlyBeforeTheCutoffAndNeverWithoutADate) {
    const QDateTime now(QDate(2026, 6, 1), QTime(9, 0), Qt::UTC);
    BigFile f;
    EXPECT_FALSE(f.isOld(now));
    f.lastOpened = now.addSecs(-BigFile::oldAfterSeconds);
    EXPECT_FALSE(f.isOld(now));
    f.lastOpened = now.addSecs(-BigFile::oldAfterSeconds - 1);
    EXPECT_TRUE(f.isOld(now));
}

// The cleaners' rule: a file is as old as the later of its last read and its last write.
TEST(BigFileAge, AFileWrittenRecentlyIsNotOldHoweverLongAgoItWasRead) {
    const QString root = testsupport::freshDir("large-age");
    allocated(root + "/written-yesterday.bin", 4096);
    age(root + "/written-yesterday.bin", 400, 1);
    allocated(root + "/read-yesterday.bin", 8192);
    age(root + "/read-yesterday.bin", 1, 400);
    allocated(root + "/untouched.bin", 12288);
    age(root + "/untouched.bin", 400, 400);

    const LargeFilesScanner::WalkResult r = LargeFilesScanner::walkFolder(root, 1);
    ASSERT_EQ(names(r.files),
              QStringList({"untouched.bin", "read-yesterday.bin", "written-yesterday.bin"}));
    EXPECT_TRUE(r.files[0].isOld());
    EXPECT_FALSE(r.files[1].isOld());
    EXPECT_FALSE(r.files[2].isOld());
    const qint64 yesterday = QDateTime::currentSecsSinceEpoch() - 86400;
    EXPECT_NEAR(double(r.files[2].lastOpened->toSecsSinceEpoch()), double(yesterday), 5.0);
}

TEST(LargeFilesScanner, AScanPublishesItsListIntoTheModelAndEndsDone) {
    const QString root = testsupport::freshDir("large-service");
    allocated(root + "/small.bin", 10);
    allocated(root + "/big.bin", 60 * 1'048'576);
    LargeFilesScanner scanner(fakeTrash());
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    EXPECT_EQ(scanner.minSizeBytes(), 50'000'000);
    EXPECT_FALSE(scanner.lastFolder());
    scanner.scan(root);
    EXPECT_EQ(scanner.state(), LargeFilesScanner::State::running(0));
    EXPECT_EQ(scanner.lastFolder(), root);
    EXPECT_EQ(scanner.scanGeneration(), 1u);
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    EXPECT_EQ(names(scanner.files()), QStringList({"big.bin"}));
    EXPECT_EQ(scanner.model()->rowCount(), 1);
    EXPECT_EQ(scanner.model()->index(0).data().toString(), "big.bin");

    scanner.scan(root + "/nowhere");
    EXPECT_TRUE(scanner.files().isEmpty());
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Failed; }));
    EXPECT_EQ(scanner.state().failure,
              "Pendrel could not read “nowhere”: No such file or directory.");
}

TEST(LargeFilesScanner, StaleScansNeverReplaceTheList) {
    const QString slow = testsupport::freshDir("large-slow");
    for (int i = 0; i < 4000; ++i)
        sparse(slow + QString("/d%1/f%2").arg(i % 40).arg(i), 100);
    const QString quick = testsupport::freshDir("large-quick");
    allocated(quick + "/only.bin", 100);

    LargeFilesScanner scanner(fakeTrash());
    scanner.setMinSizeBytes(1);
    QList<LargeFilesScanner::State> seen;
    QObject::connect(&scanner, &LargeFilesScanner::stateChanged, &scanner,
                     [&] { seen << scanner.state(); });
    for (int round = 0; round < 5; ++round) {
        seen.clear();
        scanner.scan(slow);
        scanner.scan(quick);
        ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
        // Let anything the first walk still sends arrive.
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        EXPECT_EQ(names(scanner.files()), QStringList({"only.bin"}));
        EXPECT_EQ(scanner.state().phase, Kind::Done);
        // From the second request on: only its own start and end.
        ASSERT_GE(seen.size(), 2);
        EXPECT_EQ(seen.last().phase, Kind::Done);
        for (const LargeFilesScanner::State& s : seen)
            EXPECT_EQ(s.progress, 0);
    }
    EXPECT_EQ(scanner.scanGeneration(), 10u);
}

TEST(LargeFilesScanner, ATrashThatPartlyFailsKeepsTheFailedRowAndReportsOneLine) {
    const QString root = testsupport::freshDir("large-trash-run");
    allocated(root + "/first.bin", 12288);
    allocated(root + "/second.bin", 8192);
    allocated(root + "/third.bin", 4096);
    auto trash = fakeTrash();
    trash->failFor(root + "/second.bin", "Permission denied");
    LargeFilesScanner scanner(trash);
    scanner.setMinSizeBytes(1);
    scanner.scan(root);
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    const QList<BigFile> listed = scanner.files();
    ASSERT_EQ(listed.size(), 3);

    QSignalSpy changes(&scanner, &LargeFilesScanner::filesChanged);
    const LargeFilesScanner::TrashResult r = scanner.trash({listed[0], listed[1]});
    EXPECT_EQ(r.freedBytes, 12288);
    EXPECT_EQ(r.errors, QStringList({"second.bin: Permission denied"}));
    EXPECT_EQ(names(scanner.files()), QStringList({"second.bin", "third.bin"}));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(scanner.state().phase, Kind::Done);
    EXPECT_EQ(trash->moved(), QStringList({root + "/first.bin"}));

    // A record from an earlier list is still moved and counted; the list does not change.
    scanner.scan(root);
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    const LargeFilesScanner::TrashResult again = scanner.trash({listed[2]});
    EXPECT_EQ(again.freedBytes, 4096);
    EXPECT_TRUE(again.errors.isEmpty());
    EXPECT_EQ(names(scanner.files()), QStringList({"second.bin", "third.bin"}));
}
