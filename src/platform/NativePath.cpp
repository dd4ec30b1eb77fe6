#include "platform/NativePath.h"

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence that starts at p (at most n bytes), or 0 when the
// bytes there are not one. Overlong forms, surrogates and code points past U+10FFFF are invalid.
int validSequence(const unsigned char* p, qsizetype n, char32_t* out) {
    const unsigned char c = p[0];
    if (c < 0x80) {
        *out = c;
        return 1;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        if (n < 2 || !isContinuation(p[1]))
            return 0;
        *out = char32_t(c & 0x1F) << 6 | (p[1] & 0x3F);
        return 2;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        if (n < 3 || !isContinuation(p[1]) || !isContinuation(p[2]))
            return 0;
        const char32_t cp = char32_t(c & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))
            return 0;
        *out = cp;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (n < 4 || !isContinuation(p[1]) || !isContinuation(p[2]) || !isContinuation(p[3]))
            return 0;
        const char32_t cp = char32_t(c & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 |
                            char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
        if (cp < 0x10000 || cp > 0x10FFFF)
            return 0;
        *out = cp;
        return 4;
    }
    return 0;
}

} // namespace

namespace NativePath {

QString decode(const char* data, qsizetype size) {
    QString out;
    out.reserve(size);
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    qsizetype i = 0;
    while (i < size) {
        // The common case: a run of ASCII.
        if (p[i] < 0x80) {
            out.append(QChar(char16_t(p[i])));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int len = validSequence(p + i, size - i, &cp);
        if (len == 0) {
            out.append(QChar(char16_t(EscapeBase + p[i])));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            out.append(QChar(char16_t(0xD800 + (v >> 10))));
            out.append(QChar(char16_t(0xDC00 + (v & 0x3FF))));
        } else {
            out.append(QChar(char16_t(cp)));
        }
        i += len;
    }
    return out;
}

QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

QByteArray encode(const QString& path) {
    QByteArray out;
    out.reserve(path.size());
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = path.at(i).unicode();
        char32_t cp = u;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const char16_t low = path.at(i + 1).unicode();
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + (char32_t(u - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out.append(char(u - EscapeBase));
            continue;
        }
        if (cp < 0x80) {
            out.append(char(cp));
        } else if (cp < 0x800) {
            out.append(char(0xC0 | (cp >> 6)));
            out.append(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            // A lone surrogate that is no escape has no UTF-8 form; U+FFFD as Qt writes it.
            if (cp >= 0xD800 && cp <= 0xDFFF)
                cp = 0xFFFD;
            out.append(char(0xE0 | (cp >> 12)));
            out.append(char(0x80 | ((cp >> 6) & 0x3F)));
            out.append(char(0x80 | (cp & 0x3F)));
        } else {
            out.append(char(0xF0 | (cp >> 18)));
            out.append(char(0x80 | ((cp >> 12) & 0x3F)));
            out.append(char(0x80 | ((cp >> 6) & 0x3F)));
            out.append(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool hasEscapes(const QString& path) {
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = path.at(i).unicode();
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const char16_t low = path.at(i + 1).unicode();
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++i;
                continue;
            }
        }
        if (u >= 0xDC80 && u <= 0xDCFF)
            return true;
    }
    return false;
}

} // namespace NativePath
