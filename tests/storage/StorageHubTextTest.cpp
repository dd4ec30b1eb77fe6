// The storage hub's numbers: the full-disk prediction at its boundaries and the growth pane's
// shares, which are truncated, never rounded.
#include "storage/StorageHubText.h"

#include <gtest/gtest.h>
#include <limits>

using namespace StorageHubText;

namespace {

// A trend of exactly a quarter of a 4,000,000-byte disk per sample interval: 28.8 GB a day.
const QList<double> quarterPerSample = {0.25, 0.5};
constexpr qint64 total = 4'000'000;
constexpr qint64 perDay = 28'800'000'000;

} // namespace

TEST(StorageHubPrediction, BoundariesOfTheEstimate) {
    ASSERT_EQ(growthPerDay(total, quarterPerSample), perDay);
    struct Row {
        qint64 free;
        const char* estimate;
    };
    const Row rows[] = {
        {365 * perDay, "About 365 days at current growth"},
        {366 * perDay - 1, "About 365 days at current growth"},
        {366 * perDay, "Over a year at current growth"},
        {perDay - 1, "About 0 days at current growth"},
        {0, "Not enough trend data yet"}, // a full disk that still grows
    };
    for (const Row& row : rows) {
        const Prediction p = predict(total, row.free, quarterPerSample);
        EXPECT_EQ(p.estimate, QString::fromUtf8(row.estimate)) << row.free;
        EXPECT_EQ(p.growth, "28.8 GB/day");
    }
}

TEST(StorageHubPrediction, NoTrendWithoutTwoRisingSamples) {
    const QList<QList<double>> histories = {
        {}, {0.4}, {0.5, 0.5}, {0.6, 0.9, 0.5}, {0.5, std::numeric_limits<double>::quiet_NaN()}};
    for (const QList<double>& h : histories) {
        const Prediction p = predict(1000, 400, h);
        EXPECT_EQ(p.usage, "60%");
        EXPECT_EQ(p.growth, "Stable");
        EXPECT_EQ(p.estimate, "Not enough trend data yet");
    }
    // Only the first and last samples count; the mean step is over n − 1 intervals.
    EXPECT_EQ(growthPerDay(total, {0.25, 0.9, 0.0, 0.75}), perDay * 2 / 3);
}

TEST(StorageHubPrediction, BeforeTheFirstSampleAndWithOddFigures) {
    const Prediction none = predict(0, 0, {0.1, 0.2});
    EXPECT_EQ(none.usage, "0%");
    EXPECT_EQ(none.growth, "Stable");
    EXPECT_EQ(none.estimate, "Not enough trend data yet");
    // 29 of 100 bytes used is 29%, not the 28% floating point gives.
    EXPECT_EQ(predict(100, 71, {}).usage, "29%");
    EXPECT_EQ(predict(1000, 1, {}).usage, "99%");
    EXPECT_EQ(predict(1000, 2000, {}).usage, "0%");
    EXPECT_EQ(predict(std::numeric_limits<qint64>::max(), 0, {}).usage, "100%");
    // A nonsense history saturates instead of overflowing.
    EXPECT_EQ(growthPerDay(std::numeric_limits<qint64>::max(), {0.0, 1.0}),
              std::numeric_limits<qint64>::max());
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
}
