#include "app/shots/Shots.h"

#include "fakes/FakeDiskUsage.h"
#include "fakes/FakeFileRevealer.h"
#include "storage/DiskMapScanner.h"
#include "storage/views/DiskMapPane.h"
#include "storage/views/TreemapView.h"

#include "cleaning/CleanupScanner.h"
#include "cleaning/views/CleanerPane.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeSnapshotSampler.h"
#include "fakes/FakeTrash.h"
#include "platform/HomeLayout.h"
#include "shell/ScreenState.h"
#include "storage/DiskTrend.h"
#include "storage/FolderOrganizer.h"
#include "storage/StorageGrowthScanner.h"
#include "storage/views/DiskView.h"
#include "vitals/AppState.h"
#include <memory>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QSemaphore>
#include <QSize>
#include <QThreadPool>
#include <QVBoxLayout>

namespace {

using Shots::MiB;
using Shots::reserve;

// A home with the usual folders and a little of everything the map tells apart: client work,
// taxes, holiday photos, a film and an installer big enough to stand on their own, a web
// project with its dependencies, music, and a deep archive measured whole. The map counts the
// blocks files take, and a large file may take a block more or less by where it lands, so the
// files are made in the same order every time.
QString makeHome() {
    const QString home = QDir::homePath() + QStringLiteral("/diskmap-shots/ada");
    const auto many = [&](const QString& folder, const QString& pattern, int count, qint64 bytes) {
        Shots::many(home, folder, pattern, count, bytes);
    };
    many("Documents/Clients/Northwind Studio", "brief-%1.pdf", 24, 3 * MiB);
    many("Documents/Clients/Harbour Bakery", "mockup-%1.psd", 10, 9 * MiB);
    many("Documents/Tax 2024", "receipt-%1.pdf", 40, 400 * 1024);
    many("Documents/Invoices", "invoice-%1.pdf", 30, 300 * 1024);
    many("Documents/Family", "letter-%1.odt", 12, 200 * 1024);
    many("Documents/Writing", "chapter-%1.md", 18, 150 * 1024);
    many("Pictures/Holiday 2024", "IMG_%1.JPG", 60, 4 * MiB);
    many("Pictures/Screenshots", "Screenshot %1.png", 40, 900 * 1024);
    reserve(home + "/Videos/Lisbon trip.mp4", 180 * MiB);
    many("Videos/Clips", "clip-%1.mov", 8, 12 * MiB);
    reserve(home + "/Downloads/setup-studio-4.2.run", 130 * MiB);
    many("Downloads", "download-%1.zip", 25, 2 * MiB);
    many("Downloads/unsorted", "scan-%1.pdf", 20, 700 * 1024);
    many("Projects/website/src", "page-%1.tsx", 60, 24 * 1024);
    many("Projects/website/node_modules/react", "index-%1.js", 200, 180 * 1024);
    many("Projects/website/node_modules/typescript/lib", "lib-%1.d.ts", 100, 300 * 1024);
    many("Projects/website/.git/objects", "pack-%1", 10, 2 * MiB);
    many("Projects/tools/build", "out-%1.o", 40, 400 * 1024);
    many("Music/Albums/Night Drive", "track-%1.flac", 14, 28 * MiB);
    many("Desktop", "notes-%1.txt", 6, 16 * 1024);
    many("Archive/2019/old/backup/phone/DCIM", "IMG_%1.HEIC", 30, 2 * MiB);
    return home;
}

// The pane over its own scanner, in a window the size of the main window's detail card.
struct DiskMapShot {
    std::shared_ptr<FakeDiskUsage> tool = std::make_shared<FakeDiskUsage>();
    DiskMapScanner scanner;
    FakeFileRevealer revealer;
    QWidget window;
    DiskMapPane* pane;

    explicit DiskMapShot(const QString& home, int switchFiles = 20'000)
        : scanner(request(home, switchFiles)) {
        QVBoxLayout* layout = Shots::column(&window, QStringLiteral("disk"));
        pane = new DiskMapPane(scanner, &revealer, &window);
        layout->addWidget(pane);
        window.resize(980, 680);
    }

    DiskMapScanner::Request request(const QString& home, int switchFiles) {
        DiskMapScanner::Request r;
        r.home = home;
        r.measure.diskUsage = tool;
        r.measure.switchFiles = switchFiles;
        return r;
    }

    void waitUntilScanned() {
        Shots::waitFor([this] { return !scanner.state().isRunning(); }, 20000);
        QApplication::processEvents();
    }

    // Clicks the tile of the node with this name, as the user would.
    void click(const QString& name) {
        TreemapView* map = pane->treemap();
        for (const TreemapTile& tile : map->tiles()) {
            if (tile.node.name != name)
                continue;
            const QPointF at = tile.rect.center();
            QMouseEvent press(QEvent::MouseButtonPress, at, map->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(map, &press);
            QMouseEvent move(QEvent::MouseMove, at, map->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(map, &move);
            return;
        }
    }

    const MapNode* child(const QString& name) const {
        if (!scanner.result())
            return nullptr;
        for (const MapNode& node : scanner.result()->root.children) {
            if (node.name == name)
                return &node;
        }
        return nullptr;
    }
};

// A folder of many children of many sizes and every category, for the treemap alone.
QList<MapNode> sampleNodes() {
    QList<MapNode> nodes;
    const QStringList names = {"Holiday 2024", "node_modules",     "Lisbon trip.mp4",
                               "Tax 2024",     "Northwind Studio", "Family",
                               "Downloads",    "Night Drive",      "website",
                               "Invoices",     "Screenshots",      "Untitled folder"};
    const DiskMapCategory categories[] = {
        DiskMapCategory::Media,          DiskMapCategory::Code,       DiskMapCategory::Media,
        DiskMapCategory::AdminFinance,   DiskMapCategory::ClientWork, DiskMapCategory::Personal,
        DiskMapCategory::DownloadsLimbo, DiskMapCategory::Media,      DiskMapCategory::Code,
        DiskMapCategory::AdminFinance,   DiskMapCategory::Media,      DiskMapCategory::Unknown};
    for (int i = 0; i < 160; ++i) {
        MapNode node;
        const int k = i % int(names.size());
        node.name = i < names.size() ? names[k] : names[k] + QStringLiteral(" %1").arg(i);
        node.id = QStringLiteral("/home/ada/") + node.name;
        node.sizeBytes = qint64(4'000'000'000.0 / ((i + 1) * (i + 1) * 0.6 + 1));
        node.category = categories[k];
        node.isDirectory = k != 2;
        if (node.isDirectory)
            node.children.append(MapNode{});
        nodes.append(node);
    }
    return nodes;
}

constexpr qint64 GB = 1'000'000'000;

// The hub over fixed figures: a 494 GB disk filling by a little every sample, buckets of
// scripted sizes, the generated home for the disk map, and the junk cleaner's rows.
struct HubShot {
    HomeLayout layout;
    std::shared_ptr<FakeSamplerState> samples = std::make_shared<FakeSamplerState>();
    std::unique_ptr<AppState> appState;
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::unique_ptr<DiskTrend> trend;
    ScreenState screen;
    QSemaphore growthGate;
    std::atomic<bool> holdGrowth{false};
    std::unique_ptr<StorageGrowthScanner> growth;
    std::unique_ptr<DiskMapScanner> diskMap;
    FolderOrganizer organizer{layout};
    FakeFileRevealer revealer;
    std::shared_ptr<FakeCategoryMeasure> measure = std::make_shared<FakeCategoryMeasure>();
    std::unique_ptr<DiskCleanupScanner> junk;
    QWidget window;

    explicit HubShot(const QString& home) : layout(HomeLayout::forHome(home)) {
        const QString base = QFileInfo(home).path();

        samples->setMake([](int, int sample) {
            SystemSnapshot s;
            s.diskTotalBytes = 494'380'000'000;
            s.diskFreeBytes = 121'700'000'000 - qint64(sample) * 40'000;
            return s;
        });
        appState = std::make_unique<AppState>(FakeSnapshotSampler::appStateOptions(samples, true));
        for (int i = 2; i <= 12; ++i) {
            Shots::waitFor([&] { return samples->samples.load() >= i - 1; }, 10'000);
            appState->sampleAndPublish();
        }
        Shots::waitFor([&] { return appState->diskUsedHistory().size() >= 12; }, 10'000);
        // Four days of hourly points before now, the disk filling by 1.5 GB a day.
        const CacheFolder data(AppSupportFolder(base + "/data"));
        QList<DiskTrend::Point> points;
        const qint64 usedNow = DiskTrend::usedBytes(appState->snapshot());
        for (int hoursAgo = 96; hoursAgo >= 1; --hoursAgo)
            points.append({clock->now().addSecs(-3600 * hoursAgo),
                           usedNow - qint64(hoursAgo) * 1'500'000'000 / 24});
        (void)data.writeJSON(points, DiskTrend::fileName());
        trend = std::make_unique<DiskTrend>(*appState, data, clock);

        static const QHash<QString, qint64> sizes = {{"apps", 38 * GB / 10},
                                                     {"developer", 61 * GB / 10},
                                                     {"mail", 24 * GB / 10},
                                                     {"photos", 182 * GB / 10},
                                                     {"cloud", 0},
                                                     {"downloads", 73 * GB / 10},
                                                     {"caches", 41 * GB / 10}};
        StorageGrowthScanner::Deps options;
        layout.setSystemRoot(base + "/no-system");
        const QList<StorageGrowthScanner::Definition> defs =
            StorageGrowthScanner::definitions(layout);
        options.measure = [this, defs](const QString& path, const CancelToken&) -> qint64 {
            if (holdGrowth)
                growthGate.acquire();
            for (const StorageGrowthScanner::Definition& d : defs) {
                if (d.locations.value(0) == path)
                    return sizes.value(d.id);
            }
            return 0;
        };
        growth = std::make_unique<StorageGrowthScanner>(layout, options);

        DiskMapScanner::Request request;
        request.home = layout.home();
        request.measure.diskUsage = std::make_shared<FakeDiskUsage>();
        diskMap = std::make_unique<DiskMapScanner>(request);

        measure->setResult("caches", {2'310'000'000, 18'422, {}});
        measure->setResult("logs", {412'000'000, 1'204, {}});
        measure->setResult("trash", {1'870'000'000, 96, {}});
        measure->setResult("downloads", {3'900'000'000, 41, {}});
        junk = std::make_unique<DiskCleanupScanner>(
            layout,
            CleanupScanner::Deps{measure, std::make_shared<FakeTrash>(base + "/trash"), {}});

        Shots::column(&window, QStringLiteral("disk"))
            ->addWidget(new DiskView(
                screen, *appState, trend.get(), *growth, *diskMap, organizer, &revealer,
                [this](DiskMode, QWidget* parent) -> QWidget* {
                    return new CleanerPane(*junk, screen, CleanerStateFields::system(),
                                           CleanerPaneText::systemJunk(), &revealer, parent);
                },
                &window));
        window.resize(1000, 760);
    }

    ~HubShot() {
        holdGrowth = false;
        growthGate.release(100);
        QThreadPool::globalInstance()->waitForDone();
    }

    void show(DiskMode mode) {
        screen.setDiskMode(mode);
        window.show();
        Shots::settle();
    }
};

// The storage hub: its overview (light and dark, smallest and largest text size, narrow), the
// growth pane measuring and listed, and the hub over the cleaner, the disk map and the
// organizer.
void storageHubShots(ShotContext& ctx, const QString& home) {
    {
        HubShot shot(home);
        shot.show(DiskMode::Hub);
        ctx.save(&shot.window, QStringLiteral("storage-overview"));
        ctx.saveLooks(&shot.window, QStringLiteral("storage-overview"), QSize(1000, 900),
                      QSize(1000, 1100));
        shot.window.resize(520, 900);
        Shots::settle();
        ctx.save(&shot.window, QStringLiteral("storage-overview-narrow"));
        shot.window.resize(1000, 760);

        // Growth: measuring (its first showing starts the scan), then listed.
        shot.holdGrowth = true;
        shot.screen.setDiskMode(DiskMode::Growth);
        Shots::settle();
        ctx.save(&shot.window, QStringLiteral("storage-growth-measuring"));
        shot.holdGrowth = false;
        shot.growthGate.release(100);
        Shots::waitFor([&] { return shot.growth->state().phase == ScanPhase::Done; }, 10'000);
        Shots::settle();
        ctx.save(&shot.window, QStringLiteral("storage-growth-listed"));
        ctx.setTextSize(4);
        Shots::settle();
        ctx.save(&shot.window, QStringLiteral("storage-growth-listed-step4"));
        ctx.resetLook();

        shot.show(DiskMode::System);
        Shots::waitFor([&] { return shot.junk->state().phase == ScanPhase::Done; }, 10'000);
        Shots::settle();
        ctx.save(&shot.window, QStringLiteral("storage-safe-cleanup"));
        shot.show(DiskMode::DiskMap);
        Shots::waitFor([&] { return !shot.diskMap->state().isRunning(); }, 10'000);
        Shots::settle();
        ctx.save(&shot.window, QStringLiteral("storage-diskmap"));
        shot.show(DiskMode::Organizer);
        ctx.save(&shot.window, QStringLiteral("storage-organizer"));
        shot.window.hide();
    }
}

} // namespace

// The disk map: the idle panel, a scan in progress, a failure, the map of a generated home at
// its top level with a folder selected (light and dark, smallest and largest text size), a
// folder entered with a file selected, and the treemap alone on a folder of many children.
void renderStorageShots(ShotContext& ctx) {
    const QString home = makeHome();
    {
        DiskMapShot shot(home);
        // Shown while idle, the pane starts its scan: stopped, it stays idle for the grab.
        ctx.saveWhenReady(&shot.window, QStringLiteral("diskmap-idle"),
                          [&] { shot.scanner.cancel(); });
    }
    {
        // A deep archive measured whole reaches the held tool, so the scan stays running; the
        // scan's own progress is held back, so it does not overwrite the line shown.
        DiskMapShot shot(home, 10);
        shot.tool->hold();
        Shots::DropDeliveries held;
        shot.window.show();
        QApplication::processEvents();
        shot.scanner.applyProgress(
            shot.scanner.scanGeneration(),
            QStringLiteral("Measured 1.2 GB across 3400 files · 2 of 9 folders done · now in "
                           "Documents"));
        ctx.save(&shot.window, QStringLiteral("diskmap-progress"));
        shot.scanner.cancel();
        shot.tool->release();
        shot.window.hide();
    }
    {
        DiskMapShot shot(home + QStringLiteral("/nowhere"));
        ctx.saveWhenReady(&shot.window, QStringLiteral("diskmap-failed"),
                          [&] { shot.waitUntilScanned(); });
    }
    {
        DiskMapShot shot(home);
        shot.window.show();
        shot.waitUntilScanned();
        shot.click(QStringLiteral("Documents"));
        ctx.save(&shot.window, QStringLiteral("diskmap-map"));
        ctx.eachLook([&](const ShotLook& look) {
            ctx.save(&shot.window, QStringLiteral("diskmap-map") + look.suffix());
        });
        if (const MapNode* documents = shot.child(QStringLiteral("Documents"))) {
            shot.pane->drillIn(*documents);
            QApplication::processEvents();
            shot.click(QStringLiteral("Clients"));
            ctx.save(&shot.window, QStringLiteral("diskmap-documents"));
            if (const MapNode* clients = [&]() -> const MapNode* {
                    for (const MapNode& n : documents->children) {
                        if (n.name == QStringLiteral("Clients"))
                            return &n;
                    }
                    return nullptr;
                }()) {
                shot.pane->drillIn(*clients);
                QApplication::processEvents();
                shot.click(shot.pane->currentNodes().value(0).name);
                ctx.save(&shot.window, QStringLiteral("diskmap-clients"));
            }
        }
        shot.window.hide();
    }
    {
        QWidget window;
        QVBoxLayout* layout = Shots::column(&window, QStringLiteral("disk"));
        layout->setContentsMargins(12, 12, 12, 12);
        auto* map = new TreemapView(&window);
        layout->addWidget(map);
        window.resize(900, 600);
        map->setNodes(sampleNodes());
        ctx.save(&window, QStringLiteral("treemap-many"));
        map->setNodes({});
        ctx.save(&window, QStringLiteral("treemap-empty"));
        // Files that take no space on disk (sparse images): the folder is not empty.
        QList<MapNode> sparse = sampleNodes().mid(0, 3);
        for (MapNode& node : sparse)
            node.sizeBytes = 0;
        map->setNodes(sparse);
        ctx.save(&window, QStringLiteral("treemap-no-space"));
        window.hide();
    }
    storageHubShots(ctx, home);
    QDir(QDir::homePath() + QStringLiteral("/diskmap-shots")).removeRecursively();
}
