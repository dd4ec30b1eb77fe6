// search_bench TREE [TERM]: a file search by name over TREE, timed and compared with find's:
//
//   find TREE -iname '*TERM*'
//
// The search passes over hidden files and folders with everything in them, so find's list is
// compared with its hidden entries dropped, and a second peer prunes them as the search does
// (`-mindepth 1 -name '.*' -prune -o -iname '*TERM*' -print`). The search reads no contents here
// (the text-file limit is 0), so both answer the same question. Compared are the whole lists of
// matches before the search's cut to its newest hits, sorted by path.
//
// Times are hyperfine's medians of five runs after a warm-up, each program its own process
// (`search_bench --once TREE TERM` for ours, which prints its matches as find does); without
// hyperfine the same is done here with a wall clock. The last lines are RESULT lines, one per
// peer, the fastest peer last.
//
//   search_bench TREE [TERM]          TERM defaults to "f0123"
//   search_bench --once TREE TERM     one search, prints the matching paths
#include "assistant/SpotlightSearch.h"
#include "support/BenchArgs.h"
#include "support/BenchProcess.h"

#include <algorithm>
#include <cstdio>
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <vector>

using namespace BenchProcess;

namespace {

using Listing = std::vector<QByteArray>;

Listing ours(const QString& tree, const QString& term) {
    SpotlightSearch::Limits limits;
    limits.maxTextBytes = 0;
    limits.maxMilliseconds = std::numeric_limits<int>::max();
    const std::optional<SpotlightSearch::Query> query = SpotlightSearch::parse(term);
    if (!query)
        return {};
    SpotlightSearch::Found found =
        SpotlightSearch::find(tree, *query, limits, CancelToken(), 0, true);
    Listing list;
    for (const QString& path : found.all)
        list.push_back(QFile::encodeName(path));
    std::sort(list.begin(), list.end());
    return list;
}

// find's lines; with dropHidden, paths with a component starting with "." below the tree are left
// out.
Listing parse(const QByteArray& out, const QByteArray& tree, bool dropHidden) {
    Listing list;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty() || line == tree)
            continue;
        if (dropHidden && line.mid(tree.size()).contains("/."))
            continue;
        list.push_back(line);
    }
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

int main(int argc, char** argv) {
    const BenchArgs::Parsed parsed = BenchArgs::parse(
        argc, argv,
        {QStringLiteral("search_bench"),
         QStringLiteral("TREE [TERM]"),
         1,
         2,
         {BenchArgs::flag(QStringLiteral("--once"),
                          QStringLiteral("one search, prints the matching paths")),
          BenchArgs::coldFlag()},
         QStringLiteral("A search by name for TERM (default f0123) below TREE against find.")});
    if (parsed.exitNow)
        return *parsed.exitNow;
    const bool once = parsed.has(QStringLiteral("--once"));
    QCoreApplication app(argc, argv);
    QString tree = parsed.operands.at(0);
    while (tree.size() > 1 && tree.endsWith(QLatin1Char('/')))
        tree.chop(1);
    const QString term = parsed.operands.value(1, QStringLiteral("f0123"));
    if (once) {
        for (const QByteArray& path : ours(tree, term))
            std::printf("%s\n", path.constData());
        return 0;
    }
    const std::optional<SpotlightSearch::Query> query = SpotlightSearch::parse(term);
    if (!query) {
        std::fprintf(stderr, "search_bench: \"%s\" gives nothing to search for\n",
                     qPrintable(term));
        return 2;
    }
    const Listing mine = ours(tree, term);
    std::printf("ours: %zu matches for terms %s\n", mine.size(),
                qPrintable(query->terms.join(QLatin1Char(' '))));

    const QString find = QStandardPaths::findExecutable(QStringLiteral("find"));
    const QString pattern = QLatin1Char('*') + term + QLatin1Char('*');
    struct Peer {
        QString name;
        QStringList argv;
        bool dropHidden;
        bool same = false;
    };
    std::vector<Peer> peers = {
        {QStringLiteral("find"), {find, tree, QStringLiteral("-iname"), pattern}, true},
        {QStringLiteral("find-pruned"),
         {find, tree, QStringLiteral("-mindepth"), QStringLiteral("1"), QStringLiteral("-name"),
          QStringLiteral(".*"), QStringLiteral("-prune"), QStringLiteral("-o"),
          QStringLiteral("-iname"), pattern, QStringLiteral("-print")},
         false}};
    const QByteArray treeBytes = QFile::encodeName(tree);
    for (Peer& p : peers) {
        const auto out = run(p.argv.first(), p.argv.mid(1));
        const Listing theirs = out ? parse(*out, treeBytes, p.dropHidden) : Listing();
        p.same = out && theirs == mine;
        std::printf("%s: %s (%zu matches)\n", qPrintable(p.name), qPrintable(commandLine(p.argv)),
                    theirs.size());
    }

    const QStringList oursArgv = BenchProcess::selfOnce(std::nullopt, {tree, term});
    std::vector<QStringList> commands = {oursArgv};
    for (const Peer& p : peers)
        commands.push_back(p.argv);
    std::vector<PeerResult> results;
    for (const Peer& p : peers)
        results.push_back({p.name, 0, p.same});
    const bool allSame = timeAndReport("search", commands, results);
    const bool coldSame =
        !parsed.has(QStringLiteral("--cold")) ||
        reportCold("search", commands, std::move(results), tree, peakMegabytes(oursArgv));
    return allSame && coldSame ? 0 : 1;
}
