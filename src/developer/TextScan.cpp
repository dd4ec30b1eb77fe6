#include "developer/TextScan.h"

namespace {

constexpr qsizetype kBlock = 32;

// A block of plain ASCII: its line feeds, tabs and form feeds counted and any NUL noted, with no
// branch per byte (the loops vectorize). False, with nothing counted, when the block holds a
// byte of 0x80 or more.
bool asciiBlock(const uchar* p, qint64& breaks, bool& sawNul) {
    uchar high = 0;
    for (qsizetype k = 0; k < kBlock; ++k)
        high |= p[k];
    if (high & 0x80)
        return false;
    int found = 0;
    bool nul = false;
    for (qsizetype k = 0; k < kBlock; ++k) {
        found += uchar(p[k] - 0x0A) < 4 ? 1 : 0;
        nul |= p[k] == 0;
    }
    breaks += found;
    sawNul = sawNul || nul;
    return true;
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
