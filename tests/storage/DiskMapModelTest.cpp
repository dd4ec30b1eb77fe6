#include "storage/DiskMapText.h"
#include "storage/MapNode.h"

#include <gtest/gtest.h>

namespace {

MapNode leaf(const QString& id, qint64 bytes, DiskMapCategory category) {
    MapNode n;
    n.id = id;
    n.name = id;
    n.sizeBytes = bytes;
    n.category = category;
    return n;
}

MapNode folder(const QString& id, qint64 bytes, DiskMapCategory category, QList<MapNode> kids) {
    MapNode n = leaf(id, bytes, category);
    n.isDirectory = true;
    n.children = std::move(kids);
    return n;
}

CategoryTotals totalsOf(const MapNode& node) {
    CategoryTotals totals;
    MapNodes::accumulateCategoryTotals(totals, node);
    return totals;
}

} // namespace

TEST(DiskMapCategory, RawValuesAreExactCaseNames) {
    EXPECT_EQ(fromRawValue<DiskMapCategory>("clientWork"), DiskMapCategory::ClientWork);
    EXPECT_EQ(fromRawValue<DiskMapCategory>("clientwork"), std::nullopt);
    EXPECT_EQ(fromRawValue<DiskMapCategory>(" unknown"), std::nullopt);
    for (const DiskMapCategory c : allCases<DiskMapCategory>())
        EXPECT_EQ(fromRawValue<DiskMapCategory>(rawValue(c)), c);
    EXPECT_EQ(allCases<DiskMapCategory>().size(), 7);
    EXPECT_EQ(title(DiskMapCategory::Unknown), "Not sure yet");
}

TEST(CategoryTotals, EachByteCountsOnceUnderTheDeepestNode) {
    EXPECT_EQ(totalsOf(leaf("a", 500, DiskMapCategory::Media)),
              (CategoryTotals{{DiskMapCategory::Media, 500}}));

    const MapNode code =
        folder("p", 1000, DiskMapCategory::Code,
               {leaf("p/a", 600, DiskMapCategory::Code), leaf("p/b", 300, DiskMapCategory::Media)});
    EXPECT_EQ(totalsOf(code),
              (CategoryTotals{{DiskMapCategory::Code, 700}, {DiskMapCategory::Media, 300}}));

    // Children that account for all (or more) of the folder leave nothing for the folder itself.
    const MapNode over =
        folder("q", 800, DiskMapCategory::AdminFinance,
               {leaf("q/a", 500, DiskMapCategory::Code), leaf("q/b", 400, DiskMapCategory::Media)});
    EXPECT_EQ(totalsOf(over),
              (CategoryTotals{{DiskMapCategory::Code, 500}, {DiskMapCategory::Media, 400}}));

    // An empty leaf still names its category.
    const MapNode empty =
        folder("r", 10, DiskMapCategory::Code,
               {leaf("r/a", 10, DiskMapCategory::Code), leaf("r/b", 0, DiskMapCategory::Personal)});
    EXPECT_EQ(totalsOf(empty),
              (CategoryTotals{{DiskMapCategory::Code, 10}, {DiskMapCategory::Personal, 0}}));
}

TEST(MapNode, EqualityAndHashCoverTheWholeTree) {
    MapNode grandchild = leaf("h/a/b", 5, DiskMapCategory::Code);
    grandchild.modified = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
    const MapNode one = folder("h", 5, DiskMapCategory::Code,
                               {folder("h/a", 5, DiskMapCategory::Code, {grandchild})});
    MapNode other = one;
    EXPECT_EQ(one, other);
    EXPECT_EQ(qHash(one), qHash(other));

    other.children[0].children[0].modified = QDateTime::fromSecsSinceEpoch(1001, Qt::UTC);
    EXPECT_NE(one, other);
    other.children[0].children[0].modified.reset();
    EXPECT_NE(one, other);
    other.children[0].children[0].modified = grandchild.modified;
    other.children[0].children[0].category = DiskMapCategory::Media;
    EXPECT_NE(one, other);
}

TEST(DiskMapText, BreadcrumbJoinsTheFoldersEntered) {
    EXPECT_EQ(DiskMapText::breadcrumb({}), "Home");
    EXPECT_EQ(DiskMapText::breadcrumb({leaf("d", 1, DiskMapCategory::Unknown)}), "Home › d");
    MapNode docs = leaf("/h/Documents", 1, DiskMapCategory::Unknown);
    docs.name = "Documents";
    MapNode projects = leaf("/h/Documents/Projects", 1, DiskMapCategory::Code);
    projects.name = "Projects";
    EXPECT_EQ(DiskMapText::breadcrumb({docs, projects}),
              QString::fromUtf8("Home \u203A Documents \u203A Projects"));
    EXPECT_EQ(DiskMapText::progressLine(""), QString::fromUtf8("Measuring\u2026"));
    EXPECT_EQ(DiskMapText::progressLine("Opening"), "Opening");
}

TEST(DiskMapText, TileLabelsNeedRoom) {
    const struct {
        QSizeF size;
        bool name;
        bool bytes;
    } rows[] = {
        {{64, 100}, false, false}, {{100, 30}, false, false}, {{65, 31}, true, false},
        {{65, 44}, true, false},   {{65, 44.5}, true, true},  {{0.5, 0.5}, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(
            QStringLiteral("%1x%2").arg(row.size.width()).arg(row.size.height()).toStdString());
        EXPECT_EQ(DiskMapText::tileShowsName(row.size), row.name);
        EXPECT_EQ(DiskMapText::tileShowsSize(row.size), row.bytes);
    }
    EXPECT_EQ(DiskMapText::tileOpacity(true, true), 1.0);
    EXPECT_EQ(DiskMapText::tileOpacity(false, true), 0.9);
    EXPECT_EQ(DiskMapText::tileOpacity(false, false), 0.75);

    MapNode node = leaf("x", 1500000, DiskMapCategory::Media);
    node.name = "Holiday.mov";
    EXPECT_EQ(DiskMapText::tileHelp(node),
              QString::fromUtf8("Holiday.mov \u00B7 1.5 MB \u00B7 Photos and video"));
}
