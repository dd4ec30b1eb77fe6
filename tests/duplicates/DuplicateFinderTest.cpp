// The exact finder as a service: states and generations, and keeping one copy through a fake
// Trash and through the sandbox's real one.
#include "duplicates/DuplicateFinder.h"
#include "duplicates/DuplicatesTestSupport.h"
#include "fakes/FakeTrash.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HomeLayout.h"

#include <condition_variable>
#include <mutex>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace duptest;

namespace {

struct Finder {
    std::shared_ptr<FakeTrash> trash =
        std::make_shared<FakeTrash>(testsupport::freshDir("fake-trash"));
    DuplicateFinder finder;
    QList<DuplicateFinder::State> states;

    explicit Finder(DuplicateScan::Options options = {}) : finder(trash, std::move(options)) {
        QObject::connect(&finder, &DuplicateFinder::stateChanged,
                         [this] { states.append(finder.state()); });
    }
    bool waitDone() {
        return testsupport::waitFor([this] { return finder.state().phase != ScanPhase::Running; });
    }
};

// Holds every hash until released, so a scan can be caught while it runs.
struct Gate {
    std::mutex lock;
    std::condition_variable opened;
    bool open = false;
    void release() {
        std::lock_guard<std::mutex> guard(lock);
        open = true;
        opened.notify_all();
    }
    DuplicateScan::Hasher hasher() {
        return [this](const std::string& path, qint64 limit, const CancelToken& cancel) {
            std::unique_lock<std::mutex> guard(lock);
            opened.wait(guard, [this] { return open; });
            guard.unlock();
            return DuplicateScan::fileDigest(path, limit, cancel);
        };
    }
};

// Runs keepOneOfEach() to its end and returns what it brought.
DuplicateFinder::TrashResult keptOneOfEach(DuplicateFinder& finder) {
    std::optional<DuplicateFinder::TrashResult> ended;
    const QMetaObject::Connection c =
        QObject::connect(&finder, &DuplicateFinder::keptOneOfEach,
                         [&ended](const DuplicateFinder::TrashResult& r) { ended = r; });
    finder.keepOneOfEach();
    EXPECT_TRUE(testsupport::waitFor([&] { return ended.has_value(); }, 20000));
    QObject::disconnect(c);
    return ended.value_or(DuplicateFinder::TrashResult{});
}

// A folder with a group of `copies` copies of one content of `size` bytes.
QString folderWith(const QString& name, int copies, qsizetype size = 2000, int seed = 1) {
    const QString dir = testsupport::freshDir(name);
    for (int i = 0; i < copies; ++i)
        write(QStringLiteral("%1/copy%2").arg(dir).arg(i), bytes(size, seed));
    return dir;
}

// What the disk holds for a file: st_blocks × 512.
qint64 onDisk(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_blocks) * 512 : -1;
}

} // namespace

TEST(DuplicateFinder, ScanPublishesGroupsOrAFailure) {
    Finder f;
    EXPECT_EQ(f.finder.state().phase, ScanPhase::Idle);
    EXPECT_EQ(f.finder.scanGeneration(), 0u);

    const QString dir = folderWith("scan", 3);
    f.finder.scan(dir);
    EXPECT_EQ(f.finder.state(), DuplicateFinder::State::running(0));
    EXPECT_EQ(f.finder.lastFolder(), dir);
    ASSERT_TRUE(f.waitDone());
    EXPECT_EQ(f.finder.state().phase, ScanPhase::Done);
    ASSERT_EQ(f.finder.groups().size(), 1);
    EXPECT_EQ(f.finder.groups()[0].files.size(), 3);
    EXPECT_EQ(f.finder.removableCount(), 2);

    f.finder.scan(dir + "/no-such-folder");
    EXPECT_TRUE(f.finder.groups().isEmpty());
    ASSERT_TRUE(f.waitDone());
    EXPECT_EQ(f.finder.state(), DuplicateFinder::State::failed("Could not read that folder."));

    f.finder.reset();
    EXPECT_EQ(f.finder.state().phase, ScanPhase::Idle);
    EXPECT_FALSE(f.finder.lastFolder().has_value());
    EXPECT_EQ(f.finder.scanGeneration(), 3u);
}

TEST(DuplicateFinder, OnlyTheLatestScanPublishes) {
    Gate gate;
    DuplicateScan::Options options;
    options.hasher = gate.hasher();
    Finder f(options);
    const QString first = folderWith("first", 2, 2000, 1);
    const QString second = folderWith("second", 4, 3000, 2);

    f.finder.scan(first);
    f.finder.scan(second);
    gate.release();
    ASSERT_TRUE(f.waitDone());
    QCoreApplication::processEvents();
    ASSERT_EQ(f.finder.groups().size(), 1);
    EXPECT_EQ(f.finder.groups()[0].files.size(), 4);
    EXPECT_TRUE(f.finder.groups()[0].files[0].startsWith(second));
    for (const DuplicateFinder::State& s : f.states)
        EXPECT_TRUE(s.phase == ScanPhase::Running || s.phase == ScanPhase::Done);

    // A reset while a scan runs stays idle when that scan ends.
    Gate held;
    DuplicateScan::Options heldOptions;
    heldOptions.hasher = held.hasher();
    Finder g(heldOptions);
    g.finder.scan(first);
    g.finder.reset();
    held.release();
    QTest::qWait(200);
    EXPECT_EQ(g.finder.state().phase, ScanPhase::Idle);
    EXPECT_TRUE(g.finder.groups().isEmpty());
}

TEST(DuplicateFinder, KeepingOneCopy) {
    Finder f;
    const QString dir = testsupport::freshDir("keep");
    writeCopies(dir, {"/a", "/b", "/c", "/d"}, bytes(4000, 3));
    writeCopies(dir, {"/p", "/q"}, bytes(1500, 4));
    f.finder.scan(dir);
    ASSERT_TRUE(f.waitDone());
    ASSERT_EQ(f.finder.groups().size(), 2);
    EXPECT_EQ(f.finder.removableCount(), 4);
    const DuplicateGroup four = f.finder.groups()[0];
    const DuplicateGroup two = f.finder.groups()[1];

    // A keeper that is not one of the group's files moves nothing.
    DuplicateFinder::TrashResult r = f.finder.trash(four, dir + "/p");
    EXPECT_EQ(r.freedBytes, 0);
    ASSERT_EQ(r.errors.size(), 1);
    EXPECT_TRUE(f.trash->moved().isEmpty());

    // One of three moves fails: the group shrinks to the kept and the failed copy, by path,
    // under a new id.
    f.trash->failFor(dir + "/a", "Permission denied");
    const qint64 bd = onDisk(dir + "/b") + onDisk(dir + "/d");
    r = f.finder.trash(four, dir + "/c");
    EXPECT_EQ(r.freedBytes, bd);
    EXPECT_EQ(r.errors, QStringList({"a: Permission denied"}));
    ASSERT_EQ(f.finder.groups().size(), 2);
    const DuplicateGroup rebuilt = f.finder.groups()[0];
    EXPECT_NE(rebuilt.id, four.id);
    EXPECT_EQ(rebuilt.files, QStringList({dir + "/a", dir + "/c"}));
    EXPECT_EQ(f.finder.removableCount(), 2);

    // A group of two that succeeds is removed.
    const qint64 p = onDisk(dir + "/p");
    r = f.finder.trash(two, dir + "/q");
    EXPECT_EQ(r.freedBytes, p);
    EXPECT_TRUE(r.errors.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir + "/p"));
    ASSERT_EQ(f.finder.groups().size(), 1);
    EXPECT_EQ(f.finder.state().phase, ScanPhase::Done);
}

TEST(DuplicateFinder, KeepOneOfEachKeepsTheFirstByPath) {
    Finder f;
    const QString dir = testsupport::freshDir("each");
    writeCopies(dir, {"/z/one", "/a/one"}, bytes(2000, 5));
    writeCopies(dir, {"/m/two", "/b/two", "/c/two"}, bytes(3000, 6));
    f.finder.scan(dir);
    ASSERT_TRUE(f.waitDone());
    EXPECT_EQ(f.finder.removableCount(), 3);
    const qint64 goes = onDisk(dir + "/z/one") + onDisk(dir + "/m/two") + onDisk(dir + "/c/two");
    const DuplicateFinder::TrashResult r = keptOneOfEach(f.finder);
    EXPECT_EQ(r.freedBytes, goes);
    EXPECT_TRUE(r.errors.isEmpty());
    EXPECT_TRUE(f.finder.groups().isEmpty());
    EXPECT_EQ(f.finder.removableCount(), 0);
    for (const char* kept : {"/a/one", "/b/two"})
        EXPECT_TRUE(QFileInfo::exists(dir + kept)) << kept;
    for (const char* gone : {"/z/one", "/m/two", "/c/two"})
        EXPECT_FALSE(QFileInfo::exists(dir + gone)) << gone;
}

// Equal contents need not take equal room: a copy of zeros left sparse holds no blocks, so
// what keeping one frees is what the others take on the disk, not their length.
TEST(DuplicateFinder, WhatKeepingFreesIsTheDiskTheOtherCopiesTake) {
    Finder f;
    const QString dir = testsupport::freshDir("sparse-copies");
    const qint64 length = 1'048'576;
    writeCopies(dir, {"/a-written", "/c-written"}, QByteArray(length, '\0'));
    {
        QFile holes(dir + "/b-sparse");
        ASSERT_TRUE(holes.open(QIODevice::WriteOnly) && holes.resize(length));
    }
    const qint64 written = onDisk(dir + "/a-written");
    ASSERT_GE(written, length);
    ASSERT_EQ(onDisk(dir + "/b-sparse"), 0);

    f.finder.scan(dir);
    ASSERT_TRUE(f.waitDone());
    ASSERT_EQ(f.finder.groups().size(), 1);
    const DuplicateGroup group = f.finder.groups().first();
    ASSERT_EQ(group.files.size(), 3);
    EXPECT_EQ(group.fileSize, length);
    // Keeping the first (as keeping one of each does): the sparse copy frees nothing.
    EXPECT_EQ(group.reclaimableBytes(), written);
    EXPECT_EQ(group.reclaimableBytes(dir + "/b-sparse"), 2 * written);
    EXPECT_EQ(group.reclaimableBytes(dir + "/elsewhere"), 0);

    const DuplicateFinder::TrashResult r = f.finder.trash(group, dir + "/c-written");
    EXPECT_TRUE(r.errors.isEmpty());
    EXPECT_EQ(r.freedBytes, written);
}

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

// Keeping one of each over thousands of groups is one pass off the main thread: the groups are
// published once, at the end, progress shows meanwhile, and the errors come after every move
// was tried.
TEST(DuplicateFinder, KeepOneOfEachPublishesOnceAfterEveryMove) {
    Finder f;
    const QString dir = testsupport::freshDir("thousands");
    constexpr int groups = 3000;
    for (int i = 0; i < groups; ++i)
        for (const char* copy : {"a", "b"})
            write(QStringLiteral("%1/%2-%3").arg(dir).arg(i, 4, 10, QLatin1Char('0')).arg(copy),
                  bytes(1100, i + 10));
    f.finder.scan(dir);
    ASSERT_TRUE(
        testsupport::waitFor([&] { return f.finder.state().phase == ScanPhase::Done; }, 30000));
    ASSERT_EQ(f.finder.groups().size(), groups);
    f.trash->failFor(dir + "/0007-b", "Permission denied");
    f.trash->failFor(dir + "/2999-b", "Read-only file system");

    int published = 0;
    QList<std::optional<DuplicateFinder::Cleaning>> steps;
    qsizetype movedWhenEnded = -1;
    QObject::connect(&f.finder, &DuplicateFinder::groupsChanged, [&] { ++published; });
    QObject::connect(&f.finder, &DuplicateFinder::cleaningChanged,
                     [&] { steps.append(f.finder.cleaning()); });
    QObject::connect(&f.finder, &DuplicateFinder::keptOneOfEach,
                     [&] { movedWhenEnded = f.trash->moved().size(); });
    const DuplicateFinder::TrashResult r = keptOneOfEach(f.finder);

    EXPECT_EQ(published, 1);
    EXPECT_EQ(movedWhenEnded, groups - 2);
    // Every copy takes what a kept one takes on disk.
    EXPECT_EQ(r.freedBytes, qint64(groups - 2) * onDisk(dir + "/0000-a"));
    EXPECT_EQ(r.errors,
              QStringList({"0007-b: Permission denied", "2999-b: Read-only file system"}));
    ASSERT_GE(steps.size(), 2);
    EXPECT_EQ(steps.first(), (DuplicateFinder::Cleaning{0, groups}));
    EXPECT_EQ(steps.last(), std::nullopt);
    EXPECT_EQ(f.finder.cleaning(), std::nullopt);
    ASSERT_EQ(f.finder.groups().size(), 2);
    EXPECT_EQ(f.finder.groups()[0].files, QStringList({dir + "/0007-a", dir + "/0007-b"}));
    EXPECT_EQ(f.finder.removableCount(), 2);
}

// The checks and moves run on a pool thread: while one is held up, the main thread's event loop
// goes on and a second request is ignored.
TEST(DuplicateFinder, KeepOneOfEachLeavesTheMainThreadFree) {
    std::atomic_bool armed{false};
    std::atomic<QThread*> hashedOn{nullptr};
    Gate gate;
    DuplicateScan::Options options;
    DuplicateScan::Hasher gated = gate.hasher();
    options.hasher = [&](const std::string& path, qint64 limit, const CancelToken& cancel) {
        if (!armed)
            return DuplicateScan::fileDigest(path, limit, cancel);
        hashedOn = QThread::currentThread();
        return gated(path, limit, cancel);
    };
    Finder f(options);
    const QString dir = folderWith("held", 3);
    f.finder.scan(dir);
    ASSERT_TRUE(f.waitDone());
    ASSERT_EQ(f.finder.groups().size(), 1);
    editInPlace(dir + "/copy1", bytes(2000, 1));
    armed = true;

    std::optional<DuplicateFinder::TrashResult> ended;
    QObject::connect(&f.finder, &DuplicateFinder::keptOneOfEach,
                     [&](const DuplicateFinder::TrashResult& r) { ended = r; });
    f.finder.keepOneOfEach();
    EXPECT_EQ(f.finder.cleaning(), (DuplicateFinder::Cleaning{0, 1}));
    bool ticked = false;
    QTimer::singleShot(0, [&] { ticked = true; });
    ASSERT_TRUE(testsupport::waitFor([&] { return ticked && hashedOn.load() != nullptr; }));
    EXPECT_NE(hashedOn.load(), QThread::currentThread());
    f.finder.keepOneOfEach();
    EXPECT_FALSE(ended.has_value());
    gate.release();
    ASSERT_TRUE(testsupport::waitFor([&] { return ended.has_value(); }));
    EXPECT_TRUE(ended->errors.isEmpty()) << ended->errors.join("; ").toStdString();
    EXPECT_EQ(ended->freedBytes, 2 * onDisk(dir + "/copy0"));
    EXPECT_TRUE(f.finder.groups().isEmpty());
}
