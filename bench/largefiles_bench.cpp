// largefiles_bench TREE: lists the largest files of TREE with the large-file scanner's walk and
// compares the list and the time with find's:
//
//   find TREE -type f -size +1M -printf '%b %p\n' | sort -rn
//
// The scanner passes over hidden files and folders, so the peer that does the same job prunes
// them (`-mindepth 1 -name '.*' -prune -o …`); the literal pipeline above runs too, and its list
// is compared with its hidden entries dropped. The scanner measures a file by the blocks it takes
// on the disk, so find prints them (`%b`, 512 bytes each), and both keep what takes more than
// 1,048,576 bytes: ours runs with a minimum of 1,048,577, find's list is cut there after
// `-size +1M` has passed over what cannot reach it. Both lists are cut to the scanner's 200 and
// ordered by size, largest first, then by path, so equal sizes cannot make them differ.
//
// Times are hyperfine's medians of five runs after a warm-up, each program its own process
// (`largefiles_bench --once TREE` for ours, which prints its list as the peer does); without
// hyperfine the same is done here with a wall clock. The last lines are RESULT lines, one per
// peer, the fastest peer last.
//
//   largefiles_bench TREE [--threads N]
//   largefiles_bench --once TREE [--threads N]   one scan, prints "size path" lines
#include "cleaning/LargeFilesScanner.h"
#include "platform/DirectoryWalker.h"
#include "platform/ParallelLoop.h"
#include "support/BenchArgs.h"
#include "support/BenchProcess.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <utility>
#include <vector>

using namespace BenchProcess;

namespace {

constexpr qint64 kMinimum = 1'048'577; // more than 1 MiB, as find's "-size +1M"

using Listing = std::vector<std::pair<qint64, QByteArray>>;

void order(Listing& list) {
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    if (list.size() > size_t(LargeFilesScanner::maxFiles))
        list.resize(size_t(LargeFilesScanner::maxFiles));
}

Listing ours(const QString& tree, int threads) {
    const LargeFilesScanner::WalkResult result =
        LargeFilesScanner::walkFolder(tree, kMinimum, CancelToken(), {}, threads);
    Listing list;
    for (const BigFile& f : result.files)
        list.emplace_back(f.sizeBytes, QFile::encodeName(f.path()));
    order(list);
    return list;
}

// Reads "blocks path" lines of files that take at least kMinimum bytes; with dropHidden, paths
// with a component starting with "." below the tree are left out.
Listing parse(const QByteArray& out, const QByteArray& tree, bool dropHidden) {
    Listing list;
    for (const QByteArray& line : out.split('\n')) {
        const qsizetype space = line.indexOf(' ');
        if (space <= 0)
            continue;
        const QByteArray path = line.mid(space + 1);
        const qint64 bytes = line.left(space).toLongLong() * 512;
        if (bytes < kMinimum || (dropHidden && path.mid(tree.size()).contains("/.")))
            continue;
        list.emplace_back(bytes, path);
    }
    order(list);
    return list;
}

} // namespace

int main(int argc, char** argv) {
    const BenchArgs::Parsed parsed = BenchArgs::parse(
        argc, argv,
        BenchArgs::treeCommand(
            QStringLiteral("largefiles_bench"),
            QStringLiteral("The files over 1 MiB below TREE against find | sort.")));
    if (parsed.exitNow)
        return *parsed.exitNow;
    const int threads =
        std::max(1, parsed.number(QStringLiteral("--threads"), ParallelLoop::diskThreads()));
    const bool once = parsed.has(QStringLiteral("--once"));
    QString tree = parsed.operands.first();
    while (tree.size() > 1 && tree.endsWith(QLatin1Char('/')))
        tree.chop(1);
    QCoreApplication app(argc, argv);
    if (once) {
        for (const auto& [size, path] : ours(tree, threads))
            std::printf("%lld %s\n", static_cast<long long>(size), path.constData());
        return 0;
    }

    const Listing mine = ours(tree, threads);
    std::printf("ours: %zu files of more than 1 MiB listed, %d threads\n", mine.size(), threads);

    const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));
    const QString pipeline =
        QStringLiteral("find %1 -type f -size +1M -printf '%b %p\\n' | sort -rn")
            .arg(commandLine({tree}));
    const QString pruned = QStringLiteral("find %1 -mindepth 1 -name '.*' -prune -o -type f -size "
                                          "+1M -printf '%b %p\\n' | sort -rn")
                               .arg(commandLine({tree}));
    struct Peer {
        QString name;
        QString script;
        bool dropHidden;
        bool same = false;
    };
    std::vector<Peer> peers = {{QStringLiteral("find-sort"), pipeline, true},
                               {QStringLiteral("find-sort-pruned"), pruned, false}};
    const QByteArray treeBytes = QFile::encodeName(tree);
    for (Peer& p : peers) {
        const auto out = run(sh, {QStringLiteral("-c"), p.script});
        const Listing theirs = out ? parse(*out, treeBytes, p.dropHidden) : Listing();
        p.same = out && theirs == mine;
        std::printf("%s: %s (%zu listed)\n", qPrintable(p.name), qPrintable(p.script),
                    theirs.size());
    }

    const QStringList oursArgv = BenchProcess::selfOnce(threads, {tree});
    std::vector<QStringList> commands = {oursArgv};
    for (const Peer& p : peers)
        commands.push_back({sh, QStringLiteral("-c"), p.script});
    std::vector<PeerResult> results;
    for (const Peer& p : peers)
        results.push_back({p.name, 0, p.same});
    const bool allSame = timeAndReport("largefiles", commands, results);
    const bool coldSame =
        !parsed.has(QStringLiteral("--cold")) ||
        reportCold("largefiles", commands, std::move(results), tree, peakMegabytes(oursArgv));
    return allSame && coldSame ? 0 : 1;
}
