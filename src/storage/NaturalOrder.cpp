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

// Case folding of one UTF-16 unit. ASCII, nearly every character of real file names, folds
// inline (only A-Z change); the rest goes to Qt's tables. Sorting a large folder calls this
// millions of times, so the call to the tables is what a sort by name costs.
char16_t folded(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'A' && u <= 'Z') ? char16_t(u + ('a' - 'A')) : u;
    return c.toCaseFolded().unicode();
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
        if (ca == cb) {
            ++i;
            ++j;
            continue;
        }
        const char16_t fa = folded(ca);
        const char16_t fb = folded(cb);
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

void appendSortKey(QStringView s, std::string& key) {
    // At most eight bytes per character (a one-digit run); written through a pointer, as a
    // checked push per byte would cost more than the rest of the key.
    const size_t base = key.size();
    key.resize(base + size_t(s.size()) * 8);
    char* out = key.data() + base;
    const auto unit = [&out](char16_t u) {
        *out++ = char(u >> 8);
        *out++ = char(u & 0xFF);
    };
    qsizetype i = 0;
    while (i < s.size()) {
        if (!isDigit(s[i])) {
            unit(folded(s[i]));
            ++i;
            continue;
        }
        // A run of digits: one unit that sorts like any digit against the other characters,
        // then the count of significant digits in two units, then the digits themselves.
        const qsizetype end = digitRunEnd(s, i);
        const qsizetype start = skipZeros(s, i, end);
        const auto length = quint32(end - start);
        unit(u'0');
        unit(char16_t(length >> 16));
        unit(char16_t(length & 0xFFFF));
        for (qsizetype k = start; k < end; ++k)
            unit(s[k].unicode());
        i = end;
    }
    key.resize(size_t(out - key.data()));
}

std::string sortKey(QStringView name) {
    std::string key;
    key.reserve(size_t(name.size()) * 2 + 6);
    appendSortKey(name, key);
    return key;
}

} // namespace NaturalOrder
