// Line-diff benchmark against GNU diff, 20,000 lines a side:
//   1. "diff-all-different": no line in common (the table's worst case for most diffs);
//   2. "diff-edit-1pct": a code-like file and a copy with 1 % of its lines edited (changed,
//      deleted or inserted), the everyday case.
// Each job times a whole process of ours (read both files as the compare does, split, diff)
// against `diff A B`, with hyperfine when it is installed (one warm-up, median of five), and
// measures our peak resident memory. A second line per job ("<job>-inprocess") times the diff
// inside a running process as the file compare runs it (read and check both files, split,
// diff, build the rows and hand them to the row model): median of five after a warm-up, in a
// process of its own whose peak memory is reported, against the same whole `diff` process.
// The answer counts as the same when our common lines equal those of `diff --minimal` (the
// length of the longest common subsequence). Each RESULT line carries the load average.
//
// Usage: diff_bench DIR              writes the inputs into DIR and prints two RESULT lines a job
//        diff_bench --run A B        one diff, as timed: prints "same added removed changed"
//        diff_bench --inprocess A B [RUNS]  the compare six (or RUNS) times: prints
//                                    "median_ms same" (many runs make a profile of the compare;
//                                    with DIFF_BENCH_EACH set, every run's time goes to stderr)
#include "developer/DiffRowModel.h"
#include "developer/DocumentDiff.h"
#include "developer/FileCompare.h"
#include "platform/LinuxDocumentText.h"
#include "support/BenchArgs.h"
#include "support/BenchProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <vector>

namespace {

constexpr int kLines = 20000;

int runOnce(const QString& first, const QString& second) {
    using DocumentDiff::TextFile;
    const TextFile a = DocumentDiff::readText(first, kLines, 64ll << 20);
    const TextFile b = DocumentDiff::readText(second, kLines, 64ll << 20);
    if (a.status != TextFile::Status::Text || b.status != TextFile::Status::Text) {
        std::fprintf(stderr, "diff_bench: inputs must be UTF-8 text of at most %d lines\n", kLines);
        return 2;
    }
    const auto diff =
        DocumentDiff::lineDiff(DocumentDiff::splitLines(a.text), DocumentDiff::splitLines(b.text));
    const qint64 same = std::count_if(diff.rows.cbegin(), diff.rows.cend(), [](const DiffRow& r) {
        return r.kind == DiffRow::Kind::Same;
    });
    std::printf("%lld %lld %lld %lld\n", static_cast<long long>(same),
                static_cast<long long>(diff.summary.added),
                static_cast<long long>(diff.summary.removed),
                static_cast<long long>(diff.summary.changed));
    return 0;
}

// The compare as the app runs it, timed inside this process: one warm-up, then the median of
// five.
int runInProcess(const QString& first, const QString& second, int runs = 6) {
    LinuxDocumentText documents;
    DiffRowModel model;
    std::vector<double> times;
    qint64 same = -1;
    for (int k = 0; k < runs; ++k) {
        const auto start = std::chrono::steady_clock::now();
        const FileCompare::Outcome outcome = FileCompare::run(first, second, documents);
        model.setRows(outcome.diff.rows);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (outcome.mode != CompareMode::Text) {
            std::fprintf(stderr, "diff_bench: the compare did not diff the inputs as text\n");
            return 2;
        }
        same = std::count_if(outcome.diff.rows.cbegin(), outcome.diff.rows.cend(),
                             [](const DiffRow& r) { return r.kind == DiffRow::Kind::Same; });
        if (k > 0)
            times.push_back(ms);
        if (qEnvironmentVariableIsSet("DIFF_BENCH_EACH"))
            std::fprintf(stderr, "%.2f ", ms);
        model.setRows({});
    }
    std::printf("%.2f %lld\n", BenchProcess::median(times), static_cast<long long>(same));
    return 0;
}

void writeLines(const QString& path, const QStringList& lines) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("diff_bench: cannot write %s", qPrintable(path));
    // No line feed after the last line: a final break would make one more, empty, line.
    f.write(lines.join(QLatin1Char('\n')).toUtf8());
}

// Lines that look like source code: indentation, a small vocabulary, braces and blank lines,
// so that many lines repeat and the diff meets ties.
QStringList codeLike(QRandomGenerator& rng) {
    static const char* words[] = {"value", "count", "index", "result", "buffer", "size",
                                  "name",  "path",  "item",  "total",  "offset", "flag"};
    // Every shape takes the three arguments, so none is left over.
    static const char* shapes[] = {
        "%1 = %2 + %3;", "if (%1 > %2 * %3) {",       "return %1 - %2 / %3;",
        "%1(%2, %3);",   "for (auto& %1 : %2[%3]) {", "// %1 of %2 at %3"};
    QStringList lines;
    int depth = 0;
    while (lines.size() < kLines) {
        const quint32 pick = rng.bounded(100);
        if (pick < 8) {
            lines.append(QString());
        } else if (pick < 20 && depth > 0) {
            --depth;
            lines.append(QString(depth * 4, QLatin1Char(' ')) + QLatin1Char('}'));
        } else {
            const QString shape = QString::fromLatin1(shapes[rng.bounded(6)]);
            QString line =
                QString(depth * 4, QLatin1Char(' ')) +
                shape.arg(QLatin1String(words[rng.bounded(12)]),
                          QLatin1String(words[rng.bounded(12)]), QString::number(rng.bounded(64)));
            if (line.endsWith(QLatin1Char('{')))
                depth = std::min(depth + 1, 6);
            lines.append(line);
        }
    }
    return lines;
}

struct Job {
    QString name, first, second;
};

QList<Job> makeInputs(const QString& dir) {
    QRandomGenerator rng(20000);
    QStringList a, b;
    for (int k = 0; k < kLines; ++k) {
        a.append(
            QStringLiteral("alpha %1 %2").arg(k).arg(rng.generate64(), 16, 16, QLatin1Char('0')));
        b.append(
            QStringLiteral("beta %1 %2").arg(k).arg(rng.generate64(), 16, 16, QLatin1Char('0')));
    }
    writeLines(dir + "/all-a.txt", a);
    writeLines(dir + "/all-b.txt", b);

    const QStringList code = codeLike(rng);
    QStringList edited = code;
    // 1 % of the lines: most edited in place, some deleted, some inserted, the count kept.
    for (int e = 0; e < kLines / 100; ++e) {
        const int at = int(rng.bounded(edited.size() - 1));
        const quint32 kind = rng.bounded(10);
        if (kind < 6) {
            edited[at] += QStringLiteral(" // edited");
        } else if (kind < 8) {
            edited.removeAt(at);
            edited.append(QStringLiteral("// tail %1").arg(e));
        } else {
            edited.insert(at, QStringLiteral("    added(%1);").arg(e));
            edited.removeLast();
        }
    }
    writeLines(dir + "/edit-a.txt", code);
    writeLines(dir + "/edit-b.txt", edited);
    return {{"diff-all-different", dir + "/all-a.txt", dir + "/all-b.txt"},
            {"diff-edit-1pct", dir + "/edit-a.txt", dir + "/edit-b.txt"}};
}

// Lines the two files have in common by `diff --minimal`: the first's lines minus its deletions.
qint64 peerCommonLines(const QString& first, const QString& second) {
    QProcess p;
    p.start(QStringLiteral("diff"), {"--minimal", first, second});
    if (!p.waitForFinished(600000))
        return -1;
    qint64 deleted = 0;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        deleted += line.startsWith("< ") ? 1 : 0;
    return kLines - deleted;
}

} // namespace

int main(int argc, char** argv) {
    const BenchArgs::Parsed cli = BenchArgs::parse(
        argc, argv,
        {QStringLiteral("diff_bench"),
         QStringLiteral("DIR | FIRST SECOND [RUNS]"),
         1,
         3,
         {BenchArgs::flag(QStringLiteral("--run"),
                          QStringLiteral("one diff, as timed: prints \"same added removed "
                                         "changed\"")),
          BenchArgs::flag(QStringLiteral("--inprocess"),
                          QStringLiteral("the compare six (or RUNS) times: prints "
                                         "\"median_ms same\""))},
         QStringLiteral("Writes the inputs into DIR and prints two RESULT lines a job.")});
    if (cli.exitNow)
        return *cli.exitNow;
    const QStringList& operands = cli.operands;
    if (cli.has(QStringLiteral("--run")) || cli.has(QStringLiteral("--inprocess"))) {
        const bool inProcess = cli.has(QStringLiteral("--inprocess"));
        if (cli.has(QStringLiteral("--run")) && inProcess)
            return cli.usageError(QStringLiteral("--run and --inprocess exclude each other"));
        if (operands.size() != 2 && !(inProcess && operands.size() == 3))
            return cli.usageError(QStringLiteral("wants FIRST and SECOND"));
        if (!inProcess)
            return runOnce(operands[0], operands[1]);
        bool ok = true;
        const int runs = operands.size() == 3 ? operands[2].toInt(&ok) : 6;
        if (!ok)
            return cli.usageError(QStringLiteral("RUNS is a whole number"));
        return runInProcess(operands[0], operands[1], std::max(2, runs));
    }
    if (operands.size() != 1)
        return cli.usageError(QStringLiteral("wants one DIR"));
    const QString dir = QDir(operands[0]).absolutePath();
    QDir().mkpath(dir);
    const QString self = QFileInfo(QString::fromLocal8Bit("/proc/self/exe")).symLinkTarget();
    for (const Job& job : makeInputs(dir)) {
        const QStringList ours = {self, "--run", job.first, job.second};
        const QStringList peer = {"diff", job.first, job.second};
        // diff says 1 when the files differ, as they all do.
        const std::vector<double> ms = BenchProcess::timeAll({ours, peer}, true);

        long peakMb = 0;
        for (int k = 0; k < 3; ++k)
            peakMb = std::max(peakMb, BenchProcess::peakMegabytes(ours));

        QProcess run;
        run.start(self, {"--run", job.first, job.second});
        run.waitForFinished(600000);
        const qint64 oursCommon = run.readAllStandardOutput().split(' ').value(0).toLongLong();
        const qint64 peerCommon = peerCommonLines(job.first, job.second);
        const bool same = oursCommon == peerCommon;

        BenchProcess::printResult({job.name, ms[0], QStringLiteral("diff"), ms[1], same, peakMb});

        const QStringList inProcess = {self, "--inprocess", job.first, job.second};
        QProcess timed;
        timed.start(self, inProcess.mid(1));
        timed.waitForFinished(600000);
        const QList<QByteArray> parts = timed.readAllStandardOutput().trimmed().split(' ');
        const double insideMs = parts.value(0).toDouble();
        const bool insideSame = parts.size() == 2 && parts[1].toLongLong() == peerCommon;
        const long insidePeakMb = BenchProcess::peakMegabytes(inProcess);
        BenchProcess::Result inside{job.name + QStringLiteral("-inprocess"),
                                    insideMs,
                                    QStringLiteral("diff"),
                                    ms[1],
                                    insideSame,
                                    insidePeakMb};
        inside.msDecimals = 1;
        BenchProcess::printResult(inside);
    }
    return 0;
}
