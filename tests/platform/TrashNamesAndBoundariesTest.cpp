// The freedesktop Trash at its edges: names as bytes, names shortened to fit their record, and
// nothing moved or erased across a file-system boundary.
#include "platform/TrashTestSupport.h"

using namespace trashtest;

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
