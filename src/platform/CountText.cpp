#include "platform/CountText.h"

namespace CountText {

QString of(qint64 count, const char* one, const char* many) {
    return QString::number(count) + QLatin1Char(' ') + QString::fromUtf8(count == 1 ? one : many);
}

} // namespace CountText
