// The freedesktop Trash: moves with their records, failures that leave nothing behind, erasing
// with the records, and an item on another volume going to that volume's Trash.
#include "platform/TrashTestSupport.h"

using namespace trashtest;

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
