#pragma once

#include <optional>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Readers of the kernel's process file system. Every reader takes the root it reads ("/proc" on
// a live system, a fixture tree in tests) and returns none or an empty list when the files are
// missing or unreadable; malformed lines and entries are skipped, never guessed at. Numbers are
// range-checked: a tick or page count above 2^60 or a pid outside 1…2^31−1 makes its line
// malformed, so sums and products of them never wrap.
namespace ProcFs {

// <root>/meminfo as field name → bytes ("MemTotal" → 16'000'000'000). Values given in kB are
// converted to bytes; counts without a unit (HugePages_Total) are kept as they are. None when
// the file cannot be read or holds no valid line.
std::optional<QHash<QByteArray, quint64>> readMemInfo(const QString& procRoot);

// The aggregate CPU line of <root>/stat: total ticks of every state a CPU can be in (guest time
// is already inside user time and is not added again), and the idle part (idle + iowait).
struct CpuTimes {
    quint64 total = 0;
    quint64 idle = 0;
};
std::optional<CpuTimes> readCpuTimes(const QString& procRoot);

// One process from <root>/<pid>/stat.
struct ProcessRow {
    qint64 pid = 0;
    QString name; // the command name, as the kernel keeps it (at most 15 bytes)
    quint64 residentPages = 0;
    quint64 cpuTicks = 0;   // user + system time
    quint64 startTicks = 0; // start time after boot; tells a reused pid apart
    bool kernelThread = false;
};

// Every process under the root whose stat line parses. A process that exits while the list is
// read is simply absent.
QList<ProcessRow> readProcesses(const QString& procRoot);

// Parses one stat line ("1234 (name) S 1 ..."). The name is what lies between the first "(" and
// the last ")", so names holding spaces or parentheses survive. None for a malformed line.
std::optional<ProcessRow> parseStatLine(const QByteArray& line);

// Seconds since boot from <root>/uptime (first number), or none.
std::optional<double> readUptime(const QString& procRoot);

// The cgroup (v2) path of the calling process from <root>/self/cgroup ("/user.slice/..."), or
// none when the file is missing or has no unified-hierarchy line.
std::optional<QString> readOwnCgroup(const QString& procRoot);

} // namespace ProcFs
