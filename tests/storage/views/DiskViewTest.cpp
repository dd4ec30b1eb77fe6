// The storage hub: the picker and ScreenState drive one mode pane at a time, the tiles lead on,
// and the growth pane measures on its first showing only and opens each bucket's screen.
#include "storage/views/DiskView.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDiskUsage.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/NotificationCenter.h"
#include "shell/ScreenState.h"
#include "storage/DiskMapScanner.h"
#include "storage/DiskTrend.h"
#include "storage/FolderOrganizer.h"
#include "storage/StorageGrowthScanner.h"
#include "storage/StorageHubText.h"
#include "storage/views/DiskMapPane.h"
#include "storage/views/ScrollStops.h"
#include "storage/views/StorageGrowthPane.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "support/Posts.h"
#include "support/TestSupport.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TamsoExplainRow.h"
#include "vitals/AppState.h"
#include "vitals/PerformanceText.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

using Kind = ScanPhase;

using testsupport::Posts;

namespace {

// Every service of the hub over an empty sandbox home, with no real tool or sampler.
struct Hub {
    HomeLayout layout = [] {
        HomeLayout l = HomeLayout::forHome(testsupport::freshDir("hub"));
        l.setSystemRoot(l.home() + "/no-system");
        return l;
    }();
    ScreenState screen;
    std::shared_ptr<FakeSamplerState> samples = std::make_shared<FakeSamplerState>();
    AppState appState{FakeSnapshotSampler::appStateOptions(samples)};
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    DiskTrend trend{appState, CacheFolder(AppSupportFolder(layout.home() + "/data")), clock};
    std::atomic<int> measured{0};
    StorageGrowthScanner growth{layout, growthOptions()};
    DiskMapScanner diskMap{diskMapRequest()};
    FolderOrganizer organizer{layout};
    QList<DiskMode> cleanerRequests;
    std::unique_ptr<DiskView> view;

    // Downloads 999 bytes, caches 1, the rest empty: a total of 1000.
    StorageGrowthScanner::Deps growthOptions() {
        StorageGrowthScanner::Deps options;
        options.measure = [this](const QString& path, const CancelToken&) -> qint64 {
            ++measured;
            if (path == layout.downloadsDir())
                return 999;
            return path == layout.cacheHome() ? 1 : 0;
        };
        return options;
    }
    DiskMapScanner::Request diskMapRequest() {
        DiskMapScanner::Request request;
        request.home = layout.home();
        request.measure.diskUsage = std::make_shared<FakeDiskUsage>();
        return request;
    }

    DiskView& make() {
        view = std::make_unique<DiskView>(
            screen, appState, &trend, growth, diskMap, organizer, nullptr,
            [this](DiskMode mode, QWidget* parent) -> QWidget* {
                cleanerRequests << mode;
                auto* pane = new QWidget(parent);
                pane->setObjectName(QStringLiteral("cleaner-") + rawValue(mode));
                return pane;
            });
        view->resize(900, 700);
        view->show();
        return *view;
    }
    SegmentedControl* picker() { return Find::part<SegmentedControl>(*view, "diskModePicker"); }
    // The pane of the mode on show (the hub sets no cover in front of it).
    QWidget* pane() { return Find::part<QStackedWidget>(*view, "diskModeHost")->currentWidget(); }
    // The overview's tile of this title.
    QKProminentButton* tile(const QString& title) {
        return Find::part<QKProminentButton>(pane(), "tile-" + title);
    }
    bool growthDone() {
        return testsupport::waitFor([&] { return growth.state().phase == Kind::Done; });
    }
    ~Hub() {
        view.reset();
        testsupport::waitFor([&] { return !diskMap.state().isRunning(); }, 20'000);
    }
};

} // namespace

TEST(DiskView, FollowsScreenStateAndThePickerWritesIt) {
    Hub hub;
    hub.screen.setDiskMode(DiskMode::Mail);
    DiskView& view = hub.make();
    EXPECT_EQ(hub.pane()->objectName(), "cleaner-mail");
    EXPECT_EQ(hub.picker()->currentIndex(), 2);
    EXPECT_EQ(hub.picker()->labels(),
              QStringList({"Overview", "Safe cleanup", "Mail", "Where did it go?", "Screenshots",
                           "Disk Map", "Organizer"}));
    EXPECT_LE(hub.picker()->maximumWidth(), 720);

    // A deep link or the assistant sets the mode while the hub is on screen.
    hub.screen.setDiskMode(DiskMode::DiskMap);
    EXPECT_TRUE(qobject_cast<DiskMapPane*>(hub.pane()));
    EXPECT_EQ(hub.picker()->currentIndex(), 5);
    hub.screen.setDiskMode(DiskMode::Screenshots);
    hub.screen.setDiskMode(DiskMode::System);
    EXPECT_EQ(hub.cleanerRequests,
              QList<DiskMode>({DiskMode::Mail, DiskMode::Screenshots, DiskMode::System}));

    // The picker writes ScreenState, which switches the pane.
    QTest::mouseClick(hub.picker(), Qt::LeftButton, {}, hub.picker()->segmentRect(0).center());
    EXPECT_EQ(hub.screen.diskMode(), DiskMode::Hub);
    EXPECT_EQ(hub.pane()->objectName(), "diskOverview");
    for (const StorageHubText::Tile& tile : StorageHubText::tiles())
        EXPECT_TRUE(hub.tile(tile.title)->isVisible()) << tile.title.toStdString();

    // Assistive technology finds each mode by name and presses it as a click would.
    EXPECT_TRUE(testsupport::accessibilityProblems(&view).isEmpty())
        << testsupport::accessibilityProblems(&view).join('\n').toStdString();
    QAccessibleInterface* growth = testsupport::findAccessible(&view, "Where did it go?");
    ASSERT_TRUE(growth && growth->actionInterface());
    EXPECT_EQ(growth->role(), QAccessible::RadioButton);
    growth->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(hub.screen.diskMode(), DiskMode::Growth);
    EXPECT_TRUE(growth->state().checked);
    ASSERT_TRUE(hub.growthDone());
    hub.screen.setDiskMode(DiskMode::Hub);

    // Leaving a mode rebuilds it on return: the old pane goes.
    QPointer<QWidget> overview = hub.pane();
    hub.screen.setDiskMode(DiskMode::Organizer);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(overview);
    EXPECT_EQ(hub.pane()->objectName(), "organizerPane");
}

TEST(DiskView, TilesSwitchModesOrOpenOtherSections) {
    Hub hub;
    hub.make();
    Posts sections(Notifications::OpenSection);
    QTest::mouseClick(hub.tile("Disk Map"), Qt::LeftButton);
    EXPECT_EQ(hub.screen.diskMode(), DiskMode::DiskMap);

    hub.screen.setDiskMode(DiskMode::Hub);
    QTest::mouseClick(hub.tile("Browse storage"), Qt::LeftButton);
    EXPECT_EQ(hub.screen.diskMode(), DiskMode::Hub);
    QTest::mouseClick(hub.tile("Duplicates"), Qt::LeftButton);
    EXPECT_EQ(sections.payloads, QStringList({"folders", "duplicates"}));

    // "Where did my disk go?" only switches: the pane, once shown, starts the analysis.
    QTest::mouseClick(hub.tile("Where did my disk go?"), Qt::LeftButton);
    EXPECT_EQ(hub.screen.diskMode(), DiskMode::Growth);
    EXPECT_TRUE(qobject_cast<StorageGrowthPane*>(hub.pane()));
    EXPECT_TRUE(hub.growthDone());
}

TEST(DiskView, TheOverviewShowsTheLatestSample) {
    Hub hub;
    DiskView& view = hub.make();
    auto* header = view.findChild<QLabel*>(QStringLiteral("diskHeader"));
    auto* estimate = view.findChild<QLabel*>(QStringLiteral("predictionEstimate"));
    ASSERT_TRUE(header && estimate);
    // No sample yet: zero of zero and no trend.
    EXPECT_EQ(header->text(), "Zero KB free of Zero KB");
    EXPECT_EQ(estimate->text(), "Not enough trend data yet");
}

TEST(DiskView, TheFullDiskPredictionWaitsForADayOfTrend) {
    constexpr qint64 GB = 1'000'000'000;
    Hub hub;
    SystemSnapshot disk;
    disk.diskTotalBytes = 100 * GB;
    disk.diskFreeBytes = 54 * GB; // 6 GB are kept for root
    disk.diskUsedBytes = 38 * GB;
    const QDateTime start = hub.clock->now();
    hub.trend.record(disk);
    // Minutes later the disk has grown by 2 GB: a steep rise, but no trend yet.
    hub.clock->advance(180);
    disk.diskUsedBytes = 40 * GB;
    hub.samples->set(disk);
    DiskView& view = hub.make();
    hub.appState.sampleAndPublish();
    ASSERT_TRUE(testsupport::waitFor([&] { return hub.appState.hasFirstSample(); }));
    auto value = [&](const char* name) {
        const auto* label = view.findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QString();
    };
    // The same fullness as the Performance screen and df: used ÷ (used + available), rounded up.
    EXPECT_EQ(value("predictionUsage"), "43%");
    EXPECT_EQ(PerformanceText::storageValue(hub.appState.snapshot()), "43% full");
    EXPECT_EQ(value("predictionGrowth"), "Not known yet");
    EXPECT_EQ(value("predictionEstimate"), "Not enough trend data yet");

    // Two days on, the trend holds: 2 GB in two days.
    hub.clock->set(start.addDays(2));
    hub.trend.record(disk);
    EXPECT_EQ(value("predictionGrowth"), "1 GB/day");
    EXPECT_EQ(value("predictionEstimate"), "About 54 days at current growth");
}

TEST(StorageGrowthPane, MeasuresOnFirstShowingAndListsSharesOfTheTotal) {
    Hub hub;
    hub.screen.setDiskMode(DiskMode::Growth);
    hub.make();
    auto* pane = qobject_cast<StorageGrowthPane*>(hub.pane());
    ASSERT_TRUE(pane);
    EXPECT_FALSE(Find::part<QPushButton>(*pane, "growthAnalyse")->isEnabled());
    EXPECT_EQ(Find::part<QPushButton>(*pane, "growthAnalyse")->text(), "Measuring…");
    ASSERT_TRUE(hub.growthDone());
    ASSERT_EQ(hub.growth.totalBytes(), 1000);
    EXPECT_TRUE(Find::part<QPushButton>(*pane, "growthAnalyse")->isEnabled());
    EXPECT_EQ(Find::part<QPushButton>(*pane, "growthAnalyse")->text(), "Analyse");

    // Empty buckets are hidden; shares are truncated.
    const QList<TamsoExplainRow*> rows =
        Find::part<QWidget>(*pane, "growthBuckets")
            ->findChildren<TamsoExplainRow*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]->meta(), "99% of measured total");
    EXPECT_EQ(rows[1]->meta(), "0% of measured total");

    // Coming back shows the last result without measuring again.
    const int measuredOnce = hub.measured.load();
    hub.screen.setDiskMode(DiskMode::Hub);
    hub.screen.setDiskMode(DiskMode::Growth);
    QCoreApplication::processEvents();
    EXPECT_EQ(hub.growth.state().phase, Kind::Done);
    EXPECT_EQ(hub.measured.load(), measuredOnce);

    // Downloads are the hub's own business: its "Open" goes to "Safe cleanup".
    pane = qobject_cast<StorageGrowthPane*>(hub.pane());
    ASSERT_TRUE(pane);
    auto* open = pane->findChild<QPushButton*>(QStringLiteral("open-downloads"));
    ASSERT_TRUE(open);
    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(hub.screen.diskMode(), DiskMode::System);
}

// Each bucket's "Open" says to a reader where it goes and for what, and the pages around them
// are no extra Tab stops.
TEST(StorageGrowthPane, ItsOpenButtonsSayWhatTheyOpenAndItsPagesAreNoExtraTabStops) {
    Hub hub;
    hub.make();
    EXPECT_EQ(storagetest::scrollStopProblems(hub.view.get()), QStringList());
    hub.screen.setDiskMode(DiskMode::Growth);
    ASSERT_TRUE(hub.growthDone());
    QCoreApplication::processEvents();
    QWidget* pane = hub.pane();
    auto* downloads = Find::part<QPushButton>(pane, "open-downloads");
    auto* caches = Find::part<QPushButton>(pane, "open-caches");
    EXPECT_EQ(downloads->text(), "Open");
    EXPECT_EQ(storagetest::accessibleNameOf(downloads), "Open Safe cleanup for Downloads");
    EXPECT_EQ(storagetest::accessibleNameOf(caches), "Open Safe cleanup for System & app caches");
    EXPECT_EQ(storagetest::scrollStopProblems(pane), QStringList());

    StorageGrowthScanner::Bucket documents;
    documents.name = QStringLiteral("Documents");
    documents.featureID = QStringLiteral("folders");
    EXPECT_EQ(StorageHubText::openButtonName(documents), "Open Browse Storage for Documents");
}

TEST(StorageGrowthPane, OpeningABucketSwitchesTheHubOrPostsTheSection) {
    ScreenState screen;
    Posts sections(Notifications::OpenSection);
    StorageGrowthPane::openBucket(screen, "disk");
    EXPECT_EQ(screen.diskMode(), DiskMode::System);
    EXPECT_TRUE(sections.payloads.isEmpty());

    screen.setDiskMode(DiskMode::Growth);
    StorageGrowthPane::openBucket(screen, "devclean");
    EXPECT_EQ(screen.diskMode(), DiskMode::Growth);
    EXPECT_EQ(sections.payloads, QStringList({"devclean"}));
}
