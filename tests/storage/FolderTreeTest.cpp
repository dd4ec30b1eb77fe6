#include "storage/FolderTree.h"
#include "storage/DiskMapMeasurer.h"
#include "storage/DiskMapScanner.h"
#include "storage/DiskMapTally.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderBrowserText.h"
#include "storage/NaturalOrder.h"
#include "support/TestSupport.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <QDir>
#include <QScopeGuard>
#include <QThreadPool>
#include <set>

using namespace diskmaptest;
using Entry = FolderTree::Entry;

namespace {

Entry file(const QString& name, qint64 bytes) {
    Entry e;
    e.id = e.path = QStringLiteral("/x/") + name;
    e.name = name;
    e.sizeBytes = bytes;
    e.fileCount = 1;
    return e;
}

Entry folder(const QString& name, std::optional<qint64> bytes = std::nullopt) {
    Entry e;
    e.id = e.path = QStringLiteral("/x/") + name;
    e.name = name;
    e.isDirectory = true;
    e.sizeBytes = bytes;
    return e;
}

QStringList names(const QList<Entry>& entries) {
    return testsupport::strings(entries, &Entry::name);
}

FolderTree::Listed listed(const QString& name, const QString& path, bool isDirectory,
                          qint64 bytes = 0) {
    FolderTree::Listed item;
    item.name = name;
    item.path = path;
    item.isDirectory = isDirectory;
    item.allocatedBytes = bytes;
    item.sizeBytes = bytes;
    return item;
}

bool settled(const FolderTree& tree) {
    return testsupport::waitFor([&] { return !tree.isListing() && tree.measuringCount() == 0; },
                                20'000);
}

void drain() {
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// A gate that measurement or listing calls wait at until the test opens it for their path.
class Gates {
public:
    void open(const QString& path) {
        std::lock_guard lock(m_mutex);
        m_open.insert(path);
        m_changed.notify_all();
    }
    void openAll() {
        std::lock_guard lock(m_mutex);
        m_all = true;
        m_changed.notify_all();
    }
    void wait(const QString& path) {
        std::unique_lock lock(m_mutex);
        m_reached.insert(path);
        m_changed.wait(lock, [&] { return m_all || m_open.count(path) > 0; });
    }
    // Whether a call has arrived at the gate of this path.
    bool reached(const QString& path) {
        std::lock_guard lock(m_mutex);
        return m_reached.count(path) > 0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<QString> m_open;
    std::set<QString> m_reached;
    bool m_all = false;
};

// What `du -sk` counts for a folder (worked out apart from the walker), with its regular files.
FolderTree::Size expectedSize(const QString& root) {
    const DuFigure du = duOf(root);
    return {du.bytes, int(du.files), {}};
}

} // namespace

TEST(FolderTreeSort, NaturalOrderComparesNumbersByValueUnderTheCLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    EXPECT_LT(NaturalOrder::compare(u"file9", u"file10"), 0);
    EXPECT_LT(NaturalOrder::compare(u"Track 2", u"track 10"), 0);
    EXPECT_LT(NaturalOrder::compare(u"apple", u"Banana"), 0);
    EXPECT_EQ(NaturalOrder::compare(u"a07", u"A7"), 0);
    EXPECT_LT(NaturalOrder::compare(u"a", u"a1"), 0);
    EXPECT_LT(NaturalOrder::compare(u"v1.9", u"v1.10"), 0);
    EXPECT_GT(NaturalOrder::compare(u"x100000000000000000000", u"x99999999999999999999"), 0);
    QLocale::setDefault(before);
}

TEST(FolderTreeSort, TheTwoOrders) {
    // By size: measured first, larger first, equal sizes by name; unmeasured by name at the end.
    const QList<Entry> bySize = FolderTree::sortEntries(
        {folder("b"), file("ten", 10), folder("a"), file("twenty", 20), file("B10", 10)},
        FolderTree::SortOrder::Size);
    EXPECT_EQ(names(bySize), QStringList({"twenty", "B10", "ten", "a", "b"}));

    // By name: folders (packages too) first, then files, each in natural order.
    Entry package = folder("Photos.app");
    package.isPackage = true;
    const QList<Entry> byName =
        FolderTree::sortEntries({file("file10", 1), folder("zeta"), file("file9", 1), package},
                                FolderTree::SortOrder::Name);
    EXPECT_EQ(names(byName), QStringList({"Photos.app", "zeta", "file9", "file10"}));

    // Equal names keep their listing order.
    const QList<Entry> ties =
        FolderTree::sortEntries({file("Same", 1), file("same", 1)}, FolderTree::SortOrder::Name);
    EXPECT_EQ(names(ties), QStringList({"Same", "same"}));
}

TEST(FolderTreeSort, SortKeysOrderNamesExactlyAsTheNaturalOrder) {
    // Every pair, both ways: the keys must agree with compare() on the sign, ties included,
    // where digits meet letters, runs differ in length or zeros, and case folding leaves ASCII.
    const QStringList samples = {"",
                                 "a",
                                 "A",
                                 "a1",
                                 "a01",
                                 "a001b",
                                 "a1b",
                                 "a10",
                                 "a9",
                                 "a 9",
                                 "a-9",
                                 "a/",
                                 "a:",
                                 "0",
                                 "00",
                                 "000",
                                 "7",
                                 "07",
                                 "10",
                                 "x99999999999999999999",
                                 "x100000000000000000000",
                                 "Émile",
                                 "émile",
                                 "Zoë",
                                 "zoe",
                                 "STRASSE",
                                 "straße",
                                 "ΣΊΣΥΦΟΣ",
                                 "σίσυφος",
                                 "日本2",
                                 "日本10",
                                 "😀1",
                                 "😀a",
                                 "ǅ",
                                 "ǆ",
                                 "file.tar.gz",
                                 "file9.txt",
                                 "file10.txt"};
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const QString& a : samples) {
        for (const QString& b : samples) {
            const int expected = sign(NaturalOrder::compare(a, b));
            const int byKeys = sign(NaturalOrder::sortKey(a).compare(NaturalOrder::sortKey(b)));
            EXPECT_EQ(byKeys, expected) << a.toStdString() << " vs " << b.toStdString();
        }
    }
}

TEST(FolderTreeSort, SlicedSortsEqualTheOneStableSortAndLeaveTheCallersRows) {
    // Many ties (few sizes, names equal but for case and zeros), so that a merge of slices that
    // broke stability would show.
    QList<Entry> entries;
    for (int k = 0; k < 20'000; ++k) {
        const QString name =
            (k % 3 == 0 ? QStringLiteral("IMG_%1") : QStringLiteral("img_0%1")).arg((k * 7) % 5000);
        Entry e = k % 11 == 0 ? folder(name) : file(name, 4096 * ((k * 13) % 7));
        e.id = e.path = QStringLiteral("/x/%1").arg(k);
        entries.append(e);
    }
    const auto ids = [](const QList<Entry>& list) {
        QStringList out;
        for (const Entry& e : list)
            out << e.id;
        return out;
    };
    const QStringList before = ids(entries);
    for (FolderTree::SortOrder order : {FolderTree::SortOrder::Size, FolderTree::SortOrder::Name}) {
        const QList<Entry> one = FolderTree::sortEntries(entries, order, 1);
        const QList<Entry> sliced = FolderTree::sortEntries(entries, order, 5);
        EXPECT_EQ(ids(sliced), ids(one));
        // The order as rows of the original: the same sort.
        QStringList fromRows;
        for (const int row : FolderTree::sortedRows(entries, order, 5))
            fromRows << entries.at(row).id;
        EXPECT_EQ(fromRows, ids(one));
        // The reference: the comparison as the browser defines it, as one stable sort.
        QList<Entry> reference = entries;
        std::stable_sort(reference.begin(), reference.end(),
                         [order](const Entry& a, const Entry& b) {
                             if (order == FolderTree::SortOrder::Size) {
                                 if (a.sizeBytes.has_value() != b.sizeBytes.has_value())
                                     return a.sizeBytes.has_value();
                                 if (a.sizeBytes && *a.sizeBytes != *b.sizeBytes)
                                     return *a.sizeBytes > *b.sizeBytes;
                             } else if (a.isDirectory != b.isDirectory) {
                                 return a.isDirectory;
                             }
                             return NaturalOrder::lessThan(a.name, b.name);
                         });
        EXPECT_EQ(ids(one), ids(reference));
    }
    EXPECT_EQ(ids(entries), before);
}

TEST(FolderTreeEntries, IdsAreTheCleanedPaths) {
    for (const QString path :
         {"/h/a", "/h/a/", "/h//a", "/h/./a", "/h/x/../a", "/h/a/.", "/h/a/..", "/", "h/a", "./h/a",
          "/h/.a", "/h/..a", "/h/a.", "/h/a..", "/h/ä b"}) {
        const Entry entry = *FolderTree::makeEntry(listed("a", path, false), false);
        EXPECT_EQ(entry.id, QDir::cleanPath(path)) << path.toStdString();
        EXPECT_EQ(entry.path, path);
    }
}

TEST(FolderTreeEntries, HomeSkipsItsSystemFoldersAndPackagesGoByExtension) {
    for (const QString& name : DiskMapScanner::skippedHomeNames())
        EXPECT_FALSE(FolderTree::makeEntry(listed(name, "/h/" + name, true), true))
            << name.toStdString();
    EXPECT_TRUE(FolderTree::makeEntry(listed("Library", "/h/Work/Library", true), false));

    const Entry app = *FolderTree::makeEntry(listed("Photos.APP", "/h/x/Photos.APP/", true), false);
    EXPECT_TRUE(app.isDirectory);
    EXPECT_TRUE(app.isPackage);
    EXPECT_FALSE(app.sizeBytes);
    EXPECT_EQ(app.id, "/h/x/Photos.APP");

    const Entry downloads = *FolderTree::makeEntry(listed("Downloads", "/h/Downloads", true), true);
    EXPECT_EQ(downloads.category, ContentCategory::DownloadsLimbo);
    const Entry nested = *FolderTree::makeEntry(listed("Qwzx", "/h/a/Qwzx", true), false);
    EXPECT_EQ(nested.category, ContentCategory::Unknown);

    const Entry jpg =
        *FolderTree::makeEntry(listed("beach.jpg", "/h/beach.jpg", false, 8192), false);
    EXPECT_EQ(jpg.category, ContentCategory::Media);
    EXPECT_EQ(jpg.sizeBytes, 8192);
    EXPECT_EQ(jpg.fileCount, 1);
}

TEST(FolderTreeWorkers, RoundRobinDeal) {
    const QList<QList<int>> dealt = FolderTree::deal(10, 4);
    EXPECT_EQ(dealt, (QList<QList<int>>{{0, 4, 8}, {1, 5, 9}, {2, 6}, {3, 7}}));
}

TEST(FolderTreeTexts, CountsAndBars) {
    EXPECT_EQ(FolderBrowserText::itemCount(0), "0 items");
    EXPECT_EQ(FolderBrowserText::itemCount(1), "1 item");
    EXPECT_EQ(FolderBrowserText::itemCount(12), "12 items");
    EXPECT_EQ(FolderBrowserText::measuringCount(1), "Measuring 1 folder…");
    EXPECT_EQ(FolderBrowserText::measuringCount(3), "Measuring 3 folders…");
    EXPECT_EQ(FolderBrowserText::filesInside(0), "0 files inside");
    EXPECT_EQ(FolderBrowserText::filesInside(1), "1 file inside");
    const struct {
        std::optional<qint64> size;
        qint64 largest;
        double width;
    } bars[] = {{std::nullopt, 100, 2}, {50, 0, 2},    {0, 0, 2},      {0, 100, 2},
                {1, 1000, 2},           {50, 100, 35}, {100, 100, 70}, {500, 100, 70}};
    for (const auto& b : bars)
        EXPECT_DOUBLE_EQ(FolderBrowserText::barWidth(b.size, b.largest), b.width);
    Entry package = folder("A.app");
    package.isPackage = true;
    EXPECT_EQ(FolderBrowserText::rowHelp(folder("a")), "Double click to look inside");
    EXPECT_EQ(FolderBrowserText::rowHelp(package), "Double click to show it in the file manager");

    // What assistive technology hears of a row besides its name: what the row draws.
    Entry photos = folder("Photos");
    photos.sizeBytes = 1'200'000'000;
    photos.category = ContentCategory::Media;
    EXPECT_EQ(FolderBrowserText::rowDescription(photos, 3'000'000'000),
              "1.2 GB, 40% of the largest here, " + title(ContentCategory::Media));
    EXPECT_EQ(FolderBrowserText::rowDescription(photos, 0),
              "1.2 GB, " + title(ContentCategory::Media));
    Entry waiting = folder("Later");
    EXPECT_EQ(FolderBrowserText::rowDescription(waiting, 100), "Still measuring");
    EXPECT_EQ(FolderBrowserText::rowTip(waiting), "Later\nDouble click to look inside");
}

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

// Views hand the tree rows of its own list, which the call itself replaces: a listener of
// trailChanged may re-sort them, and opening empties them. What was asked for must still open.
TEST(FolderTreeService, ARowOnShowCanBeEnteredOrOpenedWhileTheRowsAreReplaced) {
    const QString home = testsupport::freshDir("tree-own-rows");
    makeFile(home + "/Projects/app/main.cpp", 4096);
    FolderTree tree(home);
    QObject::connect(&tree, &FolderTree::trailChanged, &tree, [&tree] {
        tree.setSortOrder(tree.sortOrder() == FolderSortOrder::Size ? FolderSortOrder::Name
                                                                    : FolderSortOrder::Size);
    });
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    ASSERT_EQ(names(tree.entries()), QStringList({"Projects"}));

    tree.enter(tree.entries().first());
    EXPECT_EQ(tree.trail(), QStringList({home + "/Projects"}));
    ASSERT_TRUE(settled(tree));
    EXPECT_FALSE(tree.error());
    ASSERT_EQ(names(tree.entries()), QStringList({"app"}));

    tree.open(tree.entries().first().path);
    ASSERT_TRUE(settled(tree));
    EXPECT_FALSE(tree.error());
    EXPECT_EQ(names(tree.entries()), QStringList({"main.cpp"}));
    drain();
}

TEST(FolderTreeService, SizeOrderKeepsPlacesUntilTheLastSizeArrives) {
    const QString home = testsupport::freshDir("tree-order");
    makeFile(home + "/big.txt", 5 * 4096);
    makeFile(home + "/small.txt", 2 * 4096);
    makeDir(home + "/a");
    makeDir(home + "/b");
    auto gates = std::make_shared<Gates>();
    FolderTree::Deps tools;
    tools.measure = [gates](const QString& folder, const CancelToken&) -> FolderTree::Size {
        gates->wait(folder);
        return {folder.endsWith(QLatin1String("/a")) ? 4 * 4096 : 4096, 1, {}};
    };
    FolderTree tree(home, tools);
    const auto release = qScopeGuard([gates] { gates->openAll(); });
    tree.open(home);
    ASSERT_TRUE(testsupport::waitFor([&] { return tree.measuringCount() == 2; }));
    EXPECT_EQ(names(tree.entries()), QStringList({"big.txt", "small.txt", "a", "b"}));
    EXPECT_EQ(tree.totalMeasuredBytes(), 7 * 4096);

    gates->open(home + "/a");
    ASSERT_TRUE(testsupport::waitFor([&] { return tree.measuringCount() == 1; }));
    EXPECT_EQ(names(tree.entries()), QStringList({"big.txt", "small.txt", "a", "b"}));
    EXPECT_EQ(tree.entries().at(2).sizeBytes, 4 * 4096);
    EXPECT_EQ(tree.totalMeasuredBytes(), 11 * 4096);

    gates->open(home + "/b");
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(names(tree.entries()), QStringList({"big.txt", "a", "small.txt", "b"}));

    tree.setSortOrder(FolderTree::SortOrder::Name);
    EXPECT_EQ(names(tree.entries()), QStringList({"a", "b", "big.txt", "small.txt"}));
    drain();
}

TEST(FolderTreeService, AListingEndsWithItsRowsInPlaceAndInTheOrderOfThatMoment) {
    const QString home = testsupport::freshDir("tree-listing-end");
    makeFile(home + "/big.txt", 5 * 4096);
    makeFile(home + "/small.txt", 4096);
    makeDir(home + "/a");
    auto gates = std::make_shared<Gates>();
    auto gated = std::make_shared<std::atomic_bool>(false);
    FolderTree::Deps tools;
    tools.list = [gates, gated](const QString& folder) {
        if (*gated)
            gates->wait(folder);
        return FolderTree::listFolder(folder);
    };
    tools.measure = [gates, gated](const QString& folder, const CancelToken&) {
        if (*gated)
            gates->wait(QStringLiteral("measure:") + folder);
        return FolderTree::Size{4096, 1, {}};
    };
    FolderTree tree(home, tools);
    const auto release = qScopeGuard([gates] { gates->openAll(); });
    // Whoever hears that the listing ended finds its rows there, not an empty folder.
    QList<qsizetype> rowsAtEnd;
    QObject::connect(&tree, &FolderTree::listingChanged, &tree, [&](bool listing) {
        if (!listing)
            rowsAtEnd << tree.entries().size();
    });

    // The order changed and the sizes were forgotten while the folder was being read: what
    // shows follows both.
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(names(tree.entries()), QStringList({"big.txt", "a", "small.txt"}));
    *gated = true;
    tree.open(home);
    ASSERT_TRUE(testsupport::waitFor([&] { return gates->reached(home); }));
    tree.setSortOrder(FolderTree::SortOrder::Name);
    tree.clearSizeCache();
    gates->open(home);
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    EXPECT_EQ(names(tree.entries()), QStringList({"a", "big.txt", "small.txt"}));
    EXPECT_FALSE(tree.entries().first().sizeBytes);
    EXPECT_EQ(tree.measuringCount(), 1);
    gates->openAll();
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(rowsAtEnd, QList<qsizetype>({3, 3}));
    drain();
}

TEST(FolderTreeService, StaleListingsAndSizesNeverShow) {
    const QString home = testsupport::freshDir("tree-stale");
    makeFile(home + "/One/sub/x", 4096);
    makeFile(home + "/Two/y", 4096);
    makeFile(home + "/Two/sub/z", 4096);
    auto gates = std::make_shared<Gates>();
    auto listsDone = std::make_shared<std::atomic_int>(0);
    auto measuresDone = std::make_shared<std::atomic_int>(0);
    FolderTree::Deps tools;
    tools.list = [gates, listsDone](const QString& folder) {
        gates->wait(QStringLiteral("list:") + folder);
        FolderTree::Listing listing = FolderTree::listFolder(folder);
        ++*listsDone;
        return listing;
    };
    tools.measure = [gates, measuresDone](const QString& folder, const CancelToken& cancel) {
        gates->wait(QStringLiteral("measure:") + folder);
        const FolderTree::Size size = FolderTree::measureFolder(folder, cancel);
        ++*measuresDone;
        return size;
    };
    FolderTree tree(home, tools);
    // A failed assertion must not leave workers waiting while the tree goes.
    const auto release = qScopeGuard([gates] { gates->openAll(); });
    // Lets whatever a finished worker sent reach the tree.
    const auto deliver = [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };

    // A listing overtaken by another open is dropped when it finally arrives.
    tree.open(home + "/One");
    const quint64 first = tree.generation();
    tree.open(home + "/Two");
    EXPECT_GT(tree.generation(), first);
    gates->open(QStringLiteral("list:") + home + "/Two");
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    gates->open(QStringLiteral("list:") + home + "/One");
    ASSERT_TRUE(testsupport::waitFor([&] { return *listsDone == 2; }));
    deliver();
    EXPECT_EQ(names(tree.entries()), QStringList({"y", "sub"}));

    // A size measured for an older listing is neither shown nor cached.
    EXPECT_EQ(tree.measuringCount(), 1);
    // Under way before it is overtaken: a measurement not yet begun is cancelled instead.
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return gates->reached(QStringLiteral("measure:") + home + "/Two/sub"); }));
    tree.open(home + "/One");
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    ASSERT_EQ(names(tree.entries()), QStringList({"sub"}));
    gates->open(QStringLiteral("measure:") + home + "/Two/sub");
    ASSERT_TRUE(testsupport::waitFor([&] { return *measuresDone == 1; }));
    deliver();
    EXPECT_FALSE(tree.sizeCache().contains(home + "/Two/sub"));
    EXPECT_FALSE(tree.entries().first().sizeBytes);
    EXPECT_EQ(tree.measuringCount(), 1);
    gates->openAll();
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(tree.entries().first().sizeBytes, duOf(home + "/One/sub").bytes);
    drain();
}
