// The disk map's figures: each what `du` counts, however a folder is measured (walked, handed
// to the tool, by many workers or in one walk of several items), a file of several names once.
#include "fakes/FakeDiskUsage.h"
#include "platform/NativePath.h"
#include "storage/DiskMapMeasurer.h"
#include "storage/DiskMapTally.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderTree.h"
#include "storage/StorageGrowthScanner.h"

#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <QFile>
#include <QScopeGuard>
#include <QStringList>
#include <thread>
#include <unistd.h>

using namespace diskmaptest;
using C = DiskMapCategory;

TEST(DiskMapMeasure, VeryLargeFoldersMeasuredWholeSwitchToTheTool) {
    const QString home = testsupport::freshDir("switch");
    for (int i = 0; i < 8; ++i)
        makeFile(home + QStringLiteral("/Top/big.app/f%1").arg(i), 4096);
    for (int i = 0; i < 4; ++i)
        makeFile(home + QStringLiteral("/Top/small.app/f%1").arg(i), 4096);
    auto du = std::make_shared<FakeDiskUsage>();
    du->setSize(home + "/Top/big.app", 999 * 1024);

    DiskMapMeasurer::Options options;
    options.switchFiles = 5; // scaled down from 20,000: 4 files are still summed one by one
    options.diskUsage = du;
    const Measured run = measure(home + "/Top", 1, options);
    ASSERT_TRUE(run.node);
    const MapNode* big = childNamed(*run.node, "big.app");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->sizeBytes, 999 * 1024);
    EXPECT_EQ(big->fileCount, 5);
    const MapNode* small = childNamed(*run.node, "small.app");
    EXPECT_EQ(small->sizeBytes, duOf(home + "/Top/small.app").bytes);
    EXPECT_EQ(small->fileCount, 4);
    EXPECT_EQ(du->asked(), QStringList({home + "/Top/big.app"}));

    // The tool gives nothing: the first files counted stand, with the folder's own blocks.
    options.diskUsage = std::make_shared<FakeDiskUsage>();
    const Measured fallback = measure(home + "/Top", 1, options);
    EXPECT_EQ(childNamed(*fallback.node, "big.app")->sizeBytes,
              5 * 4096 + allocated(home + "/Top/big.app"));
    EXPECT_EQ(childNamed(*fallback.node, "big.app")->fileCount, 5);
}

// Files of a folder measured whole are gathered by the workers that read its many subfolders at
// once: the switch still falls on exactly its file (hidden ones count), a second name of a file
// is not counted, and ids below folders with undecodable names are still the paths, decoded as
// the walker decodes.
TEST(DiskMapMeasure, FoldersMeasuredWholeCountEachFileOnceAcrossWorkers) {
    const QString home = testsupport::freshDir("gathered");
    const QString plain = home + "/Top/plain";
    for (int d = 0; d < 12; ++d)
        for (int f = 0; f < 5; ++f)
            makeFile(plain + QStringLiteral("/lib.app/sub%1/deeper/f%2").arg(d).arg(f), 4096);
    ASSERT_EQ(::link(QFile::encodeName(plain + "/lib.app/sub0/deeper/f0").constData(),
                     QFile::encodeName(plain + "/lib.app/sub1/again").constData()),
              0);
    makeFile(plain + "/lib.app/sub2/.hidden/f", 4096);
    makeFile(plain + "/notes.txt", 4096);
    // A name that is not UTF-8 (Qt's file classes cannot make it).
    const QString odd = NativePath::decode(QByteArray("Odd\xff name"));
    const QString top = home + "/Top/" + odd;
    ASSERT_EQ(::rename(QFile::encodeName(plain).constData(), NativePath::encode(top).constData()),
              0);
    // Named back at the end, so the test folder can be removed by Qt's own classes.
    const auto renameBack = qScopeGuard([&] {
        ::rename(NativePath::encode(top).constData(), QFile::encodeName(plain).constData());
    });

    DiskMapMeasurer::Options options;
    options.walkerThreads = 4;
    const Measured whole = measure(home + "/Top", 1, options);
    ASSERT_TRUE(whole.node);
    const MapNode* folder = childNamed(*whole.node, odd);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->id, home + "/Top/" + odd);
    const MapNode* app = childNamed(*folder, "lib.app");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->id, top + "/lib.app");
    EXPECT_EQ(app->fileCount, 61);
    EXPECT_EQ(app->sizeBytes, duOf(top + "/lib.app").bytes);
    EXPECT_EQ(whole.files, 62);
    EXPECT_EQ(whole.bytes, duOf(home + "/Top").bytes);

    for (const int at : {1, 7, 37, 60}) {
        SCOPED_TRACE(at);
        options.switchFiles = at;
        options.diskUsage = std::make_shared<FakeDiskUsage>(); // gives nothing: the sums stand
        const Measured switched = measure(home + "/Top", 1, options);
        ASSERT_TRUE(switched.node);
        const MapNode* sw = childNamed(*childNamed(*switched.node, odd), "lib.app");
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(sw->fileCount, at);
        // With the blocks of the folders read before the switch, which depend on the workers.
        EXPECT_GE(sw->sizeBytes, at * 4096 + allocated(top + "/lib.app"));
        EXPECT_LE(sw->sizeBytes, duOf(top + "/lib.app").bytes);
        EXPECT_EQ(switched.files, at + 1);
    }
}

// A second name counts nothing, a link is a leaf of its own blocks, and hidden items count in
// the folder's own share, without a tile.
TEST(DiskMapMeasure, LinksCountOnceAndHiddenItemsInTheFoldersOwnShare) {
    const QString base = testsupport::freshDir("links");
    makeFile(base + "/Elsewhere/huge.bin", 200 * MiB);
    const QString top = base + "/Top";
    makeFile(top + "/a.txt", 8192);
    ASSERT_EQ(::link(QFile::encodeName(top + "/a.txt").constData(),
                     QFile::encodeName(top + "/b.txt").constData()),
              0);
    ASSERT_EQ(::symlink(QFile::encodeName(base + "/Elsewhere").constData(),
                        QFile::encodeName(top + "/shortcut").constData()),
              0);
    makeFile(top + "/.secret", 4096);
    makeFile(top + "/.config/x", 4096);

    const Measured run = measure(top);
    ASSERT_TRUE(run.node);
    EXPECT_EQ(run.node->sizeBytes, duOf(top).bytes);
    EXPECT_LT(run.node->sizeBytes, MiB);
    // The link is a thing of its own (a leaf), the second name of a.txt is not counted again;
    // the hidden file and the one in the hidden folder count.
    EXPECT_EQ(run.node->fileCount, 4);
    EXPECT_EQ(names(*run.node), QStringList({"2 loose files"}));
    EXPECT_EQ(run.node->children[0].sizeBytes, 8192 + allocated(top + "/shortcut"));

    // A top-level link is a leaf too, whatever it points at.
    const Measured link = measure(top + "/shortcut");
    ASSERT_TRUE(link.node);
    EXPECT_FALSE(link.node->isDirectory);
    EXPECT_LT(link.node->sizeBytes, MiB);
}

// One figure for a folder, whichever way it is measured: summed by the walk, sized by the tool
// past the switch, or measured by the folder browser; each is what `du -sk` counts, on one tree
// with hard links, a sparse and a reserved file, hidden items and empty folders.
TEST(DiskMapMeasure, EveryWayOfMeasuringAFolderGivesWhatDuCounts) {
    const QString top = testsupport::freshDir("one-rule") + "/Top";
    const QString src = top + "/proj/src", modules = top + "/proj/node_modules";
    makeFile(src + "/main.cpp", 8192);
    makeFile(src + "/.hidden", 4096);
    makeFile(src + "/.cache/obj", 3 * 4096);
    makeFile(src + "/reserved.bin", 16 * 4096); // fallocated
    makeFile(src + "/deep/a.txt", 4096);
    ASSERT_EQ(::link(QFile::encodeName(src + "/deep/a.txt").constData(),
                     QFile::encodeName(src + "/b.txt").constData()),
              0);
    {
        QFile sparse(src + "/sparse.img");
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(64 * MiB));
        sparse.seek(MiB);
        sparse.write(QByteArray(4096, 'x'));
    }
    for (int i = 0; i < 6; ++i)
        makeFile(modules + QStringLiteral("/pkg%1/index.js").arg(i), 4096);
    makeFile(modules + "/pkg0/.npmrc", 4096);
    makeFile(modules + "/.bin/tool", 4096);
    makeDir(modules + "/empty/inside");
    ASSERT_EQ(::link(QFile::encodeName(modules + "/pkg1/index.js").constData(),
                     QFile::encodeName(modules + "/pkg2/shared.js").constData()),
              0);
    makeDir(top + "/proj/nothing");
    makeFile(top + "/readme.md", 4096);

    DiskMapMeasurer::Options summed;
    summed.walkerThreads = 3;
    summed.diskUsage = std::make_shared<FakeDiskUsage>();
    DiskMapMeasurer::Options sized = summed;
    sized.switchFiles = 3; // node_modules reaches the tool
    auto tool = std::make_shared<FakeDiskUsage>();
    tool->setSize(modules, duOf(modules).bytes);
    sized.diskUsage = tool;

    const Measured bySum = measure(top, 1, summed), byTool = measure(top, 1, sized);
    ASSERT_TRUE(bySum.node);
    ASSERT_TRUE(byTool.node);
    EXPECT_EQ(tool->asked(), QStringList({modules}));
    const auto find = [](const MapNode& root, const QStringList& path) {
        const MapNode* node = &root;
        for (const QString& name : path) {
            node = node ? childNamed(*node, name) : nullptr;
        }
        return node;
    };
    // The folders that hold both names of each linked file.
    const QList<QStringList> folders = {{}, {"proj"}, {"proj", "src"}, {"proj", "node_modules"}};
    for (const QStringList& path : folders) {
        const QString folder = top + (path.isEmpty() ? QString() : "/" + path.join('/'));
        SCOPED_TRACE(folder.toStdString());
        const MapNode* summedNode = find(*bySum.node, path);
        const MapNode* sizedNode = find(*byTool.node, path);
        ASSERT_NE(summedNode, nullptr);
        ASSERT_NE(sizedNode, nullptr);
        const DuFigure du = duOf(folder);
        EXPECT_EQ(summedNode->sizeBytes, du.bytes);
        EXPECT_EQ(sizedNode->sizeBytes, du.bytes);
        EXPECT_EQ(FolderTree::measureFolder(folder).bytes, du.bytes);
        EXPECT_EQ(FolderTree::measureFolder(folder).files, du.files);
        EXPECT_EQ(StorageGrowthScanner::measureLocation(folder), du.bytes);
    }
    // Hidden items have no tile: the folder's share beyond its children is theirs and its blocks.
    const MapNode* srcNode = find(*bySum.node, {"proj", "src"});
    qint64 drawn = 0;
    for (const MapNode& kid : srcNode->children)
        drawn += kid.sizeBytes;
    // The file of two names counts in src, the first folder by path, so "deep" holds nothing but
    // its own blocks; drawn or not, they are in src's size.
    const MapNode* deep = childNamed(*srcNode, "deep");
    EXPECT_TRUE(!deep || deep->sizeBytes == allocated(src + "/deep"));
    const qint64 deepLeftOut = deep ? 0 : allocated(src + "/deep");
    EXPECT_EQ(srcNode->sizeBytes - drawn, allocated(src) + allocated(src + "/.hidden") +
                                              duOf(src + "/.cache").bytes + deepLeftOut);
    EXPECT_EQ(find(*bySum.node, {"proj", "nothing"}), nullptr); // an empty folder has no tile
    EXPECT_EQ(bySum.bytes, bySum.node->sizeBytes);
}

TEST(DiskMapMeasure, ItemsMeasuredInOneWalkAreWhatEachWalkAloneGives) {
    const QString home = testsupport::freshDir("items");
    makeFile(home + "/Documents/Client A/notes.txt", 8192);
    makeFile(home + "/Documents/Client A/cover.png", 4096);
    for (int i = 0; i < 6; ++i)
        makeFile(home + QStringLiteral("/Documents/a/b/c/d%1/e/deep.txt").arg(i), 4096);
    makeFile(home + "/Documents/big.iso", 101 * MiB);
    makeFile(home + "/Music/song.mp3", 3 * 4096);
    for (int i = 0; i < 6; ++i)
        makeFile(home + QStringLiteral("/Music/Tool.app/Contents/bin%1").arg(i), 4096);
    makeFile(home + "/Music/node_modules/pkg/index.js", 4096);
    makeFile(home + "/disk.img", 8192);
    makeDir(home + "/Nothing");
    makeFile(home + "/Library/Caches/huge", 4096); // in home, not an item: not measured
    const std::vector<DiskMapMeasurer::Item> items = {{"Documents", C::Unknown},
                                                      {"Music", C::Media},
                                                      {"Nothing", C::Unknown},
                                                      {"disk.img", C::DownloadsLimbo},
                                                      {"gone", C::Unknown}};
    DiskMapMeasurer::Options options;
    options.walkerThreads = 4;
    options.switchFiles = 4; // the package of six files reaches the tool
    options.diskUsage = std::make_shared<FakeDiskUsage>();

    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE(run);
        QStringList texts;
        std::mutex lock; // reports come from the walker threads
        DiskMapTally tally(qint64(items.size()), CancelToken(), [&](const QString& t) {
            std::lock_guard<std::mutex> guard(lock);
            texts << t;
        });
        const std::vector<std::optional<MapNode>> nodes =
            DiskMapMeasurer(options).measureItems(home, items, tally);
        ASSERT_EQ(nodes.size(), items.size());
        qint64 files = 0;
        for (size_t i = 0; i + 1 < items.size(); ++i) {
            SCOPED_TRACE(items[i].name.toStdString());
            const Measured alone =
                measure(home + "/" + items[i].name, 1, options, items[i].inherited);
            EXPECT_EQ(nodes[i], alone.node);
            files += alone.files;
        }
        EXPECT_FALSE(nodes[2]); // an empty folder is left out, as alone
        // An item the walk does not find is a file of no bytes, as alone.
        ASSERT_TRUE(nodes[4]);
        EXPECT_EQ(nodes[4]->id, home + "/gone");
        EXPECT_EQ(nodes[4]->sizeBytes, 0);
        EXPECT_FALSE(nodes[4]->isDirectory);
        EXPECT_EQ(tally.filesSeen(), files + 1);
        // Each item's end is told once, whether found, empty or missing.
        EXPECT_EQ(tally.finished(), qint64(items.size()));
        EXPECT_EQ(texts.filter(QString::fromUtf8("5 of 5 folders done")).size(), 1);
    }
}

TEST(DiskMapMeasure, AnItemIsDoneOnceTheToolHasSizedItsFullFolders) {
    const QString home = testsupport::freshDir("items-tool");
    auto du = std::make_shared<FakeDiskUsage>();
    for (const QString& item : {QStringLiteral("Apps"), QStringLiteral("Games")}) {
        for (int i = 0; i < 6; ++i)
            makeFile(home + QStringLiteral("/%1/big.app/f%2").arg(item).arg(i), 4096);
        du->setSize(home + "/" + item + "/big.app", 999 * 1024);
    }
    du->hold();
    DiskMapMeasurer::Options options;
    options.walkerThreads = 2;
    options.switchFiles = 4;
    options.diskUsage = du;
    DiskMapTally tally(2, CancelToken(), {});
    std::vector<std::optional<MapNode>> nodes;
    std::thread measuring([&] {
        nodes = DiskMapMeasurer(options).measureItems(home, {{"Apps"}, {"Games"}}, tally);
    });
    const bool asked = testsupport::waitFor([&] { return !du->asked().isEmpty(); }, 20'000);
    EXPECT_EQ(tally.finished(), 0); // whichever item ended first waits for the tool
    du->release();
    measuring.join();
    ASSERT_TRUE(asked);
    EXPECT_EQ(tally.finished(), 2);
    ASSERT_EQ(nodes.size(), 2u);
    const qint64 apps = 999 * 1024 + allocated(home + "/Apps");
    const qint64 games = 999 * 1024 + allocated(home + "/Games");
    EXPECT_EQ(nodes[0]->sizeBytes, apps);
    EXPECT_EQ(nodes[1]->sizeBytes, games);
    EXPECT_EQ(tally.bytesSeen(), apps + games);
    QStringList sized = du->asked();
    sized.sort();
    EXPECT_EQ(sized, QStringList({home + "/Apps/big.app", home + "/Games/big.app"}));
}
