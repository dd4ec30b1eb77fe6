// The storage hub's numbers: the full-disk prediction at its boundaries, the fullness it shares
// with the Performance screen, and the growth pane's shares, which are truncated, never rounded.
#include "storage/StorageHubText.h"
#include "vitals/PerformanceText.h"
#include "vitals/SystemSnapshot.h"

#include <gtest/gtest.h>
#include <limits>

using namespace StorageHubText;

namespace {

constexpr qint64 perDay = 28'800'000'000;

SystemSnapshot disk(qint64 total, qint64 free, std::optional<qint64> used = std::nullopt) {
    SystemSnapshot s;
    s.diskTotalBytes = total;
    s.diskFreeBytes = free;
    s.diskUsedBytes = used;
    return s;
}

} // namespace

TEST(StorageHubPrediction, BoundariesOfTheEstimate) {
    struct Row {
        qint64 free;
        const char* estimate;
    };
    const Row rows[] = {
        {365 * perDay, "About 365 days at current growth"},
        {366 * perDay - 1, "About 365 days at current growth"},
        {366 * perDay, "Over a year at current growth"},
        {perDay, "About 1 day at current growth"},
        {perDay - 1, "Less than a day at current growth"}, // never "About 0 days"
        {1, "Less than a day at current growth"},
        {0, "Already full"}, // a full disk that still grows
    };
    for (const Row& row : rows) {
        const Prediction p = predict(disk(400 * perDay, row.free), perDay);
        EXPECT_EQ(p.estimate, QString::fromUtf8(row.estimate)) << row.free;
        EXPECT_EQ(p.growth, "28.8 GB/day");
    }
}

// No word of a trend without one; a flat or shrinking trend is one, and never fills the disk.
TEST(StorageHubPrediction, NoEstimateWithoutAGrowingTrend) {
    const Prediction none = predict(disk(1000, 400), std::nullopt);
    EXPECT_EQ(none.usage, "60%");
    EXPECT_EQ(none.growth, "Not known yet");
    EXPECT_EQ(none.estimate, "Not enough trend data yet");
    for (const qint64 growth : {qint64(0), qint64(-5)}) {
        const Prediction p = predict(disk(1000, 400), growth);
        EXPECT_EQ(p.usage, "60%");
        EXPECT_EQ(p.growth, "Stable");
        EXPECT_EQ(p.estimate, "Not at current growth");
    }
}

TEST(StorageHubPrediction, UsageIsTheShareTheUserCanFillAsPerformanceShowsIt) {
    // ext4 keeps blocks for root: 100 GB disk, 40 GB used, 54 GB available, 6 GB reserved.
    const SystemSnapshot reserved = disk(100'000, 54'000, 40'000);
    // 40 of 94 is 42.55 %: df prints 43 %, and so do both screens.
    EXPECT_EQ(predict(reserved, std::nullopt).usage, "43%");
    EXPECT_EQ(PerformanceText::storageValue(reserved), "43% full");
    EXPECT_EQ(predict(disk(0, 398, 602), std::nullopt).usage, "61%");
    EXPECT_EQ(PerformanceText::storageValue(disk(0, 398, 602)), "61% full");
    const Prediction none = predict(disk(0, 0), std::nullopt);
    EXPECT_EQ(none.usage, "0%");
    EXPECT_EQ(none.growth, "Not known yet");
    EXPECT_EQ(none.estimate, "Not enough trend data yet");
    // 29 of 100 bytes used is 29%, not the 28% floating point gives.
    EXPECT_EQ(predict(disk(100, 71), std::nullopt).usage, "29%");
    EXPECT_EQ(predict(disk(0, 71, 29), std::nullopt).usage, "29%");
    EXPECT_EQ(PerformanceText::storageValue(disk(0, 71, 29)), "29% full");
    EXPECT_EQ(predict(disk(1000, 1), std::nullopt).usage, "100%"); // 99.9 %, as df rounds it
    EXPECT_EQ(predict(disk(1000, 2000), std::nullopt).usage, "0%");
    EXPECT_EQ(predict(disk(std::numeric_limits<qint64>::max(), 0), std::nullopt).usage, "100%");
}

TEST(StorageHubGrowth, SharesAreTruncatedAndEmptyBucketsHidden) {
    EXPECT_EQ(bucketMeta(5, 1000), "0% of measured total");
    EXPECT_EQ(bucketMeta(999, 1000), "99% of measured total");
    EXPECT_EQ(bucketMeta(29, 100), "29% of measured total");
    EXPECT_EQ(bucketMeta(1000, 1000), "100% of measured total");
    EXPECT_EQ(bucketMeta(0, 0), std::nullopt);

    const auto bucket = [](const char* id, qint64 bytes) {
        StorageGrowthScanner::Bucket b;
        b.id = QString::fromUtf8(id);
        b.bytes = bytes;
        return b;
    };
    const QList<StorageGrowthScanner::Bucket> shown =
        shownBuckets({bucket("mail", 0), bucket("photos", 7), bucket("cloud", 0),
                      bucket("downloads", 1), bucket("caches", -3)});
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].id, "photos");
    EXPECT_EQ(shown[1].id, "downloads");
}

TEST(StorageHubTiles, EightTilesEachLeadingToAModeOrAnotherSection) {
    const QList<Tile> all = tiles();
    ASSERT_EQ(all.size(), 8);
    QList<DiskMode> modes;
    QStringList sections;
    for (const Tile& t : all) {
        EXPECT_NE(t.mode.has_value(), !t.section.isEmpty()) << t.title.toStdString();
        if (t.mode)
            modes << *t.mode;
        else
            sections << t.section;
    }
    EXPECT_EQ(modes, QList<DiskMode>({DiskMode::System, DiskMode::Screenshots, DiskMode::DiskMap,
                                      DiskMode::Organizer, DiskMode::Mail, DiskMode::Growth}));
    EXPECT_EQ(sections, QStringList({"folders", "duplicates"}));
    // The mail tile names the client whose mail is read here.
    EXPECT_EQ(all.at(4).text, "See what Thunderbird and other mail apps keep on this Mac.");
}
