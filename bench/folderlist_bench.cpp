// folderlist_bench DIR: times how long the folder browser takes to show the first screen of a
// folder of many files: from FolderTree::open to the list painted with its first rows (listing,
// classifying, sorting by size, handing the rows to the view and one paint), in this process,
// offscreen. The peer is `ls -lS DIR`, which also reads every entry's details and sorts by size.
// The names listed must equal those `ls -1 DIR` prints (visible entries only).
//
// With --make, DIR is first filled with 50,000 small files of varied names and sizes (it must be
// empty or absent). Ours is the median of five opens after a warm-up; the peer's time is
// hyperfine's median of five (a wall clock without it). The last line is the RESULT line.
//
//   folderlist_bench [--make] DIR
#include "platform/ParallelLoop.h"
#include "shell/ScreenState.h"
#include "storage/FolderTree.h"
#include "storage/views/FolderBrowserView.h"
#include "support/BenchArgs.h"
#include "support/BenchProcess.h"
#include "ui-kit/Themed.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QSet>
#include <QStandardPaths>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace BenchProcess;

namespace {

constexpr int kFiles = 50'000;

bool make(const QString& dir) {
    if (!QDir().mkpath(dir) || !QDir(dir).isEmpty())
        return false;
    const char* stems[] = {"IMG_", "invoice ", "report-v", "track ", "notes", "Screenshot "};
    const char* exts[] = {".jpg", ".pdf", ".docx", ".flac", ".txt", ".png"};
    const QByteArray chunk(64 * 1024, 'x');
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray path =
            QFile::encodeName(dir) + '/' + stems[i % 6] + QByteArray::number(i) + exts[(i / 6) % 6];
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const size_t bytes = size_t((i * 7919) % 60'000);
        if (bytes > 0 && ::write(fd, chunk.constData(), bytes) < 0) {
            ::close(fd);
            return false;
        }
        ::close(fd);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const BenchArgs::Parsed parsed = BenchArgs::parse(
        argc, argv,
        {QStringLiteral("folderlist_bench"),
         QStringLiteral("DIR"),
         1,
         1,
         {BenchArgs::flag(QStringLiteral("--make"),
                          QStringLiteral("first fill DIR (empty or absent) with 50,000 files"))},
         QStringLiteral("The folder browser's first screen of DIR against ls -lS.")});
    if (parsed.exitNow)
        return *parsed.exitNow;
    const bool makeTree = parsed.has(QStringLiteral("--make"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString dir = QDir(parsed.operands.first()).absolutePath();
    if (makeTree && !make(dir)) {
        std::fprintf(stderr, "folderlist_bench: could not fill %s (it must be empty)\n",
                     qPrintable(dir));
        return 1;
    }

    FolderTree tree(dir);
    ScreenState screen;
    QWidget window;
    Themed::apply(&window);
    auto* view = new FolderBrowserView(tree, screen, nullptr, &window);
    view->resize(900, 640);
    window.resize(900, 640);
    window.show();
    QApplication::processEvents();

    // One open until the first rows are painted; the measuring that follows is not counted.
    const auto firstScreen = [&] {
        QElapsedTimer clock;
        clock.start();
        tree.open(dir);
        while (tree.isListing())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        view->list()->viewport()->repaint();
        return double(clock.nsecsElapsed()) / 1e6;
    };
    firstScreen(); // warm-up
    {
        // Where the time goes, step by step, on this thread (the tree does the same on a worker):
        // the fastest of five rounds of each step, the least disturbed by the machine's load.
        double listMs = 1e9, entryMs = 1e9, sortMs = 1e9, indexMs = 1e9;
        const auto lap = [](QElapsedTimer& clock, double& best) {
            best = std::min(best, double(clock.nsecsElapsed()) / 1e6);
            clock.restart();
        };
        for (int round = 0; round < 5; ++round) {
            QElapsedTimer clock;
            clock.start();
            const FolderTree::Listing listing =
                FolderTree::listFolder(dir, ParallelLoop::outerThreads());
            lap(clock, listMs);
            QList<FolderEntry> entries = FolderTree::makeEntries(
                listing.value_or(QList<FolderTree::Listed>()), false, ParallelLoop::outerThreads());
            lap(clock, entryMs);
            entries = FolderTree::sortEntries(std::move(entries), FolderTree::SortOrder::Size,
                                              ParallelLoop::outerThreads());
            lap(clock, sortMs);
            const QHash<QString, int> index = FolderEntryModel::indexRows(entries);
            lap(clock, indexMs);
        }
        std::printf("steps (fastest of 5): list %.1f ms, entries %.1f ms, sort %.1f ms, "
                    "index %.1f ms\n",
                    listMs, entryMs, sortMs, indexMs);
    }
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i)
        runs.push_back(firstScreen());
    const double oursMs = median(runs);

    QSet<QString> ours;
    for (const FolderEntry& e : tree.entries())
        ours.insert(e.name);
    const auto listed =
        run(QStandardPaths::findExecutable(QStringLiteral("ls")), {QStringLiteral("-1"), dir});
    QSet<QString> theirs;
    if (listed) {
        for (const QByteArray& line : listed->split('\n')) {
            if (!line.isEmpty())
                theirs.insert(QFile::decodeName(line));
        }
    }
    const bool same = listed && ours == theirs;
    std::printf("ours: %lld entries, first screen %.0f ms (median of 5: ", qlonglong(ours.size()),
                oursMs);
    for (double r : runs)
        std::printf("%.0f ", r);
    std::printf("ms)\n");

    const QStringList peer = {QStandardPaths::findExecutable(QStringLiteral("ls")),
                              QStringLiteral("-lS"), dir};
    std::vector<double> ms = hyperfine({peer});
    const bool byHyperfine = !ms.empty();
    const double peerMs = byHyperfine ? ms[0] : timeProcess(peer);
    std::printf("peer: %s, %s\n", qPrintable(commandLine(peer)),
                byHyperfine ? "hyperfine" : "wall clock");
    // Wait for the measuring workers before reading the peak.
    while (tree.measuringCount() > 0)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    printResult({QStringLiteral("folderlist"), oursMs, QStringLiteral("ls-lS"), peerMs, same,
                 usage.ru_maxrss / 1024});
    return same ? 0 : 1;
}
