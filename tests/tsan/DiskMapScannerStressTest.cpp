// The disk map under load: items measured at once by parallel walks sharing one tally, scans
// superseded and cancelled mid-walk, and progress texts crossing to the main thread.
#include "fakes/FakeDiskUsage.h"
#include "storage/DiskMapScanner.h"
#include "support/TestSupport.h"

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThreadPool>
#include <unistd.h>

namespace {

void touch(const QString& path, int bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(bytes, 'x'));
}

// Six items, each with folders down to depth 6 (so some are measured whole), a build folder, a
// package, hidden files and hard links between items.
QString makeHome() {
    const QString home = testsupport::freshDir("diskmap-stress");
    const QStringList items = {"Documents", "Downloads", "Pictures", "Projects", "Music", "misc"};
    for (int i = 0; i < items.size(); ++i) {
        const QString item = home + "/" + items[i];
        for (int d = 0; d < 12; ++d) {
            QString dir = item;
            for (int level = 0; level < d % 6; ++level)
                dir += QStringLiteral("/l%1").arg(level);
            dir += QStringLiteral("/f%1").arg(d);
            for (int f = 0; f < 6; ++f)
                touch(dir + QStringLiteral("/file%1.%2").arg(f).arg(f % 2 ? "jpg" : "txt"),
                      100 * (f + 1));
        }
        for (int f = 0; f < 20; ++f)
            touch(item + QStringLiteral("/node_modules/pkg%1/index.js").arg(f), 300);
        touch(item + "/Tool.app/Contents/binary", 5000);
        touch(item + "/.hidden/secret", 700);
        ::link(QFile::encodeName(item + "/f0/file0.txt").constData(),
               QFile::encodeName(home + QStringLiteral("/link%1").arg(i)).constData());
    }
    return home;
}

DiskMapScanner::Request requestFor(const QString& home) {
    DiskMapScanner::Request request;
    request.home = home;
    request.measure.walkerThreads = 4;
    request.measure.switchFiles = 25; // some folders measured whole reach the tool
    request.measure.diskUsage = std::make_shared<FakeDiskUsage>();
    return request;
}

} // namespace

TEST(DiskMapStress, ParallelScansAgreeAndCancelCleanly) {
    const QString home = makeHome();
    const DiskMapScanner::Request request = requestFor(home);
    std::atomic<int> reports{0};
    const auto report = [&](const QString& text) {
        if (!text.isEmpty())
            reports.fetch_add(1, std::memory_order_relaxed);
    };
    const auto first = DiskMapScanner::runScan(request, CancelToken(), report);
    ASSERT_TRUE(std::holds_alternative<DiskMapResult>(first));
    const MapNode expected = std::get<DiskMapResult>(first).root;
    EXPECT_GT(reports.load(), 0);

    for (int i = 0; i < 12; ++i) {
        const auto again = DiskMapScanner::runScan(request, CancelToken(), report);
        ASSERT_TRUE(std::holds_alternative<DiskMapResult>(again));
        const MapNode& root = std::get<DiskMapResult>(again).root;
        EXPECT_EQ(root.sizeBytes, expected.sizeBytes);
        EXPECT_EQ(root.fileCount, expected.fileCount);

        // Cancelled from another thread after a few reports: the scan ends, stopped.
        CancelToken token;
        std::atomic<int> seen{0};
        const auto outcome = DiskMapScanner::runScan(request, token, [&](const QString&) {
            if (seen.fetch_add(1) == i % 5)
                token.cancel();
        });
        if (seen.load() > i % 5) {
            EXPECT_TRUE(std::holds_alternative<QString>(outcome));
        }
    }
}

TEST(DiskMapStress, SupersededAndCancelledScansLeaveOneResult) {
    const QString home = makeHome();
    DiskMapScanner scanner(requestFor(home));
    for (int i = 0; i < 8; ++i) {
        scanner.scan();
        if (i % 2)
            QCoreApplication::processEvents();
        if (i % 3 == 0)
            scanner.cancel();
    }
    scanner.scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return !scanner.state().isRunning(); }, 60'000));
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(scanner.state().phase, ScanPhase::Done);
    ASSERT_TRUE(scanner.result());
    EXPECT_GT(scanner.result()->root.sizeBytes, 0);
}
