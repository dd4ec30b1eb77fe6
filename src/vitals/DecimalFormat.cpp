#include "vitals/DecimalFormat.h"

#include <charconv>

QString fixedDecimal(double value, int decimals) {
    char buffer[400]; // enough for any double in fixed notation with a few decimals
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return QString();
    return QString::fromLatin1(buffer, end - buffer);
}
