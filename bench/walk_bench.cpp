// walk_bench TREE: measures TREE with the directory walker and compares it with `du -sk`,
// `find -printf '%b'` and, when installed, `gdu`, on answer and on time.
//
// The answer is the allocated bytes of everything in the tree (folders and the root included,
// hard-linked files once), which is what `du -s` reports; `find`'s 512-byte blocks give the same
// sum on a tree without hard links. Times are hyperfine's medians of five runs after a warm-up,
// each program started as its own process (`walk_bench --once TREE` for ours); without hyperfine
// the same is done here with a wall clock. The last lines are RESULT lines, one per peer, the
// fastest peer last.
//
//   walk_bench TREE [--threads N]
//   walk_bench --once TREE [--threads N]   one walk, prints the byte total
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
#include <QSet>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

using namespace BenchProcess;

namespace {

qint64 walkTotal(const QString& tree, int threads) {
    DirectoryWalker::Options options;
    options.threads = threads;
    const DirectoryWalker walker(options);
    PerWorker<qint64> bytes(walker.threads());
    walker.walk(tree, [&](const DirectoryWalker::Entry& e) {
        if (!e.repeatLink)
            bytes.slot(e.worker) += e.allocatedBytes;
        return DirectoryWalker::Action::Continue;
    });
    return bytes.fold(qint64(0), [](qint64 a, qint64 b) { return a + b; });
}

std::optional<qint64> duBytes(const QString& tree) {
    const auto out = run(QStringLiteral("du"), {QStringLiteral("-sk"), QStringLiteral("--"), tree});
    if (!out)
        return std::nullopt;
    bool ok = false;
    const qint64 kb = out->split('\t').value(0).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(kb * 1024) : std::nullopt;
}

// find prints one line per name, so a file with several hard links would count once per link;
// du and the walk count its blocks once. Each line carries its device and inode so a repeat is
// left out.
const QString findFormat = QStringLiteral("%D %i %b\\n");

std::optional<qint64> findBytes(const QString& tree) {
    const auto out = run(QStringLiteral("find"), {tree, QStringLiteral("-printf"), findFormat});
    if (!out)
        return std::nullopt;
    qint64 blocks = 0;
    QSet<QByteArray> seen;
    for (const QByteArray& line : out->split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() != 3)
            continue;
        const QByteArray inode = fields.at(0) + ':' + fields.at(1);
        if (seen.contains(inode))
            continue;
        seen.insert(inode);
        blocks += fields.at(2).toLongLong();
    }
    return blocks * 512;
}

std::optional<qint64> gduBytes(const QString& tree) {
    const auto out =
        run(QStringLiteral("gdu"), {QStringLiteral("-n"), QStringLiteral("-s"),
                                    QStringLiteral("-p"), QStringLiteral("--no-prefix"), tree});
    if (!out)
        return std::nullopt;
    bool ok = false;
    const qint64 bytes = out->trimmed().split(' ').value(0).toLongLong(&ok);
    return ok ? std::optional<qint64>(bytes) : std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    const BenchArgs::Parsed parsed = BenchArgs::parse(
        argc, argv,
        BenchArgs::treeCommand(QStringLiteral("walk_bench"),
                               QStringLiteral("A walk of TREE against du, find and gdu.")));
    if (parsed.exitNow)
        return *parsed.exitNow;
    const int threads =
        std::max(1, parsed.number(QStringLiteral("--threads"), ParallelLoop::diskThreads()));
    const bool once = parsed.has(QStringLiteral("--once"));
    const QString tree = parsed.operands.first();
    QCoreApplication app(argc, argv);
    if (once) {
        std::printf("%lld\n", static_cast<long long>(walkTotal(tree, threads)));
        return 0;
    }

    const qint64 ours = walkTotal(tree, threads);
    std::printf("ours: %lld bytes with %d threads\n", static_cast<long long>(ours), threads);

    struct Peer {
        QString name;
        QStringList argv;
        std::optional<qint64> bytes;
        double ms = 0;
    };
    std::vector<Peer> peers;
    peers.push_back({QStringLiteral("du"),
                     {QStringLiteral("du"), QStringLiteral("-sk"), QStringLiteral("--"), tree},
                     duBytes(tree)});
    peers.push_back({QStringLiteral("find"),
                     {QStringLiteral("find"), tree, QStringLiteral("-printf"), findFormat},
                     findBytes(tree)});
    if (!QStandardPaths::findExecutable(QStringLiteral("gdu")).isEmpty())
        peers.push_back({QStringLiteral("gdu"),
                         {QStringLiteral("gdu"), QStringLiteral("-n"), QStringLiteral("-s"),
                          QStringLiteral("-p"), QStringLiteral("--no-prefix"), tree},
                         gduBytes(tree)});
    for (const Peer& p : peers)
        std::printf("%s: %lld bytes\n", qPrintable(p.name),
                    static_cast<long long>(p.bytes.value_or(-1)));

    const QStringList oursArgv = BenchProcess::selfOnce(threads, {tree});
    std::vector<QStringList> commands = {oursArgv};
    for (const Peer& p : peers) {
        QStringList argv = p.argv;
        argv[0] = QStandardPaths::findExecutable(argv[0]);
        commands.push_back(argv);
    }
    const std::vector<double> ms = timeAll(commands);
    const double oursMs = ms[0];
    for (size_t i = 0; i < peers.size(); ++i)
        peers[i].ms = ms[i + 1];
    std::vector<double> serial;
    for (int i = 0; i < 6; ++i) {
        QElapsedTimer timer;
        timer.start();
        walkTotal(tree, 1);
        if (i > 0)
            serial.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("ours with one thread, in process: %.0f ms\n", median(serial));

    const long peak = peakMegabytes(oursArgv);
    std::vector<PeerResult> results;
    for (const Peer& p : peers)
        results.push_back({p.name, p.ms, p.bytes && *p.bytes == ours});
    const bool same = printResults("walk", oursMs, results, peak);
    const bool coldSame = !parsed.has(QStringLiteral("--cold")) ||
                          reportCold("walk", commands, std::move(results), tree, peak);
    return same && coldSame ? 0 : 1;
}
