#include "platform/DesktopEntry.h"

#include "platform/BoundedFile.h"

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// A group name may hold any printable character except the brackets.
bool validGroupName(QStringView name) {
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c.unicode() < 0x20 ||
            c.unicode() == 0x7f)
            return false;
    }
    return true;
}

// Key names: a word of letters, digits and "-" (vendor keys "X-..." included), optionally with
// a "[locale]" suffix. Session managers are lenient here; the only thing refused is what would
// make a lookup ambiguous.
bool validKey(QStringView key) {
    if (key.isEmpty())
        return false;
    const qsizetype open = key.indexOf(QLatin1Char('['));
    const QStringView name = open < 0 ? key : key.left(open);
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') ||
              c == QLatin1Char('.')))
            return false;
    }
    if (open < 0)
        return true;
    if (!key.endsWith(QLatin1Char(']')) || key.size() - open < 3)
        return false;
    const QStringView locale = key.mid(open + 1, key.size() - open - 2);
    return !locale.contains(QLatin1Char('[')) && !locale.contains(QLatin1Char(']'));
}

struct PosixLocale {
    QString lang, country, modifier;
};

PosixLocale splitLocale(QString locale) {
    PosixLocale parts;
    const qsizetype at = locale.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        parts.modifier = locale.mid(at + 1);
        locale.truncate(at);
    }
    const qsizetype dot = locale.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        locale.truncate(dot);
    const qsizetype underscore = locale.indexOf(QLatin1Char('_'));
    if (underscore >= 0) {
        parts.country = locale.mid(underscore + 1);
        locale.truncate(underscore);
    }
    parts.lang = locale;
    return parts;
}

} // namespace

DesktopEntry DesktopEntry::parse(const QByteArray& text) {
    DesktopEntry entry;
    const QString decoded = QString::fromUtf8(text);
    Group* current = nullptr;
    qsizetype start = 0;
    while (start <= decoded.size()) {
        qsizetype end = decoded.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = decoded.size();
        QStringView line = QStringView(decoded).mid(start, end - start);
        start = end + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        while (!line.isEmpty() && isBlank(line.front()))
            line = line.mid(1);
        if (line.isEmpty() || line.front() == QLatin1Char('#'))
            continue;
        if (line.front() == QLatin1Char('[')) {
            QStringView header = line;
            while (!header.isEmpty() && isBlank(header.back()))
                header.chop(1);
            if (!header.endsWith(QLatin1Char(']')) || header.size() < 3) {
                current = nullptr; // a broken header: its keys belong to no group
                continue;
            }
            const QStringView name = header.mid(1, header.size() - 2);
            if (!validGroupName(name)) {
                current = nullptr;
                continue;
            }
            const QString key = name.toString();
            if (!entry.m_groups.contains(key))
                entry.m_order.append(key);
            current = &entry.m_groups[key];
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        QStringView key = line.left(eq);
        while (!key.isEmpty() && isBlank(key.back()))
            key.chop(1);
        if (!validKey(key))
            continue;
        QStringView value = line.mid(eq + 1);
        while (!value.isEmpty() && isBlank(value.front()))
            value = value.mid(1);
        while (!value.isEmpty() && isBlank(value.back()))
            value.chop(1);
        current->values.insert(key.toString(), value.toString());
    }
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::readFile(const QString& path) {
    const std::optional<QByteArray> bytes = BoundedFile::read(path, MaxFileBytes);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
}

bool DesktopEntry::isValid() const {
    return !m_order.isEmpty() && m_order.first() == QLatin1String(MainGroup);
}

std::optional<QString> DesktopEntry::rawValue(const QString& group, const QString& key) const {
    const auto g = m_groups.constFind(group);
    if (g == m_groups.cend())
        return std::nullopt;
    const auto v = g->values.constFind(key);
    if (v == g->values.cend())
        return std::nullopt;
    return v.value();
}

std::optional<QString> DesktopEntry::string(const QString& group, const QString& key) const {
    const std::optional<QString> raw = rawValue(group, key);
    if (!raw)
        return std::nullopt;
    return unescape(*raw);
}

std::optional<QString> DesktopEntry::localeString(const QString& group, const QString& key,
                                                  const QString& locale) const {
    const PosixLocale l = splitLocale(locale);
    QStringList candidates;
    if (!l.lang.isEmpty() && l.lang != QLatin1String("C") && l.lang != QLatin1String("POSIX")) {
        const QString at = QLatin1Char('@') + l.modifier;
        const QString under = QLatin1Char('_') + l.country;
        if (!l.country.isEmpty() && !l.modifier.isEmpty())
            candidates << l.lang + under + at;
        if (!l.country.isEmpty())
            candidates << l.lang + under;
        if (!l.modifier.isEmpty())
            candidates << l.lang + at;
        candidates << l.lang;
    }
    for (const QString& suffix : std::as_const(candidates)) {
        if (auto v = string(group, key + QLatin1Char('[') + suffix + QLatin1Char(']')))
            return v;
    }
    return string(group, key);
}

std::optional<bool> DesktopEntry::boolean(const QString& group, const QString& key) const {
    const std::optional<QString> raw = rawValue(group, key);
    if (!raw)
        return std::nullopt;
    if (*raw == QLatin1String("true") || *raw == QLatin1String("1"))
        return true;
    if (*raw == QLatin1String("false") || *raw == QLatin1String("0"))
        return false;
    return std::nullopt;
}

std::optional<QStringList> DesktopEntry::stringList(const QString& group,
                                                    const QString& key) const {
    const std::optional<QString> raw = rawValue(group, key);
    if (!raw)
        return std::nullopt;
    QStringList items;
    QString current;
    for (qsizetype i = 0; i < raw->size(); ++i) {
        const QChar c = raw->at(i);
        if (c == QLatin1Char('\\') && i + 1 < raw->size()) {
            // Escapes are undone per element, so "\;" must survive the split.
            current += c;
            current += raw->at(++i);
        } else if (c == QLatin1Char(';')) {
            items << unescape(current, true);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        items << unescape(current, true);
    return items;
}

bool DesktopEntry::autostarts() const {
    const QString main = QLatin1String(MainGroup);
    if (boolean(main, QStringLiteral("Hidden")).value_or(false))
        return false;
    return boolean(main, QStringLiteral("X-GNOME-Autostart-enabled")).value_or(true);
}

QString DesktopEntry::program() const {
    const std::optional<QString> exec = string(QLatin1String(MainGroup), QStringLiteral("Exec"));
    if (!exec)
        return {};
    const std::optional<QStringList> args = splitExec(*exec);
    if (!args || args->isEmpty())
        return {};
    return args->first();
}

QString DesktopEntry::unescape(const QString& value, bool inList) {
    if (!value.contains(QLatin1Char('\\')))
        return value;
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(i + 1);
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        case ';':
            if (inList) {
                out += QLatin1Char(';');
                break;
            }
            out += c;
            out += next;
            break;
        default:
            out += c;
            out += next;
            break;
        }
        ++i;
    }
    return out;
}

std::optional<QStringList> DesktopEntry::splitExec(const QString& exec) {
    QStringList args;
    QString current;
    bool inWord = false;
    bool quoted = false;
    bool wordWasQuoted = false;
    auto finish = [&] {
        if (!inWord)
            return;
        // A field code standing alone is dropped (it would expand to files or URLs).
        const bool fieldCode = !wordWasQuoted && current.size() == 2 &&
                               current.front() == QLatin1Char('%') &&
                               QStringLiteral("fFuUdDnNickvm").contains(current.at(1));
        if (!fieldCode)
            args << current;
        current.clear();
        inWord = false;
        wordWasQuoted = false;
    };
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('\\') && i + 1 < exec.size() &&
                       QStringLiteral("\"`$\\").contains(exec.at(i + 1))) {
                current += exec.at(++i);
            } else {
                current += c;
            }
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            finish();
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('"')) {
            quoted = true;
            wordWasQuoted = true;
        } else if (c == QLatin1Char('%') && i + 1 < exec.size() &&
                   exec.at(i + 1) == QLatin1Char('%')) {
            current += QLatin1Char('%');
            ++i;
        } else {
            current += c;
        }
    }
    if (quoted)
        return std::nullopt;
    finish();
    return args;
}

QString DesktopEntry::messagesLocale(const QByteArray& lcAll, const QByteArray& lcMessages,
                                     const QByteArray& lang) {
    for (const QByteArray* v : {&lcAll, &lcMessages, &lang}) {
        if (!v->isEmpty())
            return QString::fromLocal8Bit(*v);
    }
    return {};
}
