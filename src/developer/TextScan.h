#pragma once

#include <QtGlobal>

// Reads a byte stream piece by piece as UTF-8: checks that it is well-formed (the strict form:
// no overlong forms, no surrogates, nothing above U+10FFFF) and counts its line breaks, so a
// file can be judged and measured without being held in memory.
//
// Line breaks are the characters that end a line on their own: line feed, carriage return,
// vertical tab, form feed, next line (U+0085), line separator (U+2028) and paragraph separator
// (U+2029). A carriage return followed by a line feed is two breaks.
class TextScan {
public:
    // Feeds the next piece. Once the stream is ill-formed, later pieces are ignored.
    void feed(const char* data, qsizetype size);

    // False as soon as an ill-formed sequence was seen.
    bool wellFormed() const { return m_wellFormed; }
    // True when the bytes so far end inside a character that more bytes could still complete.
    bool midCharacter() const { return m_need > 0; }
    // Well-formed and complete: what a whole file must be to read as UTF-8 text.
    bool completeText() const { return m_wellFormed && m_need == 0; }
    bool sawNul() const { return m_sawNul; }
    qint64 lineBreaks() const { return m_breaks; }

private:
    bool m_wellFormed = true;
    bool m_sawNul = false;
    int m_need = 0;                    // continuation bytes still expected
    uchar m_low = 0x80, m_high = 0xBF; // allowed range of the next continuation byte
    char32_t m_codePoint = 0;
    qint64 m_breaks = 0;
};
