#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// What every benchmark does with the programs it compares: run them, time them (hyperfine when
// installed, else a wall clock), and measure their peak memory. Timings are medians of five runs
// after one warm-up, as the benchmarks' RESULT lines promise.
namespace BenchProcess {

// The standard output of one run, or nothing when it did not start, crashed or ran past 30
// minutes. Standard error is dropped.
std::optional<QByteArray> run(const QString& program, const QStringList& args);

// argv as one shell word each, for hyperfine's command lines.
QString commandLine(const QStringList& argv);

double median(std::vector<double> values);

// Wall-clock median of five runs of argv after one warm-up, in ms.
double timeProcess(const QStringList& argv);

// hyperfine's medians in ms, in command order; empty when hyperfine is missing or failed.
// ignoreExitCodes: peers that report findings by their exit code (duplicate finders) still count.
std::vector<double> hyperfine(const std::vector<QStringList>& commands,
                              bool ignoreExitCodes = false);

// Peak resident memory of one run of argv (standard output dropped), in MB; -1 when it failed.
long peakMegabytes(const QStringList& argv);

} // namespace BenchProcess
