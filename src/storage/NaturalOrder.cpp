#include "storage/NaturalOrder.h"

namespace {

bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The end of the run of digits that starts at i.
qsizetype digitRunEnd(QStringView s, qsizetype i) {
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i;
}

qsizetype skipZeros(QStringView s, qsizetype i, qsizetype end) {
    while (i < end - 1 && s[i].unicode() == '0')
        ++i;
    return i;
}

} // namespace

namespace NaturalOrder {

int compare(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QChar ca = a[i];
        const QChar cb = b[j];
        if (isDigit(ca) && isDigit(cb)) {
            const qsizetype endA = digitRunEnd(a, i);
            const qsizetype endB = digitRunEnd(b, j);
            const qsizetype startA = skipZeros(a, i, endA);
            const qsizetype startB = skipZeros(b, j, endB);
            // More significant digits is the larger number; equal lengths compare digit by digit.
            const qsizetype lengthA = endA - startA;
            const qsizetype lengthB = endB - startB;
            if (lengthA != lengthB)
                return lengthA < lengthB ? -1 : 1;
            for (qsizetype k = 0; k < lengthA; ++k) {
                const char16_t da = a[startA + k].unicode();
                const char16_t db = b[startB + k].unicode();
                if (da != db)
                    return da < db ? -1 : 1;
            }
            i = endA;
            j = endB;
            continue;
        }
        const char16_t fa = ca.toCaseFolded().unicode();
        const char16_t fb = cb.toCaseFolded().unicode();
        if (fa != fb)
            return fa < fb ? -1 : 1;
        ++i;
        ++j;
    }
    const qsizetype restA = a.size() - i;
    const qsizetype restB = b.size() - j;
    if (restA != restB)
        return restA < restB ? -1 : 1;
    return 0;
}

} // namespace NaturalOrder
