#include "platform/ProcFs.h"

#include "platform/KernelFiles.h"

#include <limits>

namespace ProcFs {

namespace {

// Splits on runs of spaces and tabs.
QList<QByteArray> fields(const QByteArray& text) {
    QList<QByteArray> out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        const qsizetype start = i;
        while (i < n && text[i] != ' ' && text[i] != '\t')
            ++i;
        if (i > start)
            out.append(text.mid(start, i - start));
    }
    return out;
}

std::optional<quint64> unsignedField(const QByteArray& text) {
    bool ok = false;
    const quint64 value = text.toULongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

// Tick and page counters: far beyond any real machine's (2^60 ticks is some 365 million years
// at 100 Hz), yet small enough that adding a handful of them can never wrap.
constexpr quint64 counterLimit = quint64(1) << 60;

std::optional<quint64> counterField(const QByteArray& text) {
    const auto value = unsignedField(text);
    if (!value || *value > counterLimit)
        return std::nullopt;
    return value;
}

constexpr quint64 kernelThreadFlag = 0x00200000; // PF_KTHREAD

} // namespace

std::optional<QHash<QByteArray, quint64>> readMemInfo(const QString& procRoot) {
    const auto text = KernelFiles::read(procRoot + QStringLiteral("/meminfo"));
    if (!text)
        return std::nullopt;
    QHash<QByteArray, quint64> values;
    for (const QByteArray& line : text->split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QList<QByteArray> parts = fields(line.mid(colon + 1));
        if (parts.isEmpty() || parts.size() > 2)
            continue;
        const auto number = unsignedField(parts[0]);
        if (!number)
            continue;
        quint64 value = *number;
        if (parts.size() == 2) {
            if (parts[1] != "kB" || value > std::numeric_limits<quint64>::max() / 1024)
                continue;
            value *= 1024;
        }
        values.insert(line.left(colon).trimmed(), value);
    }
    if (values.isEmpty())
        return std::nullopt;
    return values;
}

std::optional<CpuTimes> readCpuTimes(const QString& procRoot) {
    const auto text = KernelFiles::read(procRoot + QStringLiteral("/stat"), 8 * 1024);
    if (!text)
        return std::nullopt;
    const QByteArray line = text->left(text->indexOf('\n'));
    const QList<QByteArray> parts = fields(line);
    // cpu user nice system idle [iowait irq softirq steal guest guest_nice]
    if (parts.size() < 5 || parts[0] != "cpu")
        return std::nullopt;
    QList<quint64> ticks;
    for (qsizetype i = 1; i < parts.size() && i <= 8; ++i) {
        const auto value = counterField(parts[i]);
        if (!value)
            return std::nullopt;
        ticks.append(*value);
    }
    CpuTimes times;
    for (quint64 t : ticks)
        times.total += t;
    times.idle = ticks[3] + (ticks.size() > 4 ? ticks[4] : 0);
    return times;
}

std::optional<ProcessRow> parseStatLine(const QByteArray& line) {
    const qsizetype open = line.indexOf('(');
    const qsizetype close = line.lastIndexOf(')');
    if (open <= 0 || close < open)
        return std::nullopt;
    ProcessRow row;
    bool ok = false;
    row.pid = line.left(open).trimmed().toLongLong(&ok);
    if (!ok || row.pid <= 0 || row.pid > std::numeric_limits<qint32>::max())
        return std::nullopt;
    row.name = QString::fromUtf8(line.mid(open + 1, close - open - 1));
    // Fields after the name, numbered from 3 (state) as in proc(5); only the few needed are
    // converted (a sample reads hundreds of these lines).
    std::optional<quint64> flags, utime, stime, start, rss;
    int number = 3;
    qsizetype i = close + 1;
    const qsizetype n = line.size();
    while (i < n && number <= 24) {
        while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\n'))
            ++i;
        const qsizetype begin = i;
        while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\n')
            ++i;
        if (i == begin)
            break;
        std::optional<quint64>* target = number == 9    ? &flags
                                         : number == 14 ? &utime
                                         : number == 15 ? &stime
                                         : number == 22 ? &start
                                         : number == 24 ? &rss
                                                        : nullptr;
        if (target)
            *target = target == &flags ? unsignedField(line.mid(begin, i - begin))
                                       : counterField(line.mid(begin, i - begin));
        ++number;
    }
    if (!flags || !utime || !stime || !start || !rss)
        return std::nullopt;
    row.kernelThread = (*flags & kernelThreadFlag) != 0;
    row.cpuTicks = *utime + *stime;
    row.startTicks = *start;
    row.residentPages = *rss;
    return row;
}

QList<ProcessRow> readProcesses(const QString& procRoot) {
    QList<ProcessRow> rows;
    const QStringList names = KernelFiles::listDir(procRoot);
    rows.reserve(names.size());
    for (const QString& name : names) {
        if (name.isEmpty() || !name.front().isDigit())
            continue;
        const auto text =
            KernelFiles::read(procRoot + QLatin1Char('/') + name + QStringLiteral("/stat"), 4096);
        if (!text)
            continue;
        if (auto row = parseStatLine(text->trimmed()))
            rows.append(std::move(*row));
    }
    return rows;
}

std::optional<double> readUptime(const QString& procRoot) {
    const auto line = KernelFiles::readLine(procRoot + QStringLiteral("/uptime"));
    if (!line)
        return std::nullopt;
    const QList<QByteArray> parts = fields(*line);
    if (parts.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double seconds = parts[0].toDouble(&ok);
    if (!ok || !(seconds >= 0) || seconds > 1e12)
        return std::nullopt;
    return seconds;
}

std::optional<QString> readOwnCgroup(const QString& procRoot) {
    const auto text = KernelFiles::read(procRoot + QStringLiteral("/self/cgroup"));
    if (!text)
        return std::nullopt;
    for (const QByteArray& line : text->split('\n')) {
        if (line.startsWith("0::"))
            return QString::fromUtf8(line.mid(3).trimmed());
    }
    return std::nullopt;
}

} // namespace ProcFs
