#include "platform/Sha256.h"
#include "platform/RegularFile.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::write;

// Bytes i*31+7, a pattern with no period of a power of two.
QByteArray pattern(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + 7) & 0xFF);
    return bytes;
}

QByteArray hashOf(const QByteArray& bytes) {
    Sha256 hash;
    hash.update(bytes);
    return hash.finish();
}

std::optional<QString> hexOf(const QString& path) {
    const auto digest = Sha256::ofFile(path);
    return digest ? std::optional<QString>(Sha256::hex(*digest)) : std::nullopt;
}

} // namespace

// Expected values are what sha256sum prints for the same bytes.
TEST(Sha256, FileDigestsMatchSha256sumAcrossPieceBoundaries) {
    const QString dir = testsupport::freshDir("sha");
    struct Case {
        qsizetype size;
        const char* expected;
    } cases[] = {
        {0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {1 << 20, "06b7bbfb7824aa03382051691630eb26de85102d1b08a81e907ec0744cd8a286"},
        {(1 << 20) + 1, "0d09f3eabb5c78e5d435c41e3b3755f1c4d038657f739d0be0083c24e71235df"},
        {3 * (1 << 20) + 12345, "5484bbdbfa09aaf96421d09d2c57be9d4fdbffe2ef1d33964a754591a0ac11ba"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const QString path = write(dir + QStringLiteral("/p%1").arg(c.size), pattern(c.size));
        EXPECT_EQ(hexOf(path), QString::fromLatin1(c.expected));
    }
    const QString abc = write(dir + "/abc", "abc");
    EXPECT_EQ(hexOf(abc),
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));

    Sha256 pieces;
    pieces.update(QByteArray("a"));
    pieces.update(QByteArray("bc"));
    EXPECT_EQ(Sha256::hex(pieces.finish()), *hexOf(abc));
}

TEST(Sha256, AnythingButAReadableRegularFileDigestsToNothingWithoutWaiting) {
    const QString dir = testsupport::freshDir("sha-odd");
    const QString fifo = dir + "/pipe";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Sha256::ofFile(fifo), std::nullopt); // no writer: a blocking open would hang here
    EXPECT_EQ(Sha256::ofFile(dir), std::nullopt);
    EXPECT_EQ(Sha256::ofFile(dir + "/missing"), std::nullopt);
    EXPECT_EQ(Sha256::ofFile(QString()), std::nullopt);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(RegularFile(fifo).isOpen());
    EXPECT_FALSE(RegularFile::isRegular(fifo));

    // A file that opens but whose read fails gives nothing, not the digest of the bytes before
    // the failure (which would make two unreadable files "identical"): this process's own
    // memory file is a regular file whose first read at offset 0 fails.
    ASSERT_TRUE(RegularFile("/proc/self/mem").isOpen());
    EXPECT_EQ(Sha256::ofFile("/proc/self/mem"), std::nullopt);

    const CancelToken cancelled;
    cancelled.cancel();
    EXPECT_EQ(Sha256::ofFile(write(dir + "/x", "x"), cancelled), std::nullopt);
}

// The stamp a move relies on: the same while a file is left alone, different once it is
// rewritten (even with its modification time put back) or replaced; never one for a symlink.
TEST(RegularFile, StampsTellAFileLeftAloneFromOneTouched) {
    const QString dir = testsupport::freshDir("stamps");
    const QString path = write(dir + "/f", "first");
    const std::optional<RegularFile::Stamp> first = RegularFile::stampOf(path);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->size, 5);
    EXPECT_EQ(RegularFile::stampOf(path), first);
    EXPECT_EQ(RegularFile(path).stamp(), first);

    ASSERT_EQ(::symlink("f", QFile::encodeName(dir + "/link").constData()), 0);
    EXPECT_EQ(RegularFile::stampOf(dir + "/link"), std::nullopt);
    EXPECT_EQ(RegularFile::stampOf(dir), std::nullopt);
    EXPECT_EQ(RegularFile::stampOf(dir + "/missing"), std::nullopt);

    // The descriptor's name reads the file opened, whatever became of its own name since.
    const RegularFile opened(path);
    ASSERT_TRUE(QFile::rename(path, dir + "/moved"));
    write(path, "other");
    QFile byDescriptor(opened.descriptorPath());
    ASSERT_TRUE(byDescriptor.open(QIODevice::ReadOnly));
    EXPECT_EQ(byDescriptor.readAll(), "first");
    const std::optional<RegularFile::Stamp> replaced = RegularFile::stampOf(path);
    ASSERT_TRUE(replaced.has_value());
    EXPECT_NE(replaced->inode, first->inode);

    // Rewritten in place, same size, modification time put back: the change time still moves.
    struct stat before;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    QThread::msleep(50);
    write(path, "again");
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    const std::optional<RegularFile::Stamp> rewritten = RegularFile::stampOf(path);
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_EQ(rewritten->modifiedNs, replaced->modifiedNs);
    EXPECT_NE(rewritten, replaced);
}

// The digest on the way is the digest of the bytes so far, and asking for it changes nothing of
// what follows.
TEST(Sha256, DigestOnTheWayLeavesTheHashGoingOn) {
    const QByteArray bytes = pattern(200000);
    Sha256 whole;
    whole.update(bytes.left(4096));
    EXPECT_EQ(Sha256::hex(whole.current()), Sha256::hex(hashOf(bytes.left(4096))));
    whole.update(bytes.mid(4096, 61440));
    EXPECT_EQ(Sha256::hex(whole.current()), Sha256::hex(hashOf(bytes.left(65536))));
    whole.update(bytes.mid(65536));
    EXPECT_EQ(Sha256::hex(whole.finish()), Sha256::hex(hashOf(bytes)));
}
