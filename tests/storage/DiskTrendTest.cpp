// The disk-use trend: one point an hour from the samples, kept across runs in its file, and a
// growth figure only once the points span a day.
#include "storage/DiskTrend.h"

#include "fakes/FakeClock.h"
#include "support/TestSupport.h"
#include "vitals/AppState.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

namespace {

constexpr qint64 GB = 1'000'000'000;

SystemSnapshot used(qint64 bytes) {
    SystemSnapshot s;
    s.diskTotalBytes = 500 * GB;
    s.diskFreeBytes = 500 * GB - bytes - 20 * GB; // 20 GB kept for root
    s.diskUsedBytes = bytes;
    return s;
}

struct Rig {
    QString dir = testsupport::freshDir("trend");
    AppState appState{[] {
        AppState::Options options;
        options.startSampling = false;
        return options;
    }()};
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::unique_ptr<DiskTrend> trend = make();

    std::unique_ptr<DiskTrend> make() {
        return std::make_unique<DiskTrend>(appState, CacheFolder(AppSupportFolder(dir)), clock);
    }
};

} // namespace

TEST(DiskTrend, KeepsOnePointAnHourFromTheSamplesAcrossRuns) {
    Rig rig;
    QSignalSpy changed(rig.trend.get(), &DiskTrend::pointsChanged);
    emit rig.appState.snapshotChanged(used(100 * GB));
    rig.clock->advance(3599);
    emit rig.appState.snapshotChanged(used(101 * GB)); // within the hour: no point
    rig.trend->record(SystemSnapshot());               // a volume with no size: no point
    rig.clock->advance(1);
    rig.trend->record(used(102 * GB));
    ASSERT_EQ(changed.count(), 2);
    const QList<DiskTrend::Point> points = rig.trend->points();
    ASSERT_EQ(points.size(), 2);
    EXPECT_EQ(points[0].usedBytes, 100 * GB);
    EXPECT_EQ(points[1].usedBytes, 102 * GB);
    EXPECT_EQ(points[0].date.secsTo(points[1].date), 3600);

    // The next run reads them back as they were.
    rig.trend = rig.make();
    EXPECT_EQ(rig.trend->points(), points);

    // A week on, the old points go; a point dated after the clock (set back) goes too.
    rig.clock->advance(7 * 86400 - 1800);
    rig.trend->record(used(110 * GB));
    ASSERT_EQ(rig.trend->points().size(), 2);
    EXPECT_EQ(rig.trend->points().first(), points[1]);
    rig.clock->advance(-7200);
    rig.trend->record(used(111 * GB));
    ASSERT_EQ(rig.trend->points().size(), 2);
    EXPECT_EQ(rig.trend->points().last().usedBytes, 111 * GB);
}

TEST(DiskTrend, GrowthNeedsADayOfPoints) {
    const QDateTime now = FakeClock().now();
    auto at = [&](double hoursAgo, qint64 bytes) {
        return DiskTrend::Point{now.addSecs(-qint64(hoursAgo * 3600)), bytes};
    };
    // A busy first minutes: a steep rise, but far from a day of history.
    EXPECT_EQ(DiskTrend::growthPerDay({at(0.05, 100 * GB)}, 102 * GB, now), std::nullopt);
    EXPECT_EQ(DiskTrend::growthPerDay({at(23.99, 100 * GB)}, 101 * GB, now), std::nullopt);
    EXPECT_EQ(DiskTrend::growthPerDay({}, 101 * GB, now), std::nullopt);
    // A day and more: the rise from the oldest point of the week to now, per day.
    EXPECT_EQ(DiskTrend::growthPerDay({at(24, 100 * GB), at(1, 150 * GB)}, 101 * GB, now), 1 * GB);
    EXPECT_EQ(DiskTrend::growthPerDay({at(200, 10 * GB), at(48, 100 * GB), at(2, 90 * GB)},
                                      103 * GB, now),
              qint64(1.5 * GB));
    EXPECT_EQ(DiskTrend::growthPerDay({at(48, 100 * GB)}, 100 * GB, now), 0);
    EXPECT_EQ(DiskTrend::growthPerDay({at(48, 100 * GB)}, 90 * GB, now), 0);
    // Points from a clock that ran ahead do not count.
    EXPECT_EQ(DiskTrend::growthPerDay({at(-30, 1 * GB)}, 90 * GB, now), std::nullopt);

    Rig rig;
    rig.trend->record(used(100 * GB));
    rig.clock->advance(86400);
    EXPECT_EQ(rig.trend->growthPerDay(used(102 * GB)), 2 * GB);
}

TEST(DiskTrend, TheFileTakesOnlyWholeByteCountsAndAnUnreadableOneIsMovedAside) {
    QFile reference(QStringLiteral(PENDREL_FIXTURES) + "/storage/disk-trend.json");
    ASSERT_TRUE(reference.open(QIODevice::ReadOnly));
    const std::optional<QList<DiskTrend::Point>> stored = DiskTrend::decode(reference.readAll());
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 3);
    EXPECT_EQ(stored->last().usedBytes, 372'805'000'000);
    EXPECT_EQ(stored->first().date.secsTo(stored->last().date), 7200);

    auto decode = [](const char* json) { return DiskTrend::decode(QByteArray(json)); };
    const std::optional<QList<DiskTrend::Point>> good =
        decode(R"([{"date": 802000000, "usedBytes": 5}, {"date": 801996400, "usedBytes": 4}])");
    ASSERT_TRUE(good);
    ASSERT_EQ(good->size(), 2);
    EXPECT_EQ(good->first().usedBytes, 4) << "read back in time order";
    for (const char* bad :
         {R"([{"date": 1, "usedBytes": -1}])", R"([{"date": 1, "usedBytes": 1.5}])",
          R"([{"date": 1, "usedBytes": 1e300}])", R"([{"date": 1, "usedBytes": "5"}])",
          R"([{"usedBytes": 5}])", R"({"date": 1})", "not json"})
        EXPECT_FALSE(decode(bad)) << bad;

    Rig rig;
    QFile file(rig.dir + "/" + DiskTrend::fileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{broken");
    file.close();
    rig.trend = rig.make();
    EXPECT_TRUE(rig.trend->points().isEmpty());
    EXPECT_EQ(QDir(rig.dir).entryList({"disk-trend.json.unreadable-*"}, QDir::Files).size(), 1);
    rig.trend->record(used(100 * GB));
    EXPECT_EQ(rig.make()->points().size(), 1);
}

namespace {

// count hourly points ending an hour before the clock, oldest first, as the app writes them.
QByteArray hourlyPoints(const QDateTime& now, int count) {
    QList<DiskTrend::Point> points;
    for (int i = count; i >= 1; --i)
        points.append(DiskTrend::Point{now.addSecs(-3600 * i), (1000 - i) * GB});
    return CacheFolder::encodeArray(points).toJson(QJsonDocument::Compact);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

TEST(DiskTrend, KeepsAtMostAWeekOfPointsAndSetsAsideAFileTooLargeToBeItsOwn) {
    Rig rig;
    const QString path = rig.dir + "/" + DiskTrend::fileName();
    const QDateTime now = rig.clock->now();

    // More points than a week holds, in a file of a size the app could have written: the newest
    // week is kept, and the file goes back to that size at the next point.
    writeFile(path, hourlyPoints(now, 500));
    rig.trend = rig.make();
    ASSERT_EQ(rig.trend->points().size(), DiskTrend::maxPoints);
    EXPECT_EQ(rig.trend->points().last().date, now.addSecs(-3600));
    EXPECT_EQ(rig.trend->points().first().date, now.addSecs(-3600 * DiskTrend::maxPoints));
    rig.trend->record(used(1000 * GB));
    EXPECT_EQ(rig.trend->points().size(), DiskTrend::maxPoints);
    EXPECT_EQ(rig.trend->points().last().usedBytes, 1000 * GB);
    EXPECT_EQ(rig.make()->points().size(), DiskTrend::maxPoints);

    // A file larger than any the app writes is not decoded at all, but kept beside, whole.
    const QByteArray huge = hourlyPoints(now, 5000);
    ASSERT_GT(huge.size(), DiskTrend::maxFileBytes);
    writeFile(path, huge);
    rig.trend = rig.make();
    EXPECT_TRUE(rig.trend->points().isEmpty());
    const QStringList aside =
        QDir(rig.dir).entryList({"disk-trend.json.unreadable-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    QFile kept(rig.dir + "/" + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), huge);
    EXPECT_FALSE(QFile::exists(path));
}
