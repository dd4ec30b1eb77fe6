#include "ui-kit/DeleteCode.h"

#include <QRandomGenerator>

namespace DeleteCode {

RandomSource systemSource() {
    return [] { return QRandomGenerator::system()->generate(); };
}

QString make(const RandomSource& source) {
    constexpr quint64 range = 10000;
    constexpr quint64 span = quint64(1) << 32;
    constexpr quint64 limit = span - span % range; // 4294960000
    quint64 value = 0;
    do {
        value = source();
    } while (value >= limit);
    return QStringLiteral("%1").arg(value % range, 4, 10, QLatin1Char('0'));
}

} // namespace DeleteCode
