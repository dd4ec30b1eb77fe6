#include "platform/RtfReader.h"

#include <algorithm>
#include <cctype>
#include <QHash>
#include <QSet>

namespace {

// The Windows code page most RTF files name (\ansicpg1252): Latin-1 with typographic marks in
// 0x80–0x9F.
QChar fromCp1252(uchar byte) {
    static const char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(high[byte - 0x80]);
    return QChar(byte);
}

// Destinations whose content is not document text.
bool isHidden(const QByteArray& word) {
    static const QSet<QByteArray> hidden = {
        "fonttbl",      "colortbl",  "stylesheet", "info",
        "pict",         "object",    "header",     "headerl",
        "headerr",      "headerf",   "footer",     "footerl",
        "footerr",      "footerf",   "listtable",  "listoverridetable",
        "rsidtbl",      "generator", "themedata",  "colorschememapping",
        "latentstyles", "datastore", "xmlnstbl",   "fldinst",
        "revtbl",       "filetbl",   "bkmkstart",  "bkmkend",
        "pgdsctbl",     "footnote",  "annotation", "atnid",
        "atnauthor",    "shpinst",   "nonshppict"};
    return hidden.contains(word);
}

// The character a control word stands for, whatever its parameter; none for the others.
std::optional<QChar> wordCharacter(const QByteArray& word) {
    static const QHash<QByteArray, char16_t> characters = {
        {"par", u'\n'},        {"line", u'\n'},      {"sect", u'\n'},    {"row", u'\n'},
        {"page", u'\n'},       {"tab", u'\t'},       {"cell", u'\t'},    {"emdash", 0x2014},
        {"endash", 0x2013},    {"bullet", 0x2022},   {"lquote", 0x2018}, {"rquote", 0x2019},
        {"ldblquote", 0x201C}, {"rdblquote", 0x201D}};
    const auto found = characters.constFind(word);
    if (found == characters.constEnd())
        return std::nullopt;
    return QChar(*found);
}

} // namespace

std::optional<QString> RtfReader::text(const QByteArray& rtf) {
    if (!rtf.startsWith("{\\rtf"))
        return std::nullopt;
    return RtfReader(rtf).read();
}

QString RtfReader::read() {
    while (m_at < m_n) {
        const char c = m_rtf.at(m_at);
        if (c == '{') {
            groupOpens();
        } else if (c == '}') {
            if (!groupCloses())
                break;
        } else if (c == '\r' || c == '\n') {
            ++m_at;
        } else if (c != '\\') {
            plainByte(uchar(c));
        } else if (m_at + 1 >= m_n) {
            break;
        } else if (const char next = m_rtf.at(m_at + 1); !std::isalpha(uchar(next))) {
            controlSymbol(next);
        } else {
            controlWord();
        }
    }
    return m_out;
}

void RtfReader::groupOpens() {
    m_stack.append(m_stack.last());
    m_pendingSkip = 0;
    ++m_at;
}

bool RtfReader::groupCloses() {
    m_pendingSkip = 0;
    if (m_stack.size() <= 1)
        return false;
    m_stack.removeLast();
    ++m_at;
    return true;
}

void RtfReader::plainByte(uchar byte) {
    emitByte(byte);
    ++m_at;
}

// A backslash and one character that is not a letter.
void RtfReader::controlSymbol(char symbol) {
    m_at += 2;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        emitChar(QLatin1Char(symbol));
        break;
    case '\'':
        if (m_at + 2 <= m_n) {
            bool ok = false;
            const int byte = m_rtf.mid(m_at, 2).toInt(&ok, 16);
            if (ok)
                emitByte(uchar(byte));
            m_at += 2;
        }
        break;
    case '*':
        m_stack.last().skip = true;
        break;
    case '~':
        emitChar(QChar(0x00A0));
        break;
    case '_':
        emitChar(QChar(0x2011));
        break;
    case '\r':
    case '\n':
        emitChar(QLatin1Char('\n'));
        break;
    default:
        break;
    }
}

// A backslash, letters, an optional signed number of at most 12 characters, and the space that
// ends the word if there is one.
void RtfReader::controlWord() {
    qsizetype j = m_at + 1;
    while (j < m_n && std::isalpha(uchar(m_rtf.at(j))))
        ++j;
    const QByteArray word = m_rtf.mid(m_at + 1, j - m_at - 1);
    std::optional<qint64> param;
    const qsizetype digitsStart = j;
    if (j < m_n && (m_rtf.at(j) == '-' || std::isdigit(uchar(m_rtf.at(j))))) {
        ++j;
        while (j < m_n && std::isdigit(uchar(m_rtf.at(j))) && j - digitsStart < 12)
            ++j;
        bool ok = false;
        const qint64 value = m_rtf.mid(digitsStart, j - digitsStart).toLongLong(&ok);
        if (ok)
            param = value;
    }
    if (j < m_n && m_rtf.at(j) == ' ')
        ++j;
    m_at = j;

    if (isHidden(word)) {
        m_stack.last().skip = true;
    } else if (word == "bin") {
        // Raw binary data of the given length follows.
        m_at += std::clamp<qint64>(param.value_or(0), 0, m_n - m_at);
    } else if (word == "u" && param) {
        qint64 code = *param;
        if (code < 0)
            code += 65536;
        if (code >= 0 && code <= 0xFFFF)
            emitChar(QChar(char16_t(code)));
        if (!m_stack.last().skip)
            m_pendingSkip = m_stack.last().unicodeSkip;
    } else if (word == "uc" && param) {
        m_stack.last().unicodeSkip = int(std::clamp<qint64>(*param, 0, 8));
    } else if (word == "ansicpg" && param) {
        m_codePage = QByteArray::number(*param);
    } else if (const std::optional<QChar> c = wordCharacter(word)) {
        emitChar(*c);
    }
}

void RtfReader::emitChar(QChar c) {
    if (m_stack.last().skip)
        return;
    if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
    }
    m_out += c;
}

void RtfReader::emitByte(uchar byte) {
    emitChar(m_codePage == "1252" ? fromCp1252(byte) : QChar(byte));
}
