// duplicates_bench TREE: finds the exact duplicates below TREE with the app's own search and
// compares answer and time with `jdupes -r -q`, `fdupes -r -q` and `rmlint` on the same tree.
//
// The answer is the set of groups. The peers look at every file; the app passes over files
// under 1,024 bytes, hidden files and folders and the insides of packages ("Name.app"), so each
// peer's groups are cut down to the files the app looks at (groups left with one file drop)
// before they are compared. Times are hyperfine's medians of five runs after a warm-up, each
// program started as its own process (`duplicates_bench --once TREE` for ours); without
// hyperfine a wall clock does the same. Peak memory is that of one `--once` run. The last lines
// are RESULT lines, one per peer that is installed, jdupes last, each with the user and system
// CPU time of that one run and the load average: the machine may be shared.
//
//   duplicates_bench TREE [--threads N]
//   duplicates_bench --once TREE [--threads N]   one search, prints the group count
#include "duplicates/DuplicateScan.h"
#include "platform/DescriptorLimit.h"
#include "platform/DirectoryWalker.h"
#include "platform/ParallelLoop.h"
#include "support/BenchArgs.h"
#include "support/BenchProcess.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <set>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

using namespace BenchProcess;

namespace {

using Groups = std::set<QStringList>;

Groups normalised(const QList<QStringList>& raw, const QString& tree, bool filter) {
    Groups out;
    const QString root = QDir::cleanPath(QFileInfo(tree).absoluteFilePath());
    for (QStringList files : raw) {
        QStringList kept;
        for (const QString& f : files) {
            const QString path =
                QDir::cleanPath(QFileInfo(f).isAbsolute() ? f : QDir(root).absoluteFilePath(f));
            if (filter) {
                const QString rel = QDir(root).relativeFilePath(path);
                bool skip = QFileInfo(path).size() < DuplicateScan::minimumSize;
                const QStringList parts = rel.split(QLatin1Char('/'));
                for (int i = 0; i < parts.size() && !skip; ++i)
                    skip = parts[i].startsWith(QLatin1Char('.')) ||
                           (i + 1 < parts.size() && parts[i].endsWith(QLatin1String(".app")));
                if (skip)
                    continue;
            }
            kept.append(path);
        }
        if (kept.size() < 2)
            continue;
        std::sort(kept.begin(), kept.end());
        out.insert(kept);
    }
    return out;
}

DuplicateScan::Outcome search(const QString& tree, int threads) {
    DuplicateScan::Options options;
    options.threads = threads;
    return DuplicateScan::run(tree, options);
}

Groups ours(const QString& tree, int threads) {
    QList<QStringList> raw;
    for (const DuplicateGroup& g : search(tree, threads).groups)
        raw.append(g.files);
    return normalised(raw, tree, false);
}

// jdupes and fdupes print groups as lines of paths separated by blank lines.
std::optional<Groups> blankLineGroups(const QString& program, const QStringList& args,
                                      const QString& tree) {
    const auto out = run(program, args);
    if (!out)
        return std::nullopt;
    QList<QStringList> raw;
    QStringList current;
    for (const QByteArray& line : out->split('\n')) {
        if (line.isEmpty()) {
            if (!current.isEmpty())
                raw.append(current);
            current.clear();
        } else {
            current.append(QFile::decodeName(line));
        }
    }
    if (!current.isEmpty())
        raw.append(current);
    return normalised(raw, tree, true);
}

// rmlint's JSON lists every duplicate with its group's checksum.
std::optional<Groups> rmlintGroups(const QString& tree, const QString& json) {
    if (!run(QStringLiteral("rmlint"),
             {QStringLiteral("-T"), QStringLiteral("df"), QStringLiteral("-o"),
              QStringLiteral("json:") + json, tree}))
        return std::nullopt;
    QFile f(json);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QHash<QString, QStringList> byDigest;
    for (const QJsonValue& v : QJsonDocument::fromJson(f.readAll()).array()) {
        const QJsonObject o = v.toObject();
        if (o.value(QStringLiteral("type")).toString() != QLatin1String("duplicate_file"))
            continue;
        byDigest[o.value(QStringLiteral("checksum")).toString()].append(
            o.value(QStringLiteral("path")).toString());
    }
    return normalised(byDigest.values(), tree, true);
}

} // namespace

int main(int argc, char** argv) {
    const BenchArgs::Parsed parsed = BenchArgs::parse(
        argc, argv,
        BenchArgs::treeCommand(QStringLiteral("duplicates_bench"),
                               QStringLiteral("The exact duplicates below TREE against jdupes, "
                                              "fdupes and rmlint.")));
    if (parsed.exitNow)
        return *parsed.exitNow;
    const int threads =
        std::max(1, parsed.number(QStringLiteral("--threads"), ParallelLoop::diskThreads()));
    const bool once = parsed.has(QStringLiteral("--once"));
    // As the app does at start.
    DescriptorLimit::raise();
    QCoreApplication app(argc, argv);
    const QString tree = QDir::cleanPath(QFileInfo(parsed.operands.first()).absoluteFilePath());
    if (once) {
        // Only the search is timed: its answer is compared with the peers' outside the timed run.
        std::printf("%lld\n", static_cast<long long>(search(tree, threads).groups.size()));
        return 0;
    }

    const Groups mine = ours(tree, threads);
    std::printf("ours: %zu groups with %d threads\n", mine.size(), threads);

    QTemporaryDir scratch;
    const QString rmlintJson = scratch.filePath(QStringLiteral("rmlint.json"));
    struct Peer {
        QString name;
        QStringList argv;
        std::optional<Groups> groups;
        double ms = 0;
    };
    std::vector<Peer> peers;
    auto installed = [](const char* tool) {
        return QStandardPaths::findExecutable(QString::fromLatin1(tool));
    };
    if (const QString p = installed("rmlint"); !p.isEmpty())
        peers.push_back({QStringLiteral("rmlint"),
                         {p, QStringLiteral("-T"), QStringLiteral("df"), QStringLiteral("-o"),
                          QStringLiteral("json:") + rmlintJson, tree},
                         rmlintGroups(tree, rmlintJson)});
    if (const QString p = installed("fdupes"); !p.isEmpty())
        peers.push_back(
            {QStringLiteral("fdupes"),
             {p, QStringLiteral("-r"), QStringLiteral("-q"), tree},
             blankLineGroups(p, {QStringLiteral("-r"), QStringLiteral("-q"), tree}, tree)});
    if (const QString p = installed("jdupes"); !p.isEmpty())
        peers.push_back(
            {QStringLiteral("jdupes"),
             {p, QStringLiteral("-r"), QStringLiteral("-q"), tree},
             blankLineGroups(p, {QStringLiteral("-r"), QStringLiteral("-q"), tree}, tree)});
    if (peers.empty()) {
        std::fprintf(stderr, "none of jdupes, fdupes, rmlint is installed\n");
        return 2;
    }
    for (const Peer& p : peers)
        std::printf("%s: %lld groups after the same filter\n", qPrintable(p.name),
                    p.groups ? static_cast<long long>(p.groups->size()) : -1LL);

    const QStringList oursArgv = BenchProcess::selfOnce(threads, {tree});
    const QString loadBefore = loadAverage(QLatin1Char(','));
    std::vector<QStringList> commands = {oursArgv};
    for (const Peer& p : peers)
        commands.push_back(p.argv);
    std::vector<double> ms = hyperfine(commands, /*ignoreExitCodes=*/true);
    const bool byHyperfine = !ms.empty();
    if (!byHyperfine)
        for (const QStringList& c : commands)
            ms.push_back(timeProcess(c));
    std::printf("timing: %s, median of 5 after a warm-up; load average %s before, %s after\n",
                byHyperfine ? "hyperfine" : "wall clock", qPrintable(loadBefore),
                qPrintable(loadAverage(QLatin1Char(','))));
    const double oursMs = ms[0];
    const auto [peak, cpuMs] = peakAndCpu(oursArgv);
    bool allSame = true;
    std::vector<PeerResult> results;
    for (size_t i = 0; i < peers.size(); ++i) {
        const Peer& p = peers[i];
        const bool same = p.groups && *p.groups == mine;
        allSame = allSame && same;
        results.push_back({p.name, 0, same});
        printResult({QStringLiteral("duplicates"),
                     oursMs,
                     p.name,
                     ms[i + 1],
                     same,
                     peak,
                     {{QStringLiteral("ours_cpu_ms"), QString::number(cpuMs)}}});
    }
    const bool coldSame = !parsed.has(QStringLiteral("--cold")) ||
                          reportCold("duplicates", commands, std::move(results), tree, peak);
    return allSame && coldSame ? 0 : 1;
}
