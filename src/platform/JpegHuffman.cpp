#include "platform/JpegHuffman.h"

#include <algorithm>

namespace JpegHuffman {

bool Table::build(const uint8_t* counts, const uint8_t* vals, int total, bool dc) {
    symbols.fill(0);
    skips.fill(0);
    int code = 0;
    int k = 0;
    for (int length = 1; length <= 16; ++length) {
        const int n = counts[length - 1];
        valueAt[size_t(length)] = k;
        minCode[size_t(length)] = code;
        for (int i = 0; i < n; ++i, ++code, ++k) {
            // A code past the end of its length's code space is a broken table; it must be
            // refused before it indexes the look-up tables below.
            if (code >= (1 << length))
                return false;
            const uint8_t symbol = vals[k];
            // Eight-bit samples have DC differences of at most 11 bits and AC values of
            // at most 10; the refill counts on it.
            if (dc ? symbol > 11 : (symbol & 15) > 10)
                return false;
            if (length <= kLook) {
                const int first = code << (kLook - length);
                const int span = 1 << (kLook - length);
                const int run = symbol >> 4;
                const int bits = symbol & 15;
                const int advance = bits ? run + 1 : (run == 15 ? 16 : 64);
                for (int j = 0; j < span; ++j) {
                    symbols[size_t(first + j)] = uint16_t(length << 8 | symbol);
                    skips[size_t(first + j)] = uint16_t((length + bits) << 8 | advance);
                }
            }
        }
        maxCode[size_t(length)] = n ? code - 1 : -1;
        code <<= 1;
    }
    maxCode[17] = 0x7fffffff;
    std::copy(vals, vals + total, values.begin());
    if (!dc)
        buildPairs();
    defined = true;
    return true;
}

void Table::buildPairs() {
    for (int i = 0; i < (1 << kPair); ++i) {
        pairs[size_t(i)] = 0;
        const uint16_t first = skips[size_t(i >> (kPair - kLook))];
        const int firstBits = first >> 8;
        if (!first || firstBits > kPair)
            continue;
        const int firstMove = first & 0xFF;
        const auto entry = [](int bits, int move, int lastK) {
            return uint32_t(bits) << 16 | uint32_t(move) << 8 | uint32_t(lastK);
        };
        pairs[size_t(i)] = entry(firstBits, firstMove, 63);
        if (firstMove == 64)
            continue;
        const int rest = (i << firstBits) & ((1 << kPair) - 1);
        const uint16_t second = skips[size_t(rest >> (kPair - kLook))];
        const int secondBits = second >> 8;
        if (!second || firstBits + secondBits > kPair)
            continue;
        const int secondMove = second & 0xFF;
        pairs[size_t(i)] = secondMove == 64 ? entry(firstBits + secondBits, 64, 63 - firstMove)
                                            : entry(firstBits + secondBits, firstMove + secondMove,
                                                    64 - firstMove - secondMove);
    }
}

} // namespace JpegHuffman
