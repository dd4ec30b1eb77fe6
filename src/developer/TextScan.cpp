#include "developer/TextScan.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr qsizetype kBlock = 32;
[[maybe_unused]] constexpr quint64 kEach = 0x0101010101010101ull; // one in every byte
[[maybe_unused]] constexpr quint64 kHigh = 0x8080808080808080ull; // the top bit of every byte

// A block of plain ASCII: its line feeds, vertical tabs, form feeds and carriage returns counted
// and any NUL noted, sixteen (or eight) bytes at a time. False, with nothing counted, when the
// block holds a byte of 0x80 or more.
bool asciiBlock(const uchar* p, qint64& breaks, bool& sawNul) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    if (_mm_movemask_epi8(_mm_or_si128(lo, hi)) != 0)
        return false;
    // LF, VT, FF, CR: b - 0x0A, unsigned, is at most 3. Each such byte counts one (a compare
    // gives -1), summed across the block without a population count.
    auto breaksIn = [&](__m128i v) {
        const __m128i past = _mm_subs_epu8(_mm_sub_epi8(v, _mm_set1_epi8(0x0A)), _mm_set1_epi8(3));
        return _mm_cmpeq_epi8(past, zero);
    };
    const __m128i ones = _mm_sub_epi8(_mm_sub_epi8(zero, breaksIn(lo)), breaksIn(hi));
    const __m128i sums = _mm_sad_epu8(ones, zero);
    breaks += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums));
    const __m128i nul = _mm_or_si128(_mm_cmpeq_epi8(lo, zero), _mm_cmpeq_epi8(hi, zero));
    sawNul = sawNul || _mm_movemask_epi8(nul) != 0;
    return true;
#else
    quint64 words[kBlock / 8];
    std::memcpy(words, p, sizeof words);
    quint64 high = 0;
    for (const quint64 w : words)
        high |= w;
    if (high & kHigh)
        return false;
    int found = 0;
    quint64 zero = 0;
    for (const quint64 w : words) {
        // Bytes below 0x80 do not carry into their neighbours: a byte's top bit says whether it
        // reached 0x0A (first sum) and 0x0E (second sum).
        const quint64 fromLf = w + (0x80 - 0x0A) * kEach;
        const quint64 pastCr = w + (0x80 - 0x0E) * kEach;
        // One bit a byte, summed into the top byte by the multiplication (at most 8).
        found += int((((fromLf & ~pastCr & kHigh) >> 7) * kEach) >> 56);
        zero |= (w - kEach) & ~w & kHigh;
    }
    breaks += found;
    sawNul = sawNul || zero != 0;
    return true;
#endif
}

} // namespace

void TextScan::feed(const char* data, qsizetype size) {
    const auto* p = reinterpret_cast<const uchar*>(data);
    for (qsizetype i = 0; i < size && m_wellFormed; ++i) {
        // Between characters, most text is ASCII: take it a block at a time.
        while (m_need == 0 && size - i >= kBlock && asciiBlock(p + i, m_breaks, m_sawNul))
            i += kBlock;
        if (i == size)
            break;
        const uchar b = p[i];
        if (m_need == 0) {
            if (b < 0x80) {
                if (b == 0)
                    m_sawNul = true;
                else if (b >= 0x0A && b <= 0x0D)
                    ++m_breaks;
                continue;
            }
            m_low = 0x80;
            m_high = 0xBF;
            if (b >= 0xC2 && b <= 0xDF) {
                m_need = 1;
                m_codePoint = b & 0x1F;
            } else if (b >= 0xE0 && b <= 0xEF) {
                m_need = 2;
                m_codePoint = b & 0x0F;
                if (b == 0xE0)
                    m_low = 0xA0; // no overlong forms
                else if (b == 0xED)
                    m_high = 0x9F; // no surrogates
            } else if (b >= 0xF0 && b <= 0xF4) {
                m_need = 3;
                m_codePoint = b & 0x07;
                if (b == 0xF0)
                    m_low = 0x90;
                else if (b == 0xF4)
                    m_high = 0x8F; // nothing above U+10FFFF
            } else {
                m_wellFormed = false;
            }
            continue;
        }
        if (b < m_low || b > m_high) {
            m_wellFormed = false;
            continue;
        }
        m_low = 0x80;
        m_high = 0xBF;
        m_codePoint = (m_codePoint << 6) | (b & 0x3F);
        if (--m_need == 0 &&
            (m_codePoint == 0x85 || m_codePoint == 0x2028 || m_codePoint == 0x2029))
            ++m_breaks;
    }
}
