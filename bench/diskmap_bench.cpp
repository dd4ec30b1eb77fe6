// diskmap_bench TREE: a full disk-map scan of TREE (taken as the home folder) against
// `gdu -np TREE` and `du -sk TREE`, on answer and on time.
//
// The answer is the root's size: what `du` counts for the visible items of TREE not among the names
// a scan skips (everything below them, hidden entries and folders' own blocks included, hard-linked
// files once). It must equal the sum of `find`'s 512-byte blocks over the same entries. The peers
// are timed on the command lines named above, which walk the whole tree, skipped and hidden folders
// included. Times are hyperfine's medians of five runs after a warm-up, each program started as its
// own process (`diskmap_bench --once` for ours); without hyperfine the same is done with a wall
// clock. The last lines are RESULT lines, one per peer, the fastest peer last, each with the load
// average at the time.
//
//   diskmap_bench TREE [--threads N]
//   diskmap_bench --once TREE [--threads N]   one scan, prints the root's size and file count
// --threads: the scan's walker threads (default: ParallelLoop::diskThreads(), as the app).
#include "platform/DiskUsage.h"
#include "platform/ParallelLoop.h"
#include "storage/DiskMapScanner.h"
#include "support/BenchArgs.h"
#include "support/BenchProcess.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>
#include <vector>

using namespace BenchProcess;

namespace {

std::optional<MapNode> scan(const QString& tree, int threads) {
    DiskMapScanner::Request request;
    request.home = tree;
    request.measure.diskUsage = std::make_shared<DuDiskUsage>();
    request.measure.walkerThreads = threads;
    const DiskMapScanner::Outcome outcome = DiskMapScanner::runScan(request, CancelToken(), {});
    if (const auto* result = std::get_if<DiskMapResult>(&outcome))
        return result->root;
    std::fprintf(stderr, "scan failed: %s\n", qPrintable(std::get<QString>(outcome)));
    return std::nullopt;
}

// find's blocks of what the map measures: the measured items and everything below them, folders
// and hidden entries included, as `du` counts them; a hard-linked file once.
std::optional<qint64> findBytes(const QString& tree) {
    QStringList items;
    const QStringList& skipped = DiskMapScanner::skippedHomeNames();
    for (const QString& name :
         QDir(tree).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)) {
        if (!name.startsWith(QLatin1Char('.')) && !skipped.contains(name))
            items << QDir(tree).filePath(name);
    }
    if (items.isEmpty())
        return 0;
    // Everything below them, as du counts it: hidden entries and folders' own blocks included.
    QStringList args = items;
    args << QStringLiteral("-printf") << QStringLiteral("%D:%i %n %b\\n");
    const auto listed = run(QStringLiteral("find"), args);
    if (!listed)
        return std::nullopt;
    qint64 blocks = 0;
    QSet<QByteArray> linked;
    for (const QByteArray& line : listed->split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() != 3)
            continue;
        if (parts[1].toLongLong() > 1) {
            if (linked.contains(parts[0]))
                continue;
            linked.insert(parts[0]);
        }
        blocks += parts[2].toLongLong();
    }
    return blocks * 512;
}

} // namespace

int main(int argc, char** argv) {
    const BenchArgs::Parsed parsed = BenchArgs::parse(
        argc, argv,
        BenchArgs::treeCommand(QStringLiteral("diskmap_bench"),
                               QStringLiteral("A full disk-map scan of TREE against gdu and du.")));
    if (parsed.exitNow)
        return *parsed.exitNow;
    const int threads =
        std::max(1, parsed.number(QStringLiteral("--threads"), ParallelLoop::diskThreads()));
    const bool once = parsed.has(QStringLiteral("--once"));
    QCoreApplication app(argc, argv);
    const QString tree = QDir(parsed.operands.first()).absolutePath();
    const std::optional<MapNode> root = scan(tree, threads);
    if (!root)
        return 1;
    if (once) {
        std::printf("%lld bytes in %lld files\n", static_cast<long long>(root->sizeBytes),
                    static_cast<long long>(root->fileCount));
        return 0;
    }
    const std::optional<qint64> found = findBytes(tree);
    const bool same = found && *found == root->sizeBytes;
    std::printf("ours: %lld bytes in %lld files, %lld items, %d walker threads\n",
                static_cast<long long>(root->sizeBytes), static_cast<long long>(root->fileCount),
                static_cast<long long>(root->children.size()), threads);
    std::printf("find over the same files: %lld bytes\n",
                static_cast<long long>(found.value_or(-1)));

    std::vector<QStringList> commands = {BenchProcess::selfOnce(threads, {tree})};
    std::vector<PeerResult> peers;
    const auto addPeer = [&](const QString& name, QStringList argv) {
        argv.prepend(QStandardPaths::findExecutable(name));
        commands.push_back(argv);
        peers.push_back({name, 0, same});
    };
    addPeer(QStringLiteral("du"), {QStringLiteral("-sk"), tree});
    if (!QStandardPaths::findExecutable(QStringLiteral("gdu")).isEmpty())
        addPeer(QStringLiteral("gdu"), {QStringLiteral("-np"), tree});
    const std::vector<double> ms = timeAll(commands);
    for (size_t i = 0; i < peers.size(); ++i)
        peers[i].ms = ms[i + 1];
    const long peak = peakMegabytes(commands.front());
    const bool allSame = printResults("diskmap", ms[0], peers, peak);
    const bool coldSame = !parsed.has(QStringLiteral("--cold")) ||
                          reportCold("diskmap", commands, std::move(peers), tree, peak);
    return allSame && coldSame ? 0 : 1;
}
