#include "vitals/ProcessListing.h"

#include "platform/DisplayText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace ProcessListing {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimBlanks(QStringView s) {
    qsizetype begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin).toString();
}

QStringList nonEmptyLines(const QString& text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

std::optional<quint64> unsignedDecimal(QStringView s) {
    if (s.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        const quint64 digit = quint64(c.unicode() - '0');
        if (value > (std::numeric_limits<quint64>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// The whole text as a finite decimal number in the C locale ("12.5", "1e1"; not "12,5").
std::optional<double> decimal(const QString& text) {
    const QByteArray latin = text.toLatin1();
    const char* begin = latin.constData();
    const char* end = begin + latin.size();
    double value = 0;
    const auto [rest, error] = std::from_chars(begin, end, value);
    if (latin.isEmpty() || error != std::errc() || rest != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The pid and name after the leading number: "<pid> <name>" or a bare "<pid>" (a process with
// no name). None when the pid is missing, not an unsigned decimal, or 0.
struct PidAndName {
    qint64 pid = 0;
    QString name;
};
std::optional<PidAndName> pidAndName(QStringView rest) {
    const QString trimmed = trimBlanks(rest);
    const qsizetype space = trimmed.indexOf(QLatin1Char(' '));
    const QStringView pidText = space < 0 ? QStringView(trimmed) : QStringView(trimmed).left(space);
    const auto pid = unsignedDecimal(pidText);
    if (!pid || *pid == 0 || *pid > quint64(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    const QString name = space < 0 ? QString() : trimBlanks(QStringView(trimmed).mid(space + 1));
    return PidAndName{qint64(*pid), displayName(name, qint64(*pid))};
}

// One process per line: nothing in the name may end the line early.
QString listedName(const QString& name) {
    QString out = name;
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

} // namespace

const QStringList& excludedCPUNames() {
    static const QStringList names = {QStringLiteral("kernel_task"), QStringLiteral("WindowServer"),
                                      QStringLiteral("Xorg"), QStringLiteral("Xwayland")};
    return names;
}

QString displayName(const QString& commandName, qint64 pid) {
    const QString shown = DisplayText::singleLine(commandName);
    if (!shown.isEmpty())
        return shown;
    return QStringLiteral("Process %1").arg(pid);
}

QList<ProcessMemoryInfo> parseMemory(const QString& text, int limit) {
    QList<ProcessMemoryInfo> rows;
    const QStringList lines = nonEmptyLines(text);
    for (qsizetype i = 0; i < lines.size() && i < limit; ++i) {
        const QString line = trimBlanks(lines[i]);
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        if (space < 0)
            continue;
        const auto kib = unsignedDecimal(QStringView(line).left(space));
        if (!kib || *kib > std::numeric_limits<quint64>::max() / 1024)
            continue;
        const auto process = pidAndName(QStringView(line).mid(space + 1));
        if (!process)
            continue;
        ProcessMemoryInfo row;
        row.name = process->name;
        row.memoryBytes = *kib * 1024;
        row.pid = process->pid;
        rows.append(row);
    }
    return rows;
}

QList<ProcessCPUInfo> parseCPU(const QString& text, int limit) {
    QList<ProcessCPUInfo> rows;
    if (limit <= 0)
        return rows;
    for (const QString& raw : nonEmptyLines(text)) {
        const QString line = trimBlanks(raw);
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        if (space < 0)
            continue;
        const QString number = trimBlanks(QStringView(line).left(space));
        const auto value = decimal(number);
        const auto process = pidAndName(QStringView(line).mid(space + 1));
        if (!value || !(*value > 0.5) || !process || excludedCPUNames().contains(process->name))
            continue;
        ProcessCPUInfo row;
        row.name = process->name;
        row.cpuPercent = *value;
        row.pid = process->pid;
        rows.append(row);
        if (rows.size() >= limit)
            break;
    }
    return rows;
}

QString writeMemory(const QList<Entry>& largestFirst) {
    QString text;
    for (const Entry& e : largestFirst)
        text += QString::number(e.residentBytes / 1024) + QLatin1Char(' ') +
                QString::number(e.pid) + QLatin1Char(' ') + listedName(e.name) + QLatin1Char('\n');
    return text;
}

QString writeCPU(const QList<Entry>& busiestFirst) {
    QString text;
    for (const Entry& e : busiestFirst)
        text += QString::number(e.cpuPercent, 'f', 1) + QLatin1Char(' ') + QString::number(e.pid) +
                QLatin1Char(' ') + listedName(e.name) + QLatin1Char('\n');
    return text;
}

} // namespace ProcessListing
