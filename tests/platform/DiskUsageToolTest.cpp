// The disk-usage tool: its output parsing, agreement with the walker, and a slow tool stopped by
// its timeout or a cancel.
#include "platform/TrashTestSupport.h"

using namespace trashtest;

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
