#include "app/Shots.h"

#include "fakes/FakeDiskUsage.h"
#include "fakes/FakeFileRevealer.h"
#include "storage/DiskMapScanner.h"
#include "storage/views/DiskMapPane.h"
#include "storage/views/TreemapView.h"
#include "ui-kit/Themed.h"

#include <fcntl.h>
#include <memory>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <unistd.h>

namespace {

constexpr qint64 MiB = 1024 * 1024;

// A file that takes `bytes` on disk without writing them (the blocks are only reserved).
void reserve(const QString& path, qint64 bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    if (::posix_fallocate(fd, 0, bytes) != 0) {
        const QByteArray chunk(4096, 'x');
        for (qint64 left = std::min<qint64>(bytes, 4 * MiB); left > 0; left -= chunk.size())
            (void)!::write(fd, chunk.constData(), size_t(chunk.size()));
    }
    ::close(fd);
}

// A home with the usual folders and a little of everything the map tells apart: client work,
// taxes, holiday photos, a film and an installer big enough to stand on their own, a web
// project with its dependencies, music, and a deep archive measured whole.
QString makeHome() {
    const QString home = QDir::homePath() + QStringLiteral("/diskmap-shots/ada");
    const auto many = [&](const QString& folder, const QString& pattern, int count, qint64 bytes) {
        for (int i = 0; i < count; ++i)
            reserve(home + "/" + folder + "/" + pattern.arg(i, 4, 10, QLatin1Char('0')),
                    bytes + (i % 7) * 64 * 1024);
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
        Themed::apply(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
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

    void settle() {
        const QDeadlineTimer deadline(20000);
        while (scanner.state().isScanning() && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
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

} // namespace

// The disk map: the idle panel, a scan in progress, a failure, the map of a generated home at
// its top level with a folder selected (light and dark, smallest and largest text size), a
// folder entered with a file selected, and the treemap alone on a folder of many children.
void renderStorageShots(ShotContext& ctx) {
    const QString home = makeHome();
    {
        DiskMapShot shot(home);
        shot.window.show(); // shown while idle: the pane starts its scan
        shot.scanner.cancel();
        ctx.save(&shot.window, QStringLiteral("diskmap-idle"));
        shot.window.hide();
    }
    {
        // A deep archive measured whole reaches the held tool, so the scan stays running.
        DiskMapShot shot(home, 10);
        shot.tool->hold();
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
        shot.window.show();
        shot.settle();
        ctx.save(&shot.window, QStringLiteral("diskmap-failed"));
        shot.window.hide();
    }
    {
        DiskMapShot shot(home);
        shot.window.show();
        shot.settle();
        shot.click(QStringLiteral("Documents"));
        ctx.save(&shot.window, QStringLiteral("diskmap-map"));
        const struct {
            const char* appearance;
            const char* suffix;
        } looks[] = {{"Light", ""}, {"Dark", "-dark"}};
        for (const auto& look : looks) {
            for (int step : {0, 4}) {
                ctx.setLook(QString::fromUtf8(look.appearance), step);
                ctx.save(&shot.window, QStringLiteral("diskmap-map-step%1%2")
                                           .arg(step)
                                           .arg(QString::fromUtf8(look.suffix)));
            }
        }
        ctx.resetLook();
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
        Themed::apply(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(12, 12, 12, 12);
        auto* map = new TreemapView(&window);
        layout->addWidget(map);
        window.resize(900, 600);
        map->setNodes(sampleNodes());
        ctx.save(&window, QStringLiteral("treemap-many"));
        map->setNodes({});
        ctx.save(&window, QStringLiteral("treemap-empty"));
        window.hide();
    }
    QDir(QDir::homePath() + QStringLiteral("/diskmap-shots")).removeRecursively();
}
