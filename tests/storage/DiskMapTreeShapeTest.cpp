// The shape of the disk map's tree: which files pool and which stand, how deep it goes, what
// is measured whole, the categories handed down, unreadable and cancelled walks, and the
// progress texts.
#include "storage/DiskMapMeasurer.h"
#include "storage/DiskMapTally.h"
#include "storage/DiskMapTestSupport.h"

#include <gtest/gtest.h>
#include <QStringList>

using namespace diskmaptest;
using C = DiskMapCategory;

TEST(DiskMapMeasure, SmallFilesPoolAndLargeOnesStand) {
    const QString dir = testsupport::freshDir("pool") + "/Docs";
    makeFile(dir + "/small.bin", 10 * MiB);
    makeFile(dir + "/huge.bin", 200 * MiB);
    makeFile(dir + "/edge.bin", DiskMapMeasurer::looseThreshold); // exactly 100 MiB: its own node
    makeFile(dir + "/under.bin", DiskMapMeasurer::looseThreshold - 4096);

    const Measured run = measure(dir);
    ASSERT_TRUE(run.node);
    const MapNode& docs = *run.node;
    EXPECT_EQ(names(docs), QStringList({"huge.bin", "2 loose files", "edge.bin"}));
    // Sizes as allocated: the file system may round a large reservation.
    const qint64 small = allocated(dir + "/small.bin"), under = allocated(dir + "/under.bin");
    EXPECT_EQ(docs.sizeBytes, small + under + allocated(dir + "/huge.bin") +
                                  allocated(dir + "/edge.bin") + allocated(dir));
    EXPECT_EQ(docs.fileCount, 4);
    const MapNode& loose = docs.children[1];
    EXPECT_EQ(loose.id, dir + "/#loose");
    EXPECT_EQ(loose.url, QUrl::fromLocalFile(dir));
    EXPECT_EQ(loose.sizeBytes, small + under);
    EXPECT_EQ(loose.fileCount, 2);
    EXPECT_FALSE(loose.isDirectory);
    EXPECT_FALSE(loose.hasChildren());
    EXPECT_EQ(run.files, 4);
    EXPECT_EQ(run.bytes, docs.sizeBytes);

    const QString one = testsupport::freshDir("pool-one") + "/Docs";
    makeFile(one + "/a.txt", 4096);
    EXPECT_EQ(names(*measure(one).node), QStringList({"1 loose file"}));
}

TEST(DiskMapMeasure, EmptyThingsLeaveNoTrace) {
    const QString home = testsupport::freshDir("empty");
    makeFile(home + "/Zeros/a.txt", 0);
    makeFile(home + "/Zeros/b.txt", 0);
    makeDir(home + "/Nothing");
    makeDir(home + "/Nested/Only/Empty");

    const Measured zeros = measure(home + "/Zeros");
    ASSERT_TRUE(zeros.node);
    EXPECT_EQ(zeros.node->sizeBytes, allocated(home + "/Zeros")); // its own blocks
    EXPECT_EQ(names(*zeros.node), QStringList({"2 loose files"}));
    EXPECT_FALSE(measure(home + "/Nothing").node);
    EXPECT_FALSE(measure(home + "/Nested").node);
    EXPECT_EQ(measure(home + "/Nothing").unreadable, 0);
}

TEST(DiskMapMeasure, DepthBoundsTheTree) {
    const QString top = testsupport::freshDir("depth") + "/Top";
    const QString d4 = top + "/Two/Three/Four";
    makeFile(d4 + "/main.py", 4096);
    makeFile(d4 + "/Five/clip.mov", 8192);
    makeFile(d4 + "/Five/Six/more.mov", 4096);
    makeFile(d4 + "/Five/.hidden", 4096);

    const Measured run = measure(top);
    ASSERT_TRUE(run.node);
    const MapNode* four = &*run.node;
    for (const char* name : {"Two", "Three", "Four"}) {
        four = childNamed(*four, name);
        ASSERT_NE(four, nullptr) << name;
    }
    EXPECT_EQ(four->sizeBytes, duOf(d4).bytes);
    EXPECT_EQ(four->fileCount, 4); // the hidden file too
    EXPECT_FALSE(four->hasChildren());
    // Its kids were the unknown "Five" and a pool of code: the pool decides.
    EXPECT_EQ(four->category, C::Code);

    // A folder at depth 5 is summed whole, never listed.
    const Measured five = measure(d4 + "/Five", 5);
    ASSERT_TRUE(five.node);
    EXPECT_TRUE(five.node->isDirectory);
    EXPECT_FALSE(five.node->hasChildren());
    EXPECT_EQ(five.node->sizeBytes, duOf(d4 + "/Five").bytes);
    EXPECT_EQ(five.node->fileCount, 3);
    EXPECT_EQ(five.node->category, C::Unknown);
}

TEST(DiskMapMeasure, PackagesAndBuildFoldersAreMeasuredWhole) {
    const QString apps = testsupport::freshDir("packages") + "/Stuff";
    makeFile(apps + "/Thing.app/Contents/MacOS/thing", 8192);
    makeFile(apps + "/Thing.app/Contents/.signature", 4096); // hidden: counted
    makeFile(apps + "/Empty.app/Contents/zero", 0);
    makeFile(apps + "/proj/node_modules/left/index.js", 4096);
    makeFile(apps + "/proj/node_modules/right/lib/x.js", 4096);
    makeFile(apps + "/proj/build/out.o", 4096);

    const Measured run = measure(apps);
    ASSERT_TRUE(run.node);
    EXPECT_EQ(run.node->category, C::DownloadsLimbo); // "stuff"
    const MapNode* app = childNamed(*run.node, "Thing.app");
    ASSERT_NE(app, nullptr);
    EXPECT_FALSE(app->hasChildren());
    EXPECT_EQ(app->sizeBytes, duOf(apps + "/Thing.app").bytes);
    EXPECT_EQ(app->fileCount, 2);
    EXPECT_EQ(app->category, C::DownloadsLimbo); // handed down from "Stuff"
    // Folders and an empty file only.
    EXPECT_EQ(childNamed(*run.node, "Empty.app"), nullptr);

    const MapNode* proj = childNamed(*run.node, "proj");
    ASSERT_NE(proj, nullptr);
    const MapNode* modules = childNamed(*proj, "node_modules");
    ASSERT_NE(modules, nullptr);
    EXPECT_FALSE(modules->hasChildren());
    EXPECT_EQ(modules->sizeBytes, duOf(apps + "/proj/node_modules").bytes);
    EXPECT_EQ(modules->fileCount, 2);
    EXPECT_EQ(modules->category, C::Code);
    EXPECT_EQ(childNamed(*proj, "build")->category, C::Code);
}

TEST(DiskMapMeasure, UnreadableFoldersStayAsEmptyNodes) {
    const QString top = testsupport::freshDir("unreadable") + "/Top";
    makeFile(top + "/notes.txt", 4096);
    makeDir(top + "/Locked Invoices");
    makeDir(top + "/Empty");
    DiskMapMeasurer::Options options;
    options.canList = [](const QString& path) { return !path.endsWith("Locked Invoices"); };

    const Measured run = measure(top, 1, options);
    ASSERT_TRUE(run.node);
    EXPECT_EQ(run.unreadable, 1);
    const MapNode* locked = childNamed(*run.node, "Locked Invoices");
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(locked->sizeBytes, allocated(top + "/Locked Invoices")); // its own blocks
    EXPECT_FALSE(locked->hasChildren());
    EXPECT_TRUE(locked->isDirectory);
    EXPECT_EQ(locked->category, C::AdminFinance);
    EXPECT_EQ(childNamed(*run.node, "Empty"), nullptr);
}

TEST(DiskMapMeasure, CategoriesAreHandedDown) {
    const QString top = testsupport::freshDir("categories") + "/Documents";
    makeFile(top + "/Client A/notes.txt", 8192);
    makeFile(top + "/Client A/cover.png", 4096);
    makeFile(top + "/Misc things/readme", 4096);

    const Measured run = measure(top);
    ASSERT_TRUE(run.node);
    const MapNode* client = childNamed(*run.node, "Client A");
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->category, C::ClientWork);
    ASSERT_EQ(client->children.size(), 1);
    // notes.txt inherits client work and outweighs the picture.
    EXPECT_EQ(client->children[0].category, C::ClientWork);
    // "Documents" names nothing, so its biggest category speaks for it.
    EXPECT_EQ(run.node->category, C::ClientWork);
    EXPECT_EQ(childNamed(*run.node, "Misc things")->category, C::DownloadsLimbo);
}

TEST(DiskMapMeasure, CancelledMeasurementGivesNothing) {
    const QString top = testsupport::freshDir("cancel") + "/Top";
    makeFile(top + "/a/b.txt", 4096);
    CancelToken token;
    token.cancel();
    DiskMapTally tally(1, token, {});
    EXPECT_FALSE(DiskMapMeasurer().measure(top, 1, C::Unknown, tally));
    EXPECT_TRUE(DiskMapMeasurer().measureItems(QFileInfo(top).path(), {{"Top"}}, tally).empty());
}

TEST(DiskMapTally, ProgressTextsAndTheirThrottle) {
    EXPECT_EQ(DiskMapTally::progressText(1'200'000'000, 3400, 2, 9, "Documents"),
              QString::fromUtf8("Measured 1.2 GB across 3400 files \u00B7 2 of 9 folders done "
                                "\u00B7 now in Documents"));
    EXPECT_EQ(DiskMapTally::progressText(4096, 1, 0, 1, QString()),
              QString::fromUtf8("Measured 4 KB across 1 file \u00B7 0 of 1 folder done"));
    EXPECT_EQ(DiskMapTally::progressText(0, 0, 0, 3, QString()),
              QString::fromUtf8("Measured Zero KB across 0 files \u00B7 0 of 3 folders done"));

    QStringList texts;
    DiskMapTally tally(
        2, CancelToken(), [&](const QString& t) { texts << t; }, std::chrono::hours(1));
    tally.add(1, 1000, "Music");
    tally.add(1, 1000);
    tally.add(0, 0, "Pictures");
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].endsWith("now in Music"));
    tally.folderDone(); // always reports
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[1], QString::fromUtf8("Measured 2 KB across 2 files \u00B7 1 of 2 folders done "
                                          "\u00B7 now in Pictures"));
}
