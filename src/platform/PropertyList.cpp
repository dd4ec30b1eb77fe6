#include "platform/PropertyList.h"

#include "platform/RegularFile.h"

#include <limits>
#include <QDateTime>
#include <QVariantList>
#include <QVariantMap>
#include <QXmlStreamReader>

namespace {

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_xml(bytes) {
        // Internal entities may expand a little (a DTD for &amp;-style names), never a lot.
        m_xml.setEntityExpansionLimit(1024);
    }

    std::optional<QVariant> document(QString* error) {
        std::optional<QVariant> result;
        bool sawPlist = false;
        while (!m_xml.atEnd() && m_error.isEmpty()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                if (sawPlist || m_xml.name() != QLatin1String("plist")) {
                    fail(QStringLiteral("the document is not one <plist> element"));
                    break;
                }
                sawPlist = true;
                result = plistBody();
                break;
            case QXmlStreamReader::Characters:
                if (!m_xml.isWhitespace())
                    fail(QStringLiteral("text outside the <plist> element"));
                break;
            case QXmlStreamReader::EntityReference:
                fail(QStringLiteral("an entity outside the <plist> element"));
                break;
            case QXmlStreamReader::DTD:
                // An entity that names a file or an address is never fetched: the reader
                // would hand on an empty text in its place, so the document is refused.
                for (const QXmlStreamEntityDeclaration& entity : m_xml.entityDeclarations()) {
                    if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty())
                        fail(QStringLiteral("an external entity"));
                }
                break;
            default: // declaration, comments, processing instructions
                break;
            }
        }
        if (m_error.isEmpty() && m_xml.hasError())
            fail(m_xml.errorString());
        if (m_error.isEmpty() && !sawPlist)
            fail(QStringLiteral("no <plist> element"));
        if (!m_error.isEmpty()) {
            if (error)
                *error = m_error;
            return std::nullopt;
        }
        return result;
    }

private:
    void fail(const QString& reason) {
        if (m_error.isEmpty())
            m_error = reason;
    }

    // Reads the next element start inside the current element, skipping white space and
    // comments. False at the current element's end (or on an error).
    bool nextChild() {
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                return true;
            case QXmlStreamReader::EndElement:
                return false;
            case QXmlStreamReader::Characters:
                if (!m_xml.isWhitespace()) {
                    fail(QStringLiteral("text where an element belongs"));
                    return false;
                }
                break;
            case QXmlStreamReader::EntityReference:
                fail(QStringLiteral("an unresolved entity"));
                return false;
            case QXmlStreamReader::Invalid:
                fail(m_xml.errorString());
                return false;
            default:
                break;
            }
        }
        fail(m_xml.hasError() ? m_xml.errorString() : QStringLiteral("the document ends early"));
        return false;
    }

    std::optional<QVariant> plistBody() {
        if (!nextChild()) {
            fail(QStringLiteral("<plist> holds no value"));
            return std::nullopt;
        }
        std::optional<QVariant> value = readValue(1);
        if (!value)
            return std::nullopt;
        if (nextChild())
            fail(QStringLiteral("<plist> holds more than one value"));
        return m_error.isEmpty() ? value : std::nullopt;
    }

    // The text of a leaf element, up to its end tag; none when it holds elements.
    std::optional<QString> leafText() {
        QString text;
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
                text += m_xml.text();
                break;
            case QXmlStreamReader::EndElement:
                return text;
            case QXmlStreamReader::StartElement:
                fail(QStringLiteral("an element inside <%1>").arg(m_xml.name()));
                return std::nullopt;
            case QXmlStreamReader::EntityReference:
                fail(QStringLiteral("an unresolved entity"));
                return std::nullopt;
            case QXmlStreamReader::Invalid:
                fail(m_xml.errorString());
                return std::nullopt;
            default:
                break;
            }
        }
        fail(QStringLiteral("the document ends early"));
        return std::nullopt;
    }

    // At a start element: the value it holds, with the reader left on its end element.
    std::optional<QVariant> readValue(int depth) {
        if (depth > PropertyList::kMaxDepth) {
            fail(QStringLiteral("values are nested too deeply"));
            return std::nullopt;
        }
        const QString tag = m_xml.name().toString();
        if (tag == QLatin1String("dict"))
            return readDict(depth);
        if (tag == QLatin1String("array"))
            return readArray(depth);
        if (tag == QLatin1String("true") || tag == QLatin1String("false")) {
            const std::optional<QString> text = leafText();
            if (!text)
                return std::nullopt;
            if (!text->trimmed().isEmpty()) {
                fail(QStringLiteral("<%1/> holds text").arg(tag));
                return std::nullopt;
            }
            return QVariant(tag == QLatin1String("true"));
        }
        const std::optional<QString> text = leafText();
        if (!text)
            return std::nullopt;
        if (tag == QLatin1String("string"))
            return QVariant(*text);
        if (tag == QLatin1String("integer"))
            return integer(text->trimmed());
        if (tag == QLatin1String("real")) {
            bool ok = false;
            const double v = text->trimmed().toDouble(&ok);
            if (!ok) {
                fail(QStringLiteral("<real> is not a number"));
                return std::nullopt;
            }
            return QVariant(v);
        }
        if (tag == QLatin1String("date")) {
            const QDateTime date = QDateTime::fromString(text->trimmed(), Qt::ISODate);
            if (!date.isValid()) {
                fail(QStringLiteral("<date> is not an ISO 8601 date"));
                return std::nullopt;
            }
            return QVariant(date.toUTC());
        }
        if (tag == QLatin1String("data")) {
            QByteArray compact;
            for (const QChar c : *text) {
                if (!c.isSpace())
                    compact.append(char(c.unicode() < 128 ? c.unicode() : '!'));
            }
            const auto decoded =
                QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded) {
                fail(QStringLiteral("<data> is not base64"));
                return std::nullopt;
            }
            return QVariant(decoded.decoded);
        }
        fail(QStringLiteral("an unknown element <%1>").arg(tag));
        return std::nullopt;
    }

    std::optional<QVariant> integer(const QString& text) {
        QString digits = text;
        bool negative = false;
        if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
            negative = digits.startsWith(QLatin1Char('-'));
            digits = digits.mid(1);
        }
        int base = 10;
        if (digits.startsWith(QLatin1String("0x")) || digits.startsWith(QLatin1String("0X"))) {
            base = 16;
            digits = digits.mid(2);
        }
        bool ok = !digits.isEmpty() && digits.at(0).isLetterOrNumber();
        const qulonglong magnitude = ok ? digits.toULongLong(&ok, base) : 0;
        const qulonglong limit = negative ? qulonglong(std::numeric_limits<qint64>::max()) + 1
                                          : qulonglong(std::numeric_limits<qint64>::max());
        if (!ok || magnitude > limit) {
            fail(QStringLiteral("<integer> is not a 64-bit whole number"));
            return std::nullopt;
        }
        if (negative)
            return QVariant(magnitude == limit ? std::numeric_limits<qint64>::min()
                                               : -qint64(magnitude));
        return QVariant(qint64(magnitude));
    }

    std::optional<QVariant> readDict(int depth) {
        QVariantMap map;
        while (nextChild()) {
            if (m_xml.name() != QLatin1String("key")) {
                fail(QStringLiteral("a <dict> value without its <key>"));
                return std::nullopt;
            }
            const std::optional<QString> key = leafText();
            if (!key)
                return std::nullopt;
            if (!nextChild()) {
                fail(QStringLiteral("a <key> without its value"));
                return std::nullopt;
            }
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            map.insert(*key, std::move(*value));
        }
        if (!m_error.isEmpty())
            return std::nullopt;
        return QVariant(map);
    }

    std::optional<QVariant> readArray(int depth) {
        QVariantList list;
        while (nextChild()) {
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            list.append(std::move(*value));
        }
        if (!m_error.isEmpty())
            return std::nullopt;
        return QVariant(list);
    }

    QXmlStreamReader m_xml;
    QString m_error;
};

} // namespace

namespace PropertyList {

std::optional<QVariant> parse(const QByteArray& bytes, QString* error) {
    if (bytes.size() > kMaxBytes) {
        if (error)
            *error = QStringLiteral("the property list is too large");
        return std::nullopt;
    }
    if (bytes.startsWith("bplist")) {
        if (error)
            *error = QStringLiteral("binary property lists are not read");
        return std::nullopt;
    }
    return Reader(bytes).document(error);
}

std::optional<QVariantMap> readDictionary(const QString& path, QString* error) {
    RegularFile file(path);
    if (!file.isOpen()) {
        if (error)
            *error = QStringLiteral("not a readable file");
        return std::nullopt;
    }
    if (file.size() > kMaxBytes) {
        if (error)
            *error = QStringLiteral("the property list is too large");
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[64 * 1024];
    for (;;) {
        const qsizetype n = file.read(buffer, sizeof buffer);
        if (n < 0) {
            if (error)
                *error = QStringLiteral("the file could not be read");
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
        if (bytes.size() > kMaxBytes) { // it grew since it was opened
            if (error)
                *error = QStringLiteral("the property list is too large");
            return std::nullopt;
        }
    }
    const std::optional<QVariant> value = parse(bytes, error);
    if (!value)
        return std::nullopt;
    if (value->typeId() != QMetaType::QVariantMap) {
        if (error)
            *error = QStringLiteral("the top value is not a dictionary");
        return std::nullopt;
    }
    return value->toMap();
}

} // namespace PropertyList
