#pragma once

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
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

// What every benchmark does with the programs it compares: run them, time them (hyperfine when
// installed, else a wall clock), and measure their peak memory. Timings are medians of five runs
// after one warm-up, as the benchmarks' RESULT lines promise.
// Header-only: each benchmark is one program with no library of its own.
namespace BenchProcess {

// This very benchmark run once, timed from outside like its peers: "--once", the thread count
// where the run takes one, then "--" and the operands.
inline QStringList selfOnce(std::optional<int> threads, const QStringList& operands) {
    QStringList argv = {QCoreApplication::applicationFilePath(), QStringLiteral("--once")};
    if (threads)
        argv << QStringLiteral("--threads") << QString::number(*threads);
    return argv << QStringLiteral("--") << operands;
}

inline std::optional<QByteArray> run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(30 * 60 * 1000) ||
        p.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return p.readAllStandardOutput();
}

inline QString commandLine(const QStringList& argv) {
    QStringList parts;
    for (const QString& a : argv) {
        QString q = a;
        q.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
        parts.append(QLatin1Char('\'') + q + QLatin1Char('\''));
    }
    return parts.join(QLatin1Char(' '));
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline double timeProcess(const QStringList& argv) {
    run(argv.first(), argv.mid(1));
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        run(argv.first(), argv.mid(1));
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return median(ms);
}

inline std::vector<double> hyperfine(const std::vector<QStringList>& commands,
                                     bool ignoreExitCodes = false) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("hyperfine"));
    if (tool.isEmpty())
        return {};
    QTemporaryDir dir;
    const QString json = dir.filePath(QStringLiteral("times.json"));
    QStringList args = {QStringLiteral("-N"),
                        QStringLiteral("--warmup"),
                        QStringLiteral("1"),
                        QStringLiteral("--runs"),
                        QStringLiteral("5"),
                        QStringLiteral("--style"),
                        QStringLiteral("none"),
                        QStringLiteral("--export-json"),
                        json};
    if (ignoreExitCodes)
        args.append(QStringLiteral("-i"));
    for (const QStringList& c : commands)
        args.append(commandLine(c));
    if (!run(tool, args))
        return {};
    QFile f(json);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    std::vector<double> out;
    for (const QJsonValue& r :
         QJsonDocument::fromJson(f.readAll()).object().value(QStringLiteral("results")).toArray())
        out.push_back(r.toObject().value(QStringLiteral("median")).toDouble() * 1000.0);
    return out.size() == commands.size() ? out : std::vector<double>{};
}

// Peak memory in MB and user plus system CPU time in ms of one run of argv, from its rusage
// ({-1, -1} when it could not be run).
inline std::pair<long, long> peakAndCpu(const QStringList& argv) {
    std::vector<QByteArray> bytes;
    for (const QString& a : argv)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char*> cargv;
    for (QByteArray& b : bytes)
        cargv.push_back(b.data());
    cargv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage {};
    if (rc != 0 || wait4(pid, &status, 0, &usage) != pid)
        return {-1, -1};
    const auto ms = [](const struct timeval& t) {
        return long(t.tv_sec) * 1000 + t.tv_usec / 1000;
    };
    return {(usage.ru_maxrss + 1023) / 1024, ms(usage.ru_utime) + ms(usage.ru_stime)};
}

inline long peakMegabytes(const QStringList& argv) {
    return peakAndCpu(argv).first;
}

// The machine's load averages over 1, 5 and 15 minutes as the kernel gives them, joined by
// `separator` (a comma inside a RESULT line): beside a time, they tell how much of the machine
// the runs had.
inline QString loadAverage(QChar separator = QLatin1Char(' ')) {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    const QList<QByteArray> fields = f.readAll().split(' ');
    if (fields.size() < 3)
        return QStringLiteral("?");
    return QString::fromLatin1(fields[0]) + separator + QString::fromLatin1(fields[1]) + separator +
           QString::fromLatin1(fields[2]);
}

// The median milliseconds of each command, in order, by hyperfine when installed and else by the
// wall clock; says which on a line of its own.
inline std::vector<double> timeAll(const std::vector<QStringList>& commands,
                                   bool ignoreExitCodes = false) {
    std::vector<double> ms = hyperfine(commands, ignoreExitCodes);
    const bool byHyperfine = !ms.empty();
    if (!byHyperfine) {
        for (const QStringList& c : commands)
            ms.push_back(timeProcess(c));
    }
    std::printf("timing: %s, median of 5 after a warm-up\n",
                byHyperfine ? "hyperfine" : "wall clock");
    return ms;
}

// One peer's figures for its RESULT line: its median time and whether it listed what ours did.
struct PeerResult {
    QString name;
    double ms = 0;
    bool same = false;
};

// One RESULT line, the form every benchmark ends with and scripts compare:
//   RESULT job=J ours_ms=N peer=P peer_ms=N ratio=R same=yes|no peak_mb=N [extra…] load=A,B,C
// ratio is ours over the peer's (0 without a peer time); `extra` holds a job's own figures as
// name=value pairs, and the load average is read as the line is printed.
struct Result {
    using Extra = std::vector<std::pair<QString, QString>>;
    Result(QString job, double oursMs, QString peer, double peerMs, bool same, long peakMb,
           Extra extra = {})
        : job(std::move(job)), oursMs(oursMs), peer(std::move(peer)), peerMs(peerMs), same(same),
          peakMb(peakMb), extra(std::move(extra)) {}

    QString job;
    double oursMs;
    QString peer;
    double peerMs;
    bool same;
    long peakMb;
    Extra extra;
    int msDecimals = 0;    // of ours_ms, for figures under a few milliseconds
    int ratioDecimals = 2; // for a peer hundreds of times slower
};

inline QString resultLine(const Result& r) {
    QString line =
        QStringLiteral("RESULT job=%1 ours_ms=%2 peer=%3 peer_ms=%4 ratio=%5 same=%6 "
                       "peak_mb=%7")
            .arg(r.job, QString::number(r.oursMs, 'f', r.msDecimals), r.peer,
                 QString::number(r.peerMs, 'f', 0),
                 QString::number(r.peerMs > 0 ? r.oursMs / r.peerMs : 0.0, 'f', r.ratioDecimals),
                 r.same ? QStringLiteral("yes") : QStringLiteral("no"), QString::number(r.peakMb));
    for (const auto& [name, value] : r.extra)
        line += QLatin1Char(' ') + name + QLatin1Char('=') + value;
    return line + QStringLiteral(" load=") + loadAverage(QLatin1Char(','));
}

// Prints the line and flushes it, so a RESULT reaches a pipe even if a later job hangs.
inline void printResult(const Result& r) {
    std::printf("%s\n", qPrintable(resultLine(r)));
    std::fflush(stdout);
}

// The RESULT lines of a job, the slowest peer first; true when every
// peer listed what ours did.
inline bool printResults(const char* job, double oursMs, std::vector<PeerResult> peers, long peakMb,
                         const Result::Extra& extra = {}) {
    std::sort(peers.begin(), peers.end(),
              [](const PeerResult& a, const PeerResult& b) { return a.ms > b.ms; });
    bool allSame = true;
    for (const PeerResult& p : peers) {
        allSame = allSame && p.same;
        printResult({QString::fromLatin1(job), oursMs, p.name, p.ms, p.same, peakMb, extra});
    }
    return allSame;
}

// Times ours (the first command) against the peers (the rest, in the order of peers), measures
// our peak memory and prints the RESULT lines; true when every peer listed what ours did.
inline bool timeAndReport(const char* job, const std::vector<QStringList>& commands,
                          std::vector<PeerResult> peers) {
    const std::vector<double> ms = timeAll(commands);
    for (size_t i = 0; i < peers.size(); ++i)
        peers[i].ms = ms[i + 1];
    return printResults(job, ms[0], std::move(peers), peakMegabytes(commands.front()));
}

// Cold runs: the first scan after a start finds none of the tree's metadata or contents in
// memory. Dropping the page cache needs root (it writes /proc/sys/vm/drop_caches); where that is
// refused, the benchmark says so and prints no cold line rather than a warm figure called cold.
inline bool canDropCaches() {
    return ::access("/proc/sys/vm/drop_caches", W_OK) == 0;
}

inline void sayNoCold() {
    std::printf("cold: the page cache cannot be dropped here (it takes root to write "
                "/proc/sys/vm/drop_caches), so no cold line\n");
}

// Writes back what is dirty and drops the page cache, dentries and inodes; false when refused.
inline bool dropCaches() {
    ::sync();
    QFile f(QStringLiteral("/proc/sys/vm/drop_caches"));
    return f.open(QIODevice::WriteOnly) && f.write("3\n") == 2;
}

// argv with every occurrence of `tree` in its words (operands, and paths inside a shell script)
// replaced by `empty`: the same program on a folder that holds nothing.
inline QStringList onFolder(QStringList argv, const QString& tree, const QString& empty) {
    for (qsizetype i = 1; i < argv.size(); ++i)
        argv[i].replace(tree, empty);
    return argv;
}

// The median milliseconds of `runs` cold runs of each command over `tree`. Before every timed
// run the cache is dropped and the program is run once on an empty folder, so its own binary and
// libraries are in memory again and only the tree is cold. Empty when the cache cannot be dropped.
inline std::vector<double> timeCold(const std::vector<QStringList>& commands, const QString& tree,
                                    int runs = 3) {
    if (!canDropCaches())
        return {};
    QTemporaryDir empty;
    std::vector<double> out;
    for (const QStringList& argv : commands) {
        const QStringList idle = onFolder(argv, tree, empty.path());
        std::vector<double> ms;
        for (int r = 0; r < runs; ++r) {
            if (!dropCaches())
                return {};
            run(idle.first(), idle.mid(1));
            QElapsedTimer t;
            t.start();
            run(argv.first(), argv.mid(1));
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        out.push_back(median(ms));
    }
    std::printf("timing cold: wall clock, median of %d, cache dropped before each run\n", runs);
    return out;
}

// With --cold: times the same commands cold and prints the job's "<job>-cold" RESULT lines beside
// the warm ones (peers' answers as found warm; the tree is the same); true when there is nothing
// to print or every peer listed what ours did.
inline bool reportCold(const char* job, const std::vector<QStringList>& commands,
                       std::vector<PeerResult> peers, const QString& tree, long peakMb,
                       const Result::Extra& extra = {}) {
    const std::vector<double> ms = timeCold(commands, tree);
    if (ms.size() != commands.size()) {
        sayNoCold();
        return true;
    }
    for (size_t i = 0; i < peers.size(); ++i)
        peers[i].ms = ms[i + 1];
    const QByteArray name = QByteArray(job) + "-cold";
    return printResults(name.constData(), ms[0], std::move(peers), peakMb, extra);
}

} // namespace BenchProcess
