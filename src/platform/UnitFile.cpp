#include "platform/UnitFile.h"

#include "platform/BoundedFile.h"

namespace {

bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r') || c == QLatin1Char('\f') || c == QLatin1Char('\v');
}

QStringView trimmed(QStringView s) {
    while (!s.isEmpty() && isSpace(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isSpace(s.back()))
        s.chop(1);
    return s;
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads `digits` digits of the base at text[i...]; none when any is missing or not a digit.
std::optional<char32_t> readNumber(const QString& text, qsizetype i, int digits, int base) {
    if (i + digits > text.size())
        return std::nullopt;
    char32_t value = 0;
    for (int k = 0; k < digits; ++k) {
        const int d = hexValue(text.at(i + k));
        if (d < 0 || d >= base)
            return std::nullopt;
        value = value * char32_t(base) + char32_t(d);
    }
    return value;
}

// The unit name's instance ("tty1" of "getty@tty1.service"), prefix ("getty") and the name
// without its type suffix.
struct UnitNameParts {
    QString withoutSuffix, prefix, instance;
};

UnitNameParts splitUnitName(const QString& name) {
    UnitNameParts parts;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    parts.withoutSuffix = dot > 0 ? name.left(dot) : name;
    const qsizetype at = parts.withoutSuffix.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        parts.prefix = parts.withoutSuffix.left(at);
        parts.instance = parts.withoutSuffix.mid(at + 1);
    } else {
        parts.prefix = parts.withoutSuffix;
    }
    return parts;
}

// systemd's name escaping: "-" stands for "/", "\xNN" for a byte.
QString unescapeUnitText(const QString& text) {
    QByteArray out;
    const QByteArray in = text.toUtf8();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in.at(i) == '-') {
            out += '/';
        } else if (in.at(i) == '\\' && i + 3 < in.size() && in.at(i + 1) == 'x') {
            bool ok = false;
            const int byte = in.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out += char(byte);
                i += 3;
            } else {
                out += in.at(i);
            }
        } else {
            out += in.at(i);
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

UnitFile UnitFile::parse(const QByteArray& text) {
    UnitFile unit;
    const QString decoded = QString::fromUtf8(text);
    QList<Assignment>* current = nullptr;
    QString pending; // a continued line gathered so far
    bool continuing = false;

    auto handle = [&](QStringView line) {
        if (line.front() == QLatin1Char('[')) {
            if (!line.endsWith(QLatin1Char(']')) || line.size() < 3) {
                current = nullptr;
                return;
            }
            const QString name = line.mid(1, line.size() - 2).toString();
            if (name.contains(QLatin1Char('[')) || name.contains(QLatin1Char(']'))) {
                current = nullptr;
                return;
            }
            if (!unit.m_sections.contains(name))
                unit.m_order.append(name);
            current = &unit.m_sections[name];
            return;
        }
        if (!current)
            return;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return;
        const QStringView key = trimmed(line.left(eq));
        if (key.isEmpty())
            return;
        current->append({key.toString(), trimmed(line.mid(eq + 1)).toString()});
    };

    qsizetype start = 0;
    while (start <= decoded.size()) {
        qsizetype end = decoded.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = decoded.size();
        const QStringView line = trimmed(QStringView(decoded).mid(start, end - start));
        start = end + 1;

        if (line.isEmpty() && !continuing)
            continue;
        if (!line.isEmpty() &&
            (line.front() == QLatin1Char('#') || line.front() == QLatin1Char(';')))
            continue; // comments, also inside a continued line
        if (line.endsWith(QLatin1Char('\\'))) {
            pending += line.left(line.size() - 1);
            pending += QLatin1Char(' ');
            continuing = true;
            continue;
        }
        if (continuing) {
            pending += line;
            const QString whole = pending;
            pending.clear();
            continuing = false;
            const QStringView t = trimmed(whole);
            if (!t.isEmpty())
                handle(t);
            continue;
        }
        handle(line);
    }
    if (continuing) {
        const QString whole = pending;
        const QStringView t = trimmed(whole);
        if (!t.isEmpty())
            handle(t);
    }
    return unit;
}

std::optional<UnitFile> UnitFile::readFile(const QString& path) {
    const std::optional<QByteArray> bytes = BoundedFile::read(path, MaxFileBytes);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
}

std::optional<QString> UnitFile::value(const QString& section, const QString& key) const {
    const auto s = m_sections.constFind(section);
    if (s == m_sections.cend())
        return std::nullopt;
    for (auto it = s->crbegin(); it != s->crend(); ++it) {
        if (it->key == key)
            return it->value;
    }
    return std::nullopt;
}

QStringList UnitFile::values(const QString& section, const QString& key) const {
    QStringList out;
    const auto s = m_sections.constFind(section);
    if (s == m_sections.cend())
        return out;
    for (const Assignment& a : *s) {
        if (a.key != key)
            continue;
        if (a.value.isEmpty())
            out.clear();
        else
            out << a.value;
    }
    return out;
}

QString UnitFile::program() const {
    const QStringList commands = values(QStringLiteral("Service"), QStringLiteral("ExecStart"));
    if (commands.isEmpty())
        return {};
    const std::optional<QStringList> words = splitCommandLine(commands.first());
    if (!words || words->isEmpty())
        return {};
    QString first = words->first();
    qsizetype skip = 0;
    while (skip < first.size() && QStringLiteral("@-:+!").contains(first.at(skip)))
        ++skip;
    first = first.mid(skip);
    if (!first.isEmpty())
        return first;
    // A prefix written apart from its program ("- /bin/true") leaves the program as the next word.
    return words->size() > 1 ? words->at(1) : QString();
}

std::optional<QString> UnitFile::description() const {
    std::optional<QString> d = value(QStringLiteral("Unit"), QStringLiteral("Description"));
    if (!d || d->isEmpty())
        return std::nullopt;
    return d;
}

std::optional<QStringList> UnitFile::splitCommandLine(const QString& line) {
    QStringList words;
    QString current;
    bool inWord = false;
    QChar quote; // the open quote, or null
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quote.isNull() && isSpace(c)) {
            if (inWord) {
                words << current;
                current.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (!quote.isNull() && c == quote) {
            quote = QChar();
            continue;
        }
        if (quote.isNull() && (c == QLatin1Char('"') || c == QLatin1Char('\''))) {
            quote = c;
            continue;
        }
        if (c != QLatin1Char('\\')) {
            current += c;
            continue;
        }
        if (++i >= line.size())
            return std::nullopt; // a lone backslash at the end
        const QChar e = line.at(i);
        switch (e.unicode()) {
        case 'a':
            current += QChar(0x07);
            break;
        case 'b':
            current += QChar(0x08);
            break;
        case 'f':
            current += QChar(0x0c);
            break;
        case 'n':
            current += QLatin1Char('\n');
            break;
        case 'r':
            current += QLatin1Char('\r');
            break;
        case 't':
            current += QLatin1Char('\t');
            break;
        case 'v':
            current += QChar(0x0b);
            break;
        case 's':
            current += QLatin1Char(' ');
            break;
        case '\\':
        case '"':
        case '\'':
        case ' ':
        case '\t':
            current += e; // an escaped separator stays inside its word
            break;
        case 'x': {
            const auto v = readNumber(line, i + 1, 2, 16);
            if (!v || *v == 0)
                return std::nullopt;
            current += QChar(char16_t(*v));
            i += 2;
            break;
        }
        case 'u':
        case 'U': {
            const int digits = e == QLatin1Char('u') ? 4 : 8;
            const auto v = readNumber(line, i + 1, digits, 16);
            if (!v || *v == 0 || *v > 0x10FFFF || (*v >= 0xD800 && *v <= 0xDFFF))
                return std::nullopt;
            current += QString::fromUcs4(&*v, 1);
            i += digits;
            break;
        }
        default: {
            const auto v = readNumber(line, i, 3, 8);
            if (!v || *v == 0 || *v > 0xFF)
                return std::nullopt;
            current += QChar(char16_t(*v));
            i += 2;
            break;
        }
        }
    }
    if (!quote.isNull())
        return std::nullopt;
    if (inWord)
        words << current;
    return words;
}

QString UnitFile::expandSpecifiers(const QString& text, const QString& unitName) {
    if (!text.contains(QLatin1Char('%')))
        return text;
    const UnitNameParts parts = splitUnitName(unitName);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('%') || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar s = text.at(++i);
        switch (s.unicode()) {
        case '%':
            out += QLatin1Char('%');
            break;
        case 'n':
            out += unitName;
            break;
        case 'N':
            out += parts.withoutSuffix;
            break;
        case 'p':
            out += parts.prefix;
            break;
        case 'P':
            out += unescapeUnitText(parts.prefix);
            break;
        case 'i':
            out += parts.instance;
            break;
        case 'I':
            out += unescapeUnitText(parts.instance);
            break;
        case 'j': {
            const qsizetype dash = parts.prefix.lastIndexOf(QLatin1Char('-'));
            out += dash >= 0 ? parts.prefix.mid(dash + 1) : parts.prefix;
            break;
        }
        default:
            out += c;
            out += s;
            break;
        }
    }
    return out;
}
