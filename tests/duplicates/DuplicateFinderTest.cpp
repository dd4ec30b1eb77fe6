// The exact finder as a service: states and generations, and keeping one copy, or one of each
// group, through a fake Trash.
#include "duplicates/DuplicateFinder.h"
#include "duplicates/DuplicateFinderTestSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace duptest;

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
