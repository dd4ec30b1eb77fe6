// The freedesktop Trash (moves with their records, erasing with them, names as bytes, file-system
// boundaries, other volumes' Trash) and the disk-usage tool (output parsing, timeout, cancel,
// agreement with the walker).
#include "platform/DirectoryWalker.h"
#include "platform/DiskUsage.h"
#include "platform/FreedesktopTrash.h"
#include "platform/NativePath.h"
#include "support/TestMount.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes = "x") {
    testsupport::write(path, bytes);
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

namespace {

QByteArray bytesOf(const QString& path) {
    return NativePath::encode(path);
}

bool existsRaw(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

void writeRaw(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << path.toHex().constData();
    ASSERT_EQ(::write(fd, "data", 4), 4);
    ::close(fd);
}

QByteArray readRaw(const QByteArray& path) {
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    if (fd >= 0)
        ::close(fd);
    return bytes;
}

// The names in a folder, as bytes, sorted.
QList<QByteArray> listRaw(const QString& folder) {
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(bytesOf(folder).constData())) {
        while (dirent* d = ::readdir(dir)) {
            const QByteArray name(d->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

using testsupport::Mount;

} // namespace

TEST(FreedesktopTrash, NamesThatAreNotUtf8OrTooLongForARecordStillGoAndComeBackOut) {
    const QString home = testsupport::freshDir("trash-names");
    FreedesktopTrash trash(home + "/Trash");
    const QByteArray stem(246, 'n');
    // A Latin-1 name, then names of 246 bytes and more: with ".trashinfo" their record's name
    // would pass 255 bytes.
    const QList<QByteArray> names = {"caf\xe9.txt", stem + ".tar.gz", QByteArray(250, 'n'),
                                     "again/" + stem + ".tar.gz"};
    ASSERT_TRUE(QDir().mkpath(home + "/again"));
    QSet<QByteArray> originals;
    QString error;
    for (const QByteArray& name : names) {
        const QByteArray path = bytesOf(home) + "/" + name;
        writeRaw(path);
        ASSERT_TRUE(trash.moveToTrash(NativePath::decode(path), &error))
            << name.size() << ": " << error.toStdString();
        EXPECT_FALSE(existsRaw(path));
        originals.insert("Path=" + FreedesktopTrash::encodePath(NativePath::decode(path)));
    }
    EXPECT_TRUE(originals.contains("Path=" + bytesOf(home) + "/caf%E9.txt"));

    // Each item under a name that fits beside its record, the extension kept where it fits, and
    // the record holding the whole original path.
    const QList<QByteArray> items = listRaw(trash.itemsFolder());
    ASSERT_EQ(items.size(), 4);
    EXPECT_TRUE(items.contains("caf\xe9.txt"));
    QSet<QByteArray> recorded;
    int withExtension = 0;
    for (const QByteArray& item : items) {
        EXPECT_LE(item.size() + 10, 255) << item.constData();
        withExtension += item.endsWith(".tar.gz") ? 1 : 0;
        const QByteArray text = readRaw(bytesOf(trash.infoFolder()) + "/" + item + ".trashinfo");
        for (const QByteArray& line : text.split('\n')) {
            if (line.startsWith("Path="))
                recorded.insert(line);
        }
    }
    EXPECT_EQ(withExtension, 2);
    EXPECT_EQ(recorded, originals);

    // Emptying takes each item with its record, whatever its name.
    for (const QByteArray& item : items)
        EXPECT_TRUE(
            trash.erase(NativePath::decode(bytesOf(trash.itemsFolder()) + "/" + item), &error))
            << error.toStdString();
    EXPECT_TRUE(listRaw(trash.itemsFolder()).isEmpty());
    EXPECT_TRUE(listRaw(trash.infoFolder()).isEmpty());
}

TEST(FreedesktopTrash, NothingThatReachesIntoAnotherFileSystemIsMovedOrErased) {
    const QString home = testsupport::freshDir("trash-boundary");
    // The folders at and below .../mnt lie on another file system.
    const auto mountedAt = [](const QString& mount) {
        return [m = bytesOf(mount)](const QByteArray& path, quint64 device) {
            return path == m || path.startsWith(m + "/") ? quint64(4242) : device;
        };
    };
    FreedesktopTrash trash(home + "/Trash", {mountedAt(home + "/outer/mnt")});
    writeFile(home + "/outer/mnt/theirs.txt");
    writeFile(home + "/outer/deep/er/ours.txt");
    QString error;
    EXPECT_FALSE(trash.moveToTrash(home + "/outer", &error));
    EXPECT_EQ(error, "Another folder is mounted inside it");
    EXPECT_FALSE(trash.moveToTrash(home + "/outer/mnt", &error));
    EXPECT_EQ(error, "Another folder is mounted there");
    EXPECT_TRUE(QFileInfo::exists(home + "/outer/mnt/theirs.txt"));
    EXPECT_TRUE(QDir(trash.infoFolder()).isEmpty());
    // What lies beside it on this file system still goes.
    EXPECT_TRUE(trash.moveToTrash(home + "/outer/deep", &error)) << error.toStdString();

    // An item already in the Trash that now holds another file system is not emptied at all.
    writeFile(home + "/held/mnt/theirs.txt");
    writeFile(home + "/held/ours.txt");
    ASSERT_TRUE(trash.moveToTrash(home + "/held", &error));
    FreedesktopTrash mounted(home + "/Trash", {mountedAt(trash.itemsFolder() + "/held/mnt")});
    EXPECT_FALSE(mounted.erase(trash.itemsFolder() + "/held", &error));
    EXPECT_EQ(error, "Another folder is mounted inside it");
    EXPECT_TRUE(QFileInfo::exists(trash.itemsFolder() + "/held/mnt/theirs.txt"));
    EXPECT_TRUE(QFileInfo::exists(trash.itemsFolder() + "/held/ours.txt"));
    EXPECT_TRUE(QFileInfo::exists(trash.infoFolder() + "/held.trashinfo"));
    EXPECT_FALSE(mounted.erase(trash.itemsFolder() + "/held/mnt", &error));
    EXPECT_TRUE(mounted.erase(trash.itemsFolder() + "/deep", &error)) << error.toStdString();
}

TEST(FreedesktopTrash, ARealMountInsideAnItemStopsTheMoveAndTheErase) {
    const QString home = testsupport::freshDir("trash-tmpfs");
    FreedesktopTrash trash(home + "/Trash");
    writeFile(home + "/outer/ours.txt");
    ASSERT_TRUE(QDir().mkpath(home + "/outer/mnt"));
    {
        Mount mount({home + "/outer/mnt", trash.itemsFolder() + "/outer/mnt"});
        if (!mount.ok)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        writeFile(home + "/outer/mnt/theirs.txt");
        QString error;
        EXPECT_FALSE(trash.moveToTrash(home + "/outer", &error));
        EXPECT_EQ(error, "Another folder is mounted inside it");
        EXPECT_FALSE(trash.moveToTrash(home + "/outer/mnt", &error));
        EXPECT_TRUE(QFileInfo::exists(home + "/outer/mnt/theirs.txt"));
    }
    QString error;
    ASSERT_TRUE(trash.moveToTrash(home + "/outer", &error)) << error.toStdString();
    Mount mount({trash.itemsFolder() + "/outer/mnt"});
    ASSERT_TRUE(mount.ok);
    writeFile(trash.itemsFolder() + "/outer/mnt/theirs.txt");
    EXPECT_FALSE(trash.erase(trash.itemsFolder() + "/outer", &error));
    EXPECT_EQ(error, "Another folder is mounted inside it");
    EXPECT_TRUE(QFileInfo::exists(trash.itemsFolder() + "/outer/mnt/theirs.txt"));
    EXPECT_TRUE(QFileInfo::exists(trash.itemsFolder() + "/outer/ours.txt"));
}

// A folder of the same file system bound inside an item has the item's own device number: only
// its mount identity tells it apart, and emptying the Trash through it would delete its files.
TEST(FreedesktopTrash, AFolderOfTheSameFileSystemBoundInsideAnItemIsNeitherMovedNorErased) {
    const QString home = testsupport::freshDir("trash-bind");
    FreedesktopTrash trash(home + "/Trash");
    writeFile(home + "/Documents/letter.txt");
    writeFile(home + "/proj/ours.txt");
    ASSERT_TRUE(QDir().mkpath(home + "/proj/deep/er/mnt"));
    const QString items = trash.itemsFolder();
    QString error;
    {
        Mount bound({home + "/proj/deep/er/mnt", items + "/proj/deep/er/mnt"}, home + "/Documents");
        if (!bound.ok)
            GTEST_SKIP() << "cannot bind-mount here: " << std::strerror(errno);
        EXPECT_FALSE(trash.moveToTrash(home + "/proj", &error));
        EXPECT_EQ(error, "Another folder is mounted inside it");
        EXPECT_FALSE(trash.moveToTrash(home + "/proj/deep/er/mnt", &error));
        EXPECT_EQ(error, "Another folder is mounted there");
        EXPECT_TRUE(QFileInfo::exists(home + "/proj/deep/er/mnt/letter.txt"));
        EXPECT_TRUE(QDir(trash.infoFolder()).isEmpty());
    }
    ASSERT_TRUE(trash.moveToTrash(home + "/proj", &error)) << error.toStdString();

    // Emptying: a folder bound deep inside the item, a file bound over one of its files, and
    // an item that is itself bound are each refused before anything of them goes.
    Mount deep({items + "/proj/deep/er/mnt"}, home + "/Documents");
    ASSERT_TRUE(deep.ok);
    EXPECT_FALSE(trash.erase(items + "/proj", &error));
    EXPECT_EQ(error, "Another folder is mounted inside it");
    EXPECT_TRUE(QFileInfo::exists(home + "/Documents/letter.txt"));
    EXPECT_TRUE(QFileInfo::exists(items + "/proj/ours.txt"));
    EXPECT_TRUE(QFileInfo::exists(trash.infoFolder() + "/proj.trashinfo"));

    writeFile(items + "/files/a.txt");
    writeFile(items + "/files/b.txt");
    writeFile(items + "/files/c.txt");
    Mount file({items + "/files/b.txt"}, home + "/Documents/letter.txt");
    ASSERT_TRUE(file.ok);
    EXPECT_FALSE(trash.erase(items + "/files", &error));
    EXPECT_EQ(error, "Another folder is mounted inside it");
    EXPECT_TRUE(QFileInfo::exists(items + "/files/a.txt"));
    EXPECT_TRUE(QFileInfo::exists(items + "/files/c.txt"));

    ASSERT_TRUE(QDir().mkpath(items + "/whole"));
    Mount whole({items + "/whole"}, home + "/Documents");
    ASSERT_TRUE(whole.ok);
    EXPECT_FALSE(trash.erase(items + "/whole", &error));
    EXPECT_EQ(error, "Another folder is mounted there");
    EXPECT_TRUE(QFileInfo::exists(home + "/Documents/letter.txt"));
}

// Names shortened to fit beside their record keep something of their own before the number and
// the extension, whatever their bytes.
TEST(FreedesktopTrash, ShortenedNamesStayVisibleAndCutBetweenCharacters) {
    const QByteArray stray(300, '\x80');
    for (int attempt : {1, 2}) {
        for (const QByteArray& name : {stray + ".pdf", stray}) {
            const QByteArray shortened = FreedesktopTrash::candidateName(name, attempt);
            EXPECT_LE(shortened.size(), FreedesktopTrash::maxItemNameBytes);
            EXPECT_TRUE(shortened.startsWith('\x80')) << shortened.constData();
            EXPECT_TRUE(shortened.endsWith(name.endsWith(".pdf") ? ".pdf"
                                           : attempt > 1         ? ".2"
                                                                 : "\x80"));
        }
    }
    // Two-, three- and four-byte characters lose whole characters only.
    for (const QString& character :
         {QStringLiteral("\u00e9"), QStringLiteral("\u20ac"), QStringLiteral("\U0001F600")}) {
        const QString stem = character.repeated(300 / character.toUtf8().size());
        for (int attempt : {1, 2}) {
            const QByteArray shortened =
                FreedesktopTrash::candidateName(stem.toUtf8() + ".pdf", attempt);
            const QString decoded = QString::fromUtf8(shortened);
            EXPECT_EQ(decoded.toUtf8(), shortened);
            EXPECT_FALSE(decoded.contains(QChar::ReplacementCharacter));
            EXPECT_GE(shortened.size(), FreedesktopTrash::maxItemNameBytes - 4);
        }
    }
    // A hidden name stays hidden.
    EXPECT_TRUE(FreedesktopTrash::candidateName("." + QByteArray(300, 'a'), 2).startsWith(".a"));
}

TEST(FreedesktopTrash, AnItemOnAnotherVolumeGoesToThatVolumesOwnTrash) {
    const QString home = testsupport::freshDir("trash-volume");
    FreedesktopTrash trash(home + "/Trash");
    ASSERT_TRUE(QDir().mkpath(home + "/volume"));
    Mount mount({home + "/volume"});
    if (!mount.ok)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    const QByteArray volume = bytesOf(home + "/volume");
    ASSERT_EQ(::mkdir((volume + "/sub").constData(), 0700), 0);
    writeRaw(volume + "/sub/caf\xe9.txt");

    QString error;
    ASSERT_TRUE(trash.moveToTrash(NativePath::decode(volume + "/sub/caf\xe9.txt"), &error))
        << error.toStdString();
    const QByteArray own = volume + "/.Trash-" + QByteArray::number(qulonglong(::getuid()));
    EXPECT_TRUE(existsRaw(own + "/files/caf\xe9.txt"));
    // The record names the item relative to the volume's top folder.
    EXPECT_TRUE(readRaw(own + "/info/caf\xe9.txt.trashinfo").contains("\nPath=sub/caf%E9.txt\n"));
    EXPECT_TRUE(listRaw(trash.itemsFolder()).isEmpty());
}
