#include "developer/TextScan.h"

void TextScan::feed(const char* data, qsizetype size) {
    const auto* p = reinterpret_cast<const uchar*>(data);
    for (qsizetype i = 0; i < size && m_wellFormed; ++i) {
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
