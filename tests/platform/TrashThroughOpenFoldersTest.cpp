// The Trash acting through open folders: a found item reached only as its walk reached it, and
// emptying folders whose modes would stop anyone but root.
#include "platform/FoundRoot.h"
#include "platform/FreedesktopTrash.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

void writeFile(const QString& path) {
    testsupport::write(path, "x");
}

void link(const QString& target, const QString& at) {
    ASSERT_EQ(::symlink(native(target).constData(), native(at).constData()), 0);
}

void swapForLink(const QString& folder, const QString& target) {
    ASSERT_EQ(::rename(native(folder).constData(), native(folder + ".old").constData()), 0);
    link(target, folder);
}

mode_t modeOf(const QString& path) {
    struct stat st;
    return ::lstat(native(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

QByteArray recordOf(const FreedesktopTrash& trash, const QString& item) {
    QFile f(trash.infoFolder() + "/" + item + ".trashinfo");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What the system lets anyone but root do with a folder: list and empty it only with read, write
// and search permission of their own (the owner's bits for its owner, the others' bits else).
bool asAnyoneButRoot(const struct stat& st) {
    const mode_t need = st.st_uid == ::geteuid() ? S_IRWXU : S_IRWXO;
    return (st.st_mode & need) == need;
}

} // namespace

TEST(FreedesktopTrash, AFoundItemIsReachedOnlyThroughTheFoldersItsWalkWentThrough) {
    const QString home = testsupport::freshDir("trash-found");
    FreedesktopTrash trash(home + "/Trash");
    const QString mine = home + "/Documents";
    const QString cache = home + "/real-cache";
    for (const char* name : {"a.log", "b.log", "c.log", "d.log"})
        writeFile(mine + "/" + QString::fromLatin1(name));
    writeFile(cache + "/app/x1/a.log");
    writeFile(cache + "/app/x2/b.log");
    writeFile(cache + "/app/x3/c.log");
    writeFile(cache + "/top/d.log");
    writeFile(cache + "/top/e.log");
    // The searched folder may itself be a link, as the walk follows it.
    link(cache, home + "/cache");
    const FoundRoot root(home + "/cache");
    ASSERT_TRUE(root.isOpen());

    QString error;
    ASSERT_TRUE(trash.moveFoundToTrash(root, home + "/cache/app/x1/a.log", {}, &error))
        << error.toStdString();
    EXPECT_TRUE(recordOf(trash, "a.log").contains("Path=" + native(home) + "/cache/app/x1/a.log"));

    // A folder on the way swapped for a link, or for a file: nothing moves, the user's file least.
    swapForLink(cache + "/app/x2", mine);
    EXPECT_FALSE(trash.moveFoundToTrash(root, home + "/cache/app/x2/b.log", {}, &error));
    EXPECT_EQ(error, Trash::movedAwayText());
    swapForLink(cache + "/app", mine);
    EXPECT_FALSE(trash.moveFoundToTrash(root, home + "/cache/app/x3/c.log", {}, &error));
    EXPECT_EQ(error, Trash::movedAwayText());
    EXPECT_FALSE(trash.moveFoundToTrash(root, home + "/cache/../Documents/c.log", {}, &error));
    EXPECT_EQ(error, Trash::notBelowText());
    EXPECT_TRUE(Trash::isSafetyRefusal(error));
    EXPECT_FALSE(trash.moveFoundToTrash(root, home + "/cache", {}, &error));
    EXPECT_EQ(error, Trash::notBelowText());

    // The vet sees the item in the folder it would leave, and may keep it there.
    ino_t seen = 0;
    const Trash::Vet keep = [&seen](const struct stat& st) {
        seen = st.st_ino;
        return QStringLiteral("Kept");
    };
    EXPECT_FALSE(trash.moveFoundToTrash(root, home + "/cache/top/d.log", keep, &error));
    EXPECT_EQ(error, "Kept");
    struct stat st;
    ASSERT_EQ(::lstat(native(cache + "/top/d.log").constData(), &st), 0);
    EXPECT_EQ(seen, st.st_ino);

    // The searched folder is held from the moment it was opened: given to a link since, its path
    // leads elsewhere, but what was found goes from where it was found.
    link(mine, home + "/cache.new");
    ASSERT_EQ(
        ::rename(native(home + "/cache.new").constData(), native(home + "/cache").constData()), 0);
    EXPECT_TRUE(trash.moveFoundToTrash(root, home + "/cache/top/d.log", {}, &error))
        << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(cache + "/top/d.log"));

    for (const char* name : {"a.log", "b.log", "c.log", "d.log"})
        EXPECT_TRUE(QFileInfo::exists(mine + "/" + QString::fromLatin1(name))) << name;
    EXPECT_EQ(QDir(trash.itemsFolder()).entryList(QDir::Files), QStringList({"a.log", "d.log"}));

    // The plain move still goes by the path as it reads now.
    EXPECT_TRUE(trash.moveToTrash(home + "/real-cache/top/e.log", &error)) << error.toStdString();
}

TEST(FreedesktopTrash, EmptyingGivesTheUsersOwnFoldersTheirPermissionsBackAndNamesWhatStayed) {
    const QString home = testsupport::freshDir("trash-modes");
    FreedesktopTrash::Deps deps;
    deps.mayEmpty = asAnyoneButRoot;
    FreedesktopTrash trash(home + "/Trash", deps);
    const QString items = trash.itemsFolder();
    writeFile(home + "/proj/locked/inner/deeper/f.txt");
    writeFile(home + "/proj/read-only/g.txt");
    writeFile(home + "/proj/theirs/h.txt");
    writeFile(home + "/proj/loose.txt");
    writeFile(home + "/outside/kept.txt");
    link(home + "/outside", home + "/proj/link-out");
    writeFile(home + "/sealed/s.txt");
    ASSERT_TRUE(trash.moveToTrash(home + "/proj", nullptr));
    ASSERT_TRUE(trash.moveToTrash(home + "/sealed", nullptr));
    for (const char* folder : {"/proj/locked/inner/deeper", "/proj/locked/inner", "/proj/locked"})
        ASSERT_EQ(::chmod(native(items + folder).constData(), 0), 0);
    ASSERT_EQ(::chmod(native(items + "/proj/read-only").constData(), 0500), 0);
    ASSERT_EQ(::chmod(native(items + "/sealed").constData(), 0), 0);
    // A link's target is never the erase's business, whatever its mode.
    ASSERT_EQ(::chmod(native(home + "/outside").constData(), 0), 0);

    QString error;
    EXPECT_TRUE(trash.erase(items + "/sealed", &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(items + "/sealed"));
    EXPECT_TRUE(recordOf(trash, "sealed").isEmpty());

    // A folder of someone else's keeps its mode, and the erase says by name that it stayed.
    const bool chowned = ::chown(native(items + "/proj/theirs").constData(), 65534, 65534) == 0;
    if (chowned) {
        ASSERT_EQ(::chmod(native(items + "/proj/theirs").constData(), 0), 0);
        EXPECT_FALSE(trash.erase(items + "/proj", &error));
        EXPECT_EQ(error, "theirs could not be removed (Permission denied)");
        EXPECT_EQ(modeOf(items + "/proj/theirs"), mode_t(0));
        EXPECT_EQ(QDir(items + "/proj").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList({"theirs"}));
        EXPECT_FALSE(recordOf(trash, "proj").isEmpty());
        ASSERT_EQ(::chown(native(items + "/proj/theirs").constData(), ::geteuid(), ::getegid()), 0);
    }
    EXPECT_TRUE(trash.erase(items + "/proj", &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(items + "/proj"));
    EXPECT_TRUE(recordOf(trash, "proj").isEmpty());
    EXPECT_EQ(modeOf(home + "/outside"), mode_t(0));
    ASSERT_EQ(::chmod(native(home + "/outside").constData(), 0700), 0);
    EXPECT_TRUE(QFileInfo::exists(home + "/outside/kept.txt"));
    if (!chowned)
        GTEST_SKIP() << "cannot give a folder to another user here: " << std::strerror(errno);
}
