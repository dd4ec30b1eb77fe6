// Mount roots by mount identity: plain folders, files and symlinks are none, a folder or file
// bound from the same file system is one, and the mountinfo table is read with its escapes.
#include "platform/MountRoot.h"
#include "support/TestMount.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <unistd.h>

namespace {

QByteArray bytesOf(const QString& path) {
    return QFile::encodeName(path);
}

// The three ways of asking agree on path's entry.
void expectMountRoot(const QString& path, bool expected) {
    const QByteArray bytes = bytesOf(path);
    EXPECT_EQ(MountRoot::isPath(bytes), expected) << bytes.constData();
    const QByteArray parent = bytes.left(bytes.lastIndexOf('/'));
    const QByteArray name = bytes.mid(bytes.lastIndexOf('/') + 1);
    const int parentFd = ::open(parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(parentFd, 0);
    EXPECT_EQ(MountRoot::isEntry(parentFd, name.constData()), expected) << bytes.constData();
    const int fd = ::openat(parentFd, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(MountRoot::isOpened(fd, parentFd), expected) << bytes.constData();
    ::close(fd);
    ::close(parentFd);
}

} // namespace

TEST(MountRoot, ABindMountOfTheSameFileSystemIsOneAndWhatItHoldsIsNot) {
    const QString dir = testsupport::freshDir("mount-root");
    testsupport::write(dir + "/source/inner.txt", "x");
    testsupport::write(dir + "/file.txt", "x");
    testsupport::write(dir + "/target.txt", "x");
    ASSERT_TRUE(QDir().mkpath(dir + "/at"));
    ASSERT_EQ(::symlink("at", bytesOf(dir + "/link").constData()), 0);
    EXPECT_TRUE(MountRoot::isPath("/"));
    expectMountRoot(dir + "/at", false);
    expectMountRoot(dir + "/file.txt", false);

    testsupport::Mount folder({dir + "/at"}, dir + "/source");
    if (!folder.ok)
        GTEST_SKIP() << "cannot bind-mount here: " << std::strerror(errno);
    testsupport::Mount file({dir + "/target.txt"}, dir + "/file.txt");
    ASSERT_TRUE(file.ok);
    expectMountRoot(dir + "/at", true);
    expectMountRoot(dir + "/target.txt", true);
    expectMountRoot(dir + "/at/inner.txt", false);
    // A symlink to a mount root is a symlink, removed as such.
    expectMountRoot(dir + "/link", false);
    expectMountRoot(dir + "/source", false);
}

TEST(MountRoot, MountinfoPointsAreReadWithTheirEscapesUndone) {
    const QByteArray table = "22 1 0:21 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                             "40 22 0:21 /home/ada/Documents /home/ada/My\\040Files rw - ext4 "
                             "/dev/sda1 rw\n"
                             "41 22 0:35 / /mnt/tab\\011and\\134back rw - tmpfs tmpfs rw\n"
                             "garbage\n";
    EXPECT_EQ(MountRoot::mountPointsIn(table),
              (QList<QByteArray>{"/", "/home/ada/My Files", "/mnt/tab\tand\\back"}));
}
