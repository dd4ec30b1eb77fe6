// The sizes the folder browser shows: each what `du` counts, a file of several names once in
// the total, and a folder that cannot be read shown as such.
#include "storage/DiskMapMeasurer.h"
#include "storage/DiskMapTally.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderBrowserText.h"
#include "storage/FolderTree.h"
#include "storage/FolderTreeTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QThreadPool>

using namespace diskmaptest;
using namespace foldertreetest;
using Entry = FolderTree::Entry;

namespace {

// What `du -sk` counts for a folder (worked out apart from the walker), with its regular files.
FolderTree::Size expectedSize(const QString& root) {
    const DuFigure du = duOf(root);
    return {du.bytes, int(du.files), {}};
}

} // namespace

TEST(FolderTreeService, SizesEqualAnIndependentSumAndComeBackFromTheCache) {
    const QString home = testsupport::freshDir("tree-sizes");
    makeFile(home + "/Projects/app/main.cpp", 3 * 4096);
    makeFile(home + "/Projects/app/notes.txt", 100);
    makeFile(home + "/Projects/.git/objects/pack", 5 * 4096);     // hidden: counted
    makeFile(home + "/Projects/Tool.app/Contents/bin", 7 * 4096); // package inside: counted
    makeFile(home + "/Projects/deep/a/b/c/d.bin", 2 * 4096);
    ::link(QFile::encodeName(home + "/Projects/deep/a/b/c/d.bin").constData(),
           QFile::encodeName(home + "/Projects/deep/twin.bin").constData());
    ::symlink("/usr", QFile::encodeName(home + "/Projects/usr-link").constData());
    makeFile(home + "/Music.app/Contents/x", 4 * 4096); // a package measured whole
    makeFile(home + "/Empty/.hidden", 4096);
    makeFile(home + "/loose.txt", 4096);
    makeFile(home + "/.profile", 4096);
    makeFile(home + "/Library/cache", 4096);

    FolderTree tree(home);
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    EXPECT_FALSE(tree.error());
    QStringList shown = names(tree.entries());
    shown.sort();
    EXPECT_EQ(shown, QStringList({"Empty", "Library", "Music.app", "Projects", "loose.txt"}));
    for (const Entry& e : tree.entries()) {
        ASSERT_TRUE(e.sizeBytes) << e.name.toStdString();
        const FolderTree::Size expected =
            e.isDirectory ? expectedSize(e.path) : FolderTree::Size{allocated(e.path), 1, {}};
        EXPECT_EQ(*e.sizeBytes, expected.bytes) << e.name.toStdString();
        EXPECT_EQ(e.fileCount, expected.files) << e.name.toStdString();
    }
    EXPECT_EQ(names(tree.entries()).first(), "Projects");
    EXPECT_EQ(tree.largestEntrySize(), *tree.entries().first().sizeBytes);

    // In and back out: the parent lists with every size from the cache and measures nothing.
    const Entry projects = tree.entries().first();
    tree.enter(projects);
    EXPECT_EQ(tree.trail(), QStringList({projects.path}));
    ASSERT_TRUE(settled(tree));
    tree.goUp();
    EXPECT_TRUE(tree.trail().isEmpty());
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    EXPECT_EQ(tree.measuringCount(), 0);
    for (const Entry& e : tree.entries())
        EXPECT_TRUE(e.sizeBytes);

    // A package is not entered; trail jumps.
    const Entry music =
        *FolderTree::makeEntry(listed("Music.app", home + "/Music.app", true), true);
    tree.enter(music);
    EXPECT_TRUE(tree.trail().isEmpty());
    tree.enter(projects);
    tree.jumpToTrail(1);
    EXPECT_EQ(tree.trail(), QStringList({projects.path}));
    tree.jumpToTrail(-1);
    EXPECT_TRUE(tree.trail().isEmpty());
    EXPECT_EQ(tree.currentFolder(), home);
    drain();
}

// Two rows holding names of one file each show it, as `du` of each folder does; the total counts
// it once, as `du` of both folders together does.
TEST(FolderTreeService, AFileOfSeveralRowsCountsOnceInTheTotal) {
    const QString home = testsupport::freshDir("tree-links");
    makeFile(home + "/Movies/film.mkv", 64 * 4096);
    makeFile(home + "/Backup/other.bin", 2 * 4096);
    ASSERT_EQ(::link(QFile::encodeName(home + "/Movies/film.mkv").constData(),
                     QFile::encodeName(home + "/Backup/film.mkv").constData()),
              0);
    makeFile(home + "/notes.txt", 4096);
    // A plain file of the shown folder that is also a name inside one of its folder rows.
    makeFile(home + "/Backup/clip.mov", 8 * 4096);
    ASSERT_EQ(::link(QFile::encodeName(home + "/Backup/clip.mov").constData(),
                     QFile::encodeName(home + "/clip.mov").constData()),
              0);

    FolderTree tree(home);
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    qint64 rows = 0;
    for (const Entry& e : tree.entries())
        rows += e.sizeBytes.value_or(0);
    const qint64 film = allocated(home + "/Movies/film.mkv");
    const qint64 clip = allocated(home + "/clip.mov");
    EXPECT_EQ(rows, duOf(home + "/Movies").bytes + duOf(home + "/Backup").bytes + 4096 + clip);
    EXPECT_EQ(tree.totalMeasuredBytes(), rows - film - clip);
    EXPECT_EQ(tree.totalMeasuredBytes(), duOf(home).bytes - allocated(home));
    // Back from the cache, the same.
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(tree.totalMeasuredBytes(), rows - film - clip);

    drain();
}

TEST(FolderTreeService, AFolderHoldingOnlyAnAppCountsTheAppLikeTheDiskMap) {
    const QString home = testsupport::freshDir("tree-bundle");
    makeFile(home + "/Apps/Tool.app/Contents/MacOS/tool", 2 * 4096);
    makeFile(home + "/Apps/Tool.app/Contents/Frameworks/Kit.framework/Kit", 4096);
    makeFile(home + "/Apps/Tool.app/Contents/Info.plist", 100);

    FolderTree tree(home);
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    ASSERT_EQ(tree.entries().size(), 1);
    const Entry apps = tree.entries().first();
    ASSERT_TRUE(apps.sizeBytes);
    const FolderTree::Size expected = expectedSize(home + "/Apps");
    EXPECT_EQ(expected.files, 3);
    EXPECT_EQ(*apps.sizeBytes, expected.bytes);
    EXPECT_EQ(apps.fileCount, 3);
    EXPECT_EQ(FolderBrowserText::filesInside(apps.fileCount), "3 files inside");

    DiskMapTally tally(1, CancelToken(), {});
    const std::optional<MapNode> mapped =
        DiskMapMeasurer().measure(home + "/Apps", 1, DiskMapCategory::Unknown, tally);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(mapped->sizeBytes, *apps.sizeBytes);
    EXPECT_EQ(mapped->fileCount, apps.fileCount);
}

TEST(FolderTreeService, AnUnreadableFolderShowsTheFixedTextAndNothingElse) {
    const QString home = testsupport::freshDir("tree-unreadable");
    makeFile(home + "/Locked/secret", 4096);
    FolderTree::Deps tools;
    tools.list = [home](const QString& folder) -> FolderTree::Listing {
        if (folder.endsWith(QLatin1String("/Locked")))
            return std::nullopt; // what a folder without read permission gives
        return FolderTree::listFolder(folder);
    };
    FolderTree tree(home, tools);
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    tree.enter(tree.entries().first());
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    EXPECT_TRUE(tree.entries().isEmpty());
    EXPECT_EQ(tree.error(), FolderTree::unreadableText());
    EXPECT_EQ(tree.totalMeasuredBytes(), 0);
    EXPECT_EQ(tree.largestEntrySize(), 0);

    // The real listing fails the same way for a folder that is not there.
    tree.open(home + "/nowhere");
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    EXPECT_EQ(tree.error(), FolderTree::unreadableText());
    tree.goUp();
    ASSERT_TRUE(settled(tree));
    EXPECT_FALSE(tree.error());
    EXPECT_EQ(tree.entries().size(), 1);
    drain();
}
