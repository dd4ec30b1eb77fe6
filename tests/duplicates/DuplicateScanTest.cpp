// The exact-duplicate search: the size and hash boundaries of the funnel, what the walk takes
// and leaves, and progress.
#include "duplicates/DuplicateScan.h"
#include "duplicates/DuplicateScanTestSupport.h"
#include "duplicates/DuplicatesTestSupport.h"
#include "support/AccessTime.h"

#include <mutex>
#include <QSet>

using namespace duptest;

TEST(DuplicateScan, SizeBoundaries) {
    const QString dir = testsupport::freshDir("sizes");
    // 1,023 bytes are below the floor; 1,024 are not.
    writeCopies(dir, {"/small-a", "/small-b"}, bytes(1023, 1));
    writeCopies(dir, {"/kib-a", "/kib-b"}, bytes(1024, 2));
    // Equal content of 64 KiB.
    writeCopies(dir, {"/head-a", "/head-b"}, bytes(65536, 3));
    // One byte more, differing only in the last byte: not duplicates.
    QByteArray tail = bytes(65537, 4);
    write(dir + "/tail-a", tail);
    tail[65536] = char(tail[65536] + 1);
    write(dir + "/tail-b", tail);

    const DuplicateScan::Outcome outcome = scan(dir);
    ASSERT_TRUE(outcome.readable);
    EXPECT_EQ(outcome.candidates, 6);
    const QList<QStringList> groups = fileLists(outcome);
    ASSERT_EQ(groups.size(), 2);
    // Most bytes back first.
    EXPECT_EQ(groups[0], QStringList({dir + "/head-a", dir + "/head-b"}));
    EXPECT_EQ(groups[1], QStringList({dir + "/kib-a", dir + "/kib-b"}));
    EXPECT_EQ(outcome.groups[0].fileSize, 65536);
}

TEST(DuplicateScan, SharedHeadsAreSettledByTheWholeFile) {
    const QString dir = testsupport::freshDir("heads");
    const QByteArray head = bytes(65536, 5);
    const QByteArray one = head + bytes(40000, 6);
    const QByteArray two = head + bytes(40000, 7);
    write(dir + "/one", one);
    write(dir + "/two", two);
    write(dir + "/sub/one-again", one);
    // Three copies of one content and two of another, all of one size.
    writeCopies(dir, {"/x1", "/x2", "/x3"}, bytes(5000, 8));
    writeCopies(dir, {"/y1", "/y2"}, bytes(5000, 9));

    const DuplicateScan::Outcome outcome = scan(dir);
    const QList<QStringList> groups = fileLists(outcome);
    ASSERT_EQ(groups.size(), 3);
    EXPECT_EQ(groups[0], QStringList({dir + "/one", dir + "/sub/one-again"}));
    EXPECT_EQ(groups[1], QStringList({dir + "/x1", dir + "/x2", dir + "/x3"}));
    EXPECT_EQ(groups[2], QStringList({dir + "/y1", dir + "/y2"}));
    EXPECT_EQ(outcome.groups[1].fileSize, outcome.groups[2].fileSize);
}

TEST(DuplicateScan, OnlyVisibleRegularFilesOutsidePackagesEachInodeOnce) {
    const QString dir = testsupport::freshDir("walk");
    const QByteArray content = bytes(3000, 10);
    writeCopies(dir, {"/.hidden-copy", "/.cache/copy", "/Tool.app/Contents/copy", "/original"},
                content);
    // A symlink to the original is never a copy of it.
    ASSERT_EQ(::symlink(QFile::encodeName(dir + "/original").constData(),
                        QFile::encodeName(dir + "/link").constData()),
              0);
    EXPECT_TRUE(scan(dir).groups.isEmpty());

    // Two names of one file are one file, not a pair...
    ASSERT_EQ(::link(QFile::encodeName(dir + "/original").constData(),
                     QFile::encodeName(dir + "/hardlink").constData()),
              0);
    DuplicateScan::Outcome outcome = scan(dir);
    EXPECT_TRUE(outcome.groups.isEmpty());
    EXPECT_EQ(outcome.candidates, 1);
    // ...while a real copy pairs with one of them.
    write(dir + "/real-copy", content);
    outcome = scan(dir);
    ASSERT_EQ(outcome.groups.size(), 1);
    EXPECT_EQ(outcome.groups[0].files.size(), 2);
    EXPECT_TRUE(outcome.groups[0].files.contains(dir + "/real-copy"));
}

// A name that is not UTF-8 is read, hashed and reported by its own bytes, never by the name Qt's
// lossy decoding gives it (U+FFFD for the bad byte), which here is another file with other
// content. The folder searched is named so too.
TEST(DuplicateScan, NamesThatAreNotUtf8AreReadByTheirOwnBytes) {
    const QString parent = testsupport::freshDir("bytes");
    const Cleanup cleanup{{parent}};
    const QString dir = makeFolder(byteName(parent, "album-\xE9"));
    const QString odd = writeBytes(byteName(dir, "caf\xE9"), bytes(3000, 1));
    const QString lossy = writeBytes(byteName(dir, "caf\xEF\xBF\xBD"), bytes(3000, 2));
    const QString oddTwin = writeBytes(dir + "/odd-twin", bytes(3000, 1));
    const QString lossyTwin = writeBytes(dir + "/lossy-twin", bytes(3000, 2));

    const QList<QStringList> expected = {{odd, oddTwin}, {lossy, lossyTwin}};
    EXPECT_EQ(fileLists(scan(dir)), expected);

    // The same through an injected hasher, which is asked by the files' own bytes.
    std::mutex lock;
    QSet<QByteArray> hashed;
    DuplicateScan::Options options;
    options.hasher = [&](const std::string& path, qint64 limit, const CancelToken& cancel) {
        {
            std::lock_guard<std::mutex> guard(lock);
            hashed.insert(QByteArray::fromStdString(path));
        }
        return DuplicateScan::fileDigest(path, limit, cancel);
    };
    const DuplicateScan::Outcome outcome = scan(dir, options);
    ASSERT_TRUE(outcome.readable);
    EXPECT_EQ(fileLists(outcome), expected);
    EXPECT_TRUE(hashed.contains(NativePath::encode(odd)));
    EXPECT_TRUE(hashed.contains(NativePath::encode(lossy)));
}

TEST(DuplicateScan, EmptyOrMissingFolders) {
    const QString empty = testsupport::freshDir("empty");
    DuplicateScan::Outcome outcome = scan(empty);
    EXPECT_TRUE(outcome.readable);
    EXPECT_TRUE(outcome.groups.isEmpty());

    EXPECT_FALSE(scan(empty + "/missing").readable);
    write(empty + "/plain-file", bytes(2000, 1));
    EXPECT_FALSE(scan(empty + "/plain-file").readable);
}

// A download compared with its copies is not thereby opened: the age rules read its access time.
TEST(DuplicateScan, ReadingTheCandidatesLeavesTheirAccessTimes) {
    const QString dir = testsupport::freshDir("dup-atime");
    if (!testsupport::plainReadsMoveAccessTime(dir))
        GTEST_SKIP() << "reads on this mount never move the access time";
    QByteArray body(3 << 20, 'a');
    QByteArray lastDiffers = body, firstDiffers = body;
    lastDiffers.back() = 'b';
    firstDiffers.front() = 'c';
    const QStringList files = {write(dir + "/one.iso", body), write(dir + "/two.iso", body),
                               write(dir + "/last.iso", lastDiffers),
                               write(dir + "/first.iso", firstDiffers)};
    QList<qint64> before;
    for (const QString& file : files) {
        testsupport::ageFile(file);
        before.append(testsupport::accessTimeNs(file));
    }
    const DuplicateScan::Outcome outcome = scan(dir);
    ASSERT_EQ(fileLists(outcome), QList<QStringList>({{files[0], files[1]}}));
    for (qsizetype i = 0; i < files.size(); ++i)
        EXPECT_EQ(testsupport::accessTimeNs(files[i]), before[i]) << files[i].toStdString();
}

TEST(DuplicateScan, ProgressEveryFiveHundredCandidates) {
    const QString dir = testsupport::freshDir("progress");
    // 1,499 candidates of distinct sizes (nothing to hash) and a few small files that do not
    // count.
    for (int i = 0; i < 1499; ++i)
        write(QStringLiteral("%1/d%2/f%3").arg(dir).arg(i % 7).arg(i), QByteArray(1024 + i, 'x'));
    for (int i = 0; i < 20; ++i)
        write(QStringLiteral("%1/tiny%2").arg(dir).arg(i), QByteArray(10, 'y'));
    std::mutex lock;
    QList<qint64> told;
    DuplicateScan::Options options;
    options.progress = [&](qint64 n) {
        std::lock_guard<std::mutex> guard(lock);
        told.append(n);
    };
    const DuplicateScan::Outcome outcome = scan(dir, options);
    std::sort(told.begin(), told.end());
    EXPECT_EQ(told, QList<qint64>({500, 1000}));
    EXPECT_EQ(outcome.candidates, 1499);
    EXPECT_TRUE(outcome.groups.isEmpty());
}
