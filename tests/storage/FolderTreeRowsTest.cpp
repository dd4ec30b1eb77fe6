// The rows a listing makes: entries from what the disk lists, their two orders (stable,
// sliced or not), the workers' shares and the row texts. Pure: no folder is read.
#include "storage/DiskMapScanner.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderBrowserText.h"
#include "storage/FolderTree.h"
#include "storage/FolderTreeTestSupport.h"
#include "storage/NaturalOrder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace diskmaptest;
using namespace foldertreetest;
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
