#include "vitals/ProcessListing.h"

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

QString safeName(const QString& name) {
    QString out = name;
    for (QChar& c : out) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('?');
    }
    return out;
}

} // namespace

const QStringList& excludedCPUNames() {
    static const QStringList names = {QStringLiteral("kernel_task"), QStringLiteral("WindowServer"),
                                      QStringLiteral("Xorg"), QStringLiteral("Xwayland")};
    return names;
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
        ProcessMemoryInfo row;
        row.name = trimBlanks(QStringView(line).mid(space + 1));
        row.memoryBytes = *kib * 1024;
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
        const QString name = trimBlanks(QStringView(line).mid(space + 1));
        const auto value = decimal(number);
        if (!value || !(*value > 0.5) || excludedCPUNames().contains(name))
            continue;
        ProcessCPUInfo row;
        row.name = name;
        row.cpuPercent = *value;
        rows.append(row);
        if (rows.size() >= limit)
            break;
    }
    return rows;
}

QString writeMemory(const QList<Entry>& largestFirst) {
    QString text;
    for (const Entry& e : largestFirst)
        text += QString::number(e.residentBytes / 1024) + QLatin1Char(' ') + safeName(e.name) +
                QLatin1Char('\n');
    return text;
}

QString writeCPU(const QList<Entry>& busiestFirst) {
    QString text;
    for (const Entry& e : busiestFirst)
        text += QString::number(e.cpuPercent, 'f', 1) + QLatin1Char(' ') + safeName(e.name) +
                QLatin1Char('\n');
    return text;
}

} // namespace ProcessListing
