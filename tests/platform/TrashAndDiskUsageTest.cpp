// The freedesktop home Trash (moves with their records, erasing with them) and the disk-usage
// tool (output parsing, timeout, cancel, agreement with the walker).
#include "platform/DirectoryWalker.h"
#include "platform/DiskUsage.h"
#include "platform/FreedesktopTrash.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes = "x") {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(FreedesktopTrash, MovesItemsWithTheirRecordsAndNumbersTakenNames) {
    const QString home = testsupport::freshDir("trash-move");
    // A fresh account has no Trash yet: it is made, never guessed elsewhere.
    FreedesktopTrash trash(home + "/data/Trash");
    writeFile(home + "/Downloads/report 100%.pdf");
    writeFile(home + "/other/report 100%.pdf");
    QDir().mkpath(home + "/folder/inner");
    ASSERT_EQ(::symlink("/nonexistent", QFile::encodeName(home + "/dangling").constData()), 0);

    QString error;
    ASSERT_TRUE(trash.moveToTrash(home + "/Downloads/report 100%.pdf", &error))
        << error.toStdString();
    ASSERT_TRUE(trash.moveToTrash(home + "/other/report 100%.pdf", &error));
    ASSERT_TRUE(trash.moveToTrash(home + "/folder", &error));
    ASSERT_TRUE(trash.moveToTrash(home + "/dangling", &error)) << error.toStdString();

    const QString files = trash.itemsFolder();
    EXPECT_TRUE(QFileInfo::exists(files + "/report 100%.pdf"));
    EXPECT_TRUE(QFileInfo::exists(files + "/report 100%.2.pdf"));
    EXPECT_TRUE(QFileInfo(files + "/folder/inner").isDir());
    EXPECT_TRUE(QFileInfo(files + "/dangling").isSymLink());
    EXPECT_FALSE(QFileInfo::exists(home + "/folder"));

    const QByteArray info = readFile(trash.infoFolder() + "/report 100%.2.pdf.trashinfo");
    EXPECT_TRUE(info.startsWith("[Trash Info]\nPath="));
    EXPECT_TRUE(info.contains("Path=" + QFile::encodeName(home) + "/other/report%20100%25.pdf\n"))
        << info.toStdString();
    EXPECT_TRUE(info.contains("\nDeletionDate=2"));
}

TEST(FreedesktopTrash, FailuresLeaveNothingBehind) {
    const QString home = testsupport::freshDir("trash-fail");
    FreedesktopTrash trash(home + "/Trash");
    QString error;
    EXPECT_FALSE(trash.moveToTrash(home + "/never-there", &error));
    EXPECT_EQ(error, "No such file or directory");
    writeFile(trash.itemsFolder() + "/already.txt");
    EXPECT_FALSE(trash.moveToTrash(trash.itemsFolder() + "/already.txt", &error));
    EXPECT_TRUE(QDir(trash.infoFolder()).isEmpty());
}

TEST(FreedesktopTrash, EraseRemovesItemRecordAndCachedSizeTogether) {
    const QString home = testsupport::freshDir("trash-erase");
    FreedesktopTrash trash(home + "/Trash");
    writeFile(home + "/big/nested/file.bin", QByteArray(10000, 'a'));
    writeFile(home + "/keep.txt");
    // A symlink inside a trashed folder is removed, its target is not.
    ASSERT_EQ(::symlink(QFile::encodeName(home + "/keep.txt").constData(),
                        QFile::encodeName(home + "/big/link").constData()),
              0);
    // Read-only folders (module caches make them) are still emptied.
    ASSERT_EQ(::chmod(QFile::encodeName(home + "/big/nested").constData(), 0555), 0);
    writeFile(home + "/other.txt");
    ASSERT_TRUE(trash.moveToTrash(home + "/big", nullptr));
    ASSERT_TRUE(trash.moveToTrash(home + "/other.txt", nullptr));
    writeFile(home + "/Trash/directorysizes", "10240 1700000000 big\n20 1700000000 other%20one\n");

    QString error;
    ASSERT_TRUE(trash.erase(trash.itemsFolder() + "/big", &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(trash.itemsFolder() + "/big"));
    EXPECT_FALSE(QFileInfo::exists(trash.infoFolder() + "/big.trashinfo"));
    EXPECT_EQ(readFile(home + "/Trash/directorysizes"), "20 1700000000 other%20one\n");
    EXPECT_TRUE(QFileInfo::exists(trash.itemsFolder() + "/other.txt"));
    EXPECT_TRUE(QFileInfo::exists(trash.infoFolder() + "/other.txt.trashinfo"));
    EXPECT_TRUE(QFileInfo::exists(home + "/keep.txt"));

    EXPECT_FALSE(trash.erase(home + "/elsewhere.txt", &error));
    EXPECT_FALSE(trash.erase(trash.itemsFolder() + "/gone", &error));
    EXPECT_EQ(error, "No such file or directory");
}

TEST(DuDiskUsage, ParsesKilobytesAndRejectsAnythingElse) {
    EXPECT_EQ(DuDiskUsage::parseOutput("12\t/some/path\n"), 12288);
    EXPECT_EQ(DuDiskUsage::parseOutput("  7 x"), 7168);
    EXPECT_EQ(DuDiskUsage::parseOutput(""), 0);
    EXPECT_EQ(DuDiskUsage::parseOutput("\n\t "), 0);
    EXPECT_EQ(DuDiskUsage::parseOutput("du: cannot access"), 0);
    EXPECT_EQ(DuDiskUsage::parseOutput("12k\t/x"), 0);
    EXPECT_EQ(DuDiskUsage::parseOutput("\xff\xfe 12"), 0);
}

TEST(DuDiskUsage, AgreesWithTheWalkerAndFailsToZero) {
    const QString dir = testsupport::freshDir("du");
    writeFile(dir + "/a/b.bin", QByteArray(50000, 'b'));
    writeFile(dir + "/c.txt", QByteArray(10, 'c'));
    qint64 walked = 0;
    DirectoryWalker().walk(dir, [&](const DirectoryWalker::Entry& e) {
        walked += e.repeatLink ? 0 : e.allocatedBytes;
        return DirectoryWalker::Action::Continue;
    });
    const DuDiskUsage du;
    EXPECT_EQ(du.sizeOf(dir, CancelToken()), walked);
    EXPECT_EQ(du.sizeOf(dir + "/missing", CancelToken()), 0);
    EXPECT_EQ(DuDiskUsage(dir + "/no-such-tool").sizeOf(dir, CancelToken()), 0);
}

TEST(DuDiskUsage, SlowToolIsStoppedByTimeoutOrCancel) {
    const QString dir = testsupport::freshDir("du-slow");
    const QString tool = dir + "/slow-du";
    writeFile(tool, "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(DuDiskUsage(tool, 300).sizeOf(dir, CancelToken()), 0);
    EXPECT_LT(timer.elapsed(), 5000);

    CancelToken cancel;
    QThread* canceller = QThread::create([cancel] {
        QThread::msleep(200);
        cancel.cancel();
    });
    canceller->start();
    timer.restart();
    EXPECT_EQ(DuDiskUsage(tool).sizeOf(dir, cancel), 0);
    EXPECT_LT(timer.elapsed(), 5000);
    canceller->wait();
    delete canceller;
}
