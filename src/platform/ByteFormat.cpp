#include "platform/ByteFormat.h"

#include <cmath>
#include <limits>
#include <QLocale>

QString formatBytes(qint64 bytes) {
    if (bytes == 0)
        return QStringLiteral("Zero KB");
    if (bytes < 0) {
        const quint64 magnitude = bytes == std::numeric_limits<qint64>::min()
                                      ? quint64(std::numeric_limits<qint64>::max()) + 1
                                      : quint64(-bytes);
        const QString positive = magnitude > quint64(std::numeric_limits<qint64>::max())
                                     ? formatBytes(std::numeric_limits<qint64>::max())
                                     : formatBytes(qint64(magnitude));
        return QLatin1Char('-') + positive;
    }
    if (bytes == 1)
        return QStringLiteral("1 byte");
    if (bytes < 1000)
        return QStringLiteral("%1 bytes").arg(bytes);

    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    static const int decimals[] = {0, 1, 2, 2, 2, 2};
    const int unitCount = int(std::size(units));
    int unit = 0;
    double scaled = double(bytes) / 1000.0;
    while (unit + 1 < unitCount && scaled >= 1000.0) {
        scaled /= 1000.0;
        ++unit;
    }
    double factor = std::pow(10.0, decimals[unit]);
    double rounded = std::round(scaled * factor) / factor;
    if (rounded >= 1000.0 && unit + 1 < unitCount) {
        ++unit;
        scaled /= 1000.0;
        factor = std::pow(10.0, decimals[unit]);
        rounded = std::round(scaled * factor) / factor;
    }
    QLocale locale(QLocale::English, QLocale::UnitedStates);
    QString number = locale.toString(rounded, 'f', decimals[unit]);
    if (number.contains(QLatin1Char('.'))) {
        while (number.endsWith(QLatin1Char('0')))
            number.chop(1);
        if (number.endsWith(QLatin1Char('.')))
            number.chop(1);
    }
    return number + QLatin1Char(' ') + QLatin1String(units[unit]);
}

QString formatBytesClamped(quint64 bytes) {
    const quint64 max = quint64(std::numeric_limits<qint64>::max());
    return formatBytes(qint64(bytes > max ? max : bytes));
}
