#include "platform/LinuxDocumentText.h"

#include "platform/RegularFile.h"
#include "platform/RtfReader.h"

#include <memory>
#include <mutex>
#include <poppler-qt6.h>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <unistd.h>
#include <zip.h>

namespace {

// Poppler reports every repair of a damaged file on stderr; the caller only needs the outcome.
void silencePoppler() {
    static std::once_flag once;
    std::call_once(
        once, [] { Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, {}); });
}

// A web page's text without anything it refers to: a stylesheet link or image pointing at a
// local file (or a device) must not be read while the page is only being turned into text.
class InertDocument : public QTextDocument {
public:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

constexpr auto kWordMain =
    QLatin1StringView("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
constexpr auto kMarkupCompatibility =
    QLatin1StringView("http://schemas.openxmlformats.org/markup-compatibility/2006");
constexpr auto kOdfText = QLatin1StringView("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
constexpr auto kOdfOffice = QLatin1StringView("urn:oasis:names:tc:opendocument:xmlns:office:1.0");

// Collects paragraphs as lines. A paragraph that starts inside another (a text box, a frame)
// first ends the line the outer one had begun.
class LineCollector {
public:
    void text(QStringView s) { m_line += s; }
    void text(QChar c) { m_line += c; }
    void paragraphStarts() {
        if (m_depth > 0 && !m_line.isEmpty())
            flush();
        ++m_depth;
    }
    void paragraphEnds() {
        if (m_depth > 0)
            --m_depth;
        flush();
    }
    bool inParagraph() const { return m_depth > 0; }
    QString result() {
        if (!m_line.isEmpty())
            flush();
        return m_lines.join(QLatin1Char('\n'));
    }

private:
    void flush() {
        m_lines.append(m_line);
        m_line.clear();
    }
    QStringList m_lines;
    QString m_line;
    int m_depth = 0;
};

// Where an office format's XML keeps its body and paragraphs.
struct BodyMarkup {
    QLatin1StringView bodyNamespace;      // of the "body" element
    QLatin1StringView paragraphNamespace; // of the elements `isParagraph` names
    bool looseText;                       // character data inside a paragraph is its text
    bool (*isParagraph)(QStringView name);
};

// The body of an office document's XML, one line per paragraph. `element` sees every other
// element inside the body as it starts, and either reads or skips it or leaves the reader on it;
// nothing outside the body counts. Nothing when the XML is broken.
template <typename Element>
std::optional<QString> bodyLines(const QByteArray& bytes, const BodyMarkup& markup,
                                 Element element) {
    QXmlStreamReader xml(bytes);
    LineCollector lines;
    bool inBody = false;
    auto isBody = [&] {
        return xml.namespaceUri() == markup.bodyNamespace && xml.name() == u"body";
    };
    auto isParagraph = [&] {
        return xml.namespaceUri() == markup.paragraphNamespace && markup.isParagraph(xml.name());
    };
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (isBody())
                inBody = true;
            else if (!inBody)
                continue;
            else if (isParagraph())
                lines.paragraphStarts();
            else
                element(xml, lines);
        } else if (token == QXmlStreamReader::Characters && markup.looseText && inBody &&
                   lines.inParagraph()) {
            lines.text(xml.text());
        } else if (token == QXmlStreamReader::EndElement && inBody) {
            if (isParagraph())
                lines.paragraphEnds();
            else if (isBody())
                inBody = false;
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return lines.result();
}

} // namespace

std::optional<QString> LinuxDocumentText::extract(const QString& path, const CancelToken& cancel) {
    const QString kind = QFileInfo(path).suffix().toLower();
    std::optional<QString> text;
    if (kind == QLatin1String("pdf")) {
        text = pdfText(path, cancel);
    } else if (kind == QLatin1String("docx")) {
        if (const auto xml = zipMember(path, "word/document.xml"))
            text = wordBodyText(*xml);
    } else if (kind == QLatin1String("odt")) {
        if (const auto xml = zipMember(path, "content.xml"))
            text = openDocumentBodyText(*xml);
    } else if (kind == QLatin1String("html") || kind == QLatin1String("htm")) {
        if (const auto bytes = wholeFile(path))
            text = htmlText(*bytes);
    } else if (kind == QLatin1String("rtf")) {
        if (const auto bytes = wholeFile(path))
            text = rtfText(*bytes);
    } else if (kind == QLatin1String("rtfd")) {
        if (QFileInfo(path).isDir()) {
            if (const auto bytes = wholeFile(path + QStringLiteral("/TXT.rtf")))
                text = rtfText(*bytes);
        }
    }
    if (cancel.isCancelled())
        return std::nullopt;
    return text;
}

std::optional<QString> LinuxDocumentText::pdfText(const QString& path,
                                                  const CancelToken& cancel) const {
    // The parser reads through a device opened here, so the read leaves the access time alone;
    // the device outlives the document, which reads from it page by page.
    QFile device;
    if (RegularFile opened(path); !opened.moveInto(device))
        return std::nullopt;
    silencePoppler();
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(&device);
    if (!document || document->isLocked())
        return std::nullopt;
    QStringList pages;
    qsizetype total = 0;
    const int count = document->numPages();
    for (int i = 0; i < count; ++i) {
        if (cancel.isCancelled())
            return std::nullopt;
        std::unique_ptr<Poppler::Page> page = document->page(i);
        if (!page)
            continue;
        const QString text = page->text(QRectF());
        if (text.isEmpty())
            continue;
        total += text.size();
        if (total > m_maxBytes)
            return std::nullopt;
        pages.append(text);
    }
    return pages.join(QLatin1Char('\n'));
}

std::optional<QByteArray> LinuxDocumentText::zipMember(const QString& path,
                                                       const char* member) const {
    RegularFile opened(path);
    if (!opened.isOpen())
        return std::nullopt;
    // The archive reads the descriptor opened here (and closes it), so the read leaves the
    // access time alone.
    const int fd = opened.release();
    int error = 0;
    zip_t* archive = zip_fdopen(fd, 0, &error);
    if (!archive) {
        ::close(fd);
        return std::nullopt;
    }
    std::unique_ptr<zip_t, decltype(&zip_discard)> closeArchive(archive, &zip_discard);
    zip_file_t* file = zip_fopen(archive, member, 0);
    if (!file)
        return std::nullopt;
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> closeFile(file, &zip_fclose);
    // The stored size may lie; the read itself is bounded.
    QByteArray bytes;
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const zip_int64_t got = zip_fread(file, piece.data(), zip_uint64_t(piece.size()));
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        if (bytes.size() + got > m_maxBytes)
            return std::nullopt;
        bytes.append(piece.constData(), qsizetype(got));
    }
    return bytes;
}

std::optional<QByteArray> LinuxDocumentText::wholeFile(const QString& path) const {
    RegularFile file(path);
    if (!file.isOpen() || file.size() > m_maxBytes)
        return std::nullopt;
    QByteArray bytes(qsizetype(file.size()), Qt::Uninitialized);
    const qsizetype got = file.read(bytes.data(), bytes.size());
    if (got < 0)
        return std::nullopt;
    bytes.truncate(got);
    return bytes;
}

std::optional<QString> LinuxDocumentText::wordBodyText(const QByteArray& documentXml) {
    const BodyMarkup markup{kWordMain, kWordMain, false,
                            [](QStringView name) { return name == u"p"; }};
    return bodyLines(documentXml, markup, [](QXmlStreamReader& xml, LineCollector& lines) {
        const QStringView name = xml.name();
        const bool word = xml.namespaceUri() == kWordMain;
        if (word &&
            (name == u"pPr" || name == u"rPr" || name == u"sectPr" || name == u"instrText" ||
             name == u"delText" || name == u"tblPr" || name == u"trPr" || name == u"tcPr")) {
            // Formatting, field codes and deleted text are not what the document says.
            xml.skipCurrentElement();
        } else if (xml.namespaceUri() == kMarkupCompatibility && name == u"Fallback") {
            // The same content again for older readers.
            xml.skipCurrentElement();
        } else if (word && name == u"t") {
            lines.text(xml.readElementText());
        } else if (word && name == u"tab") {
            lines.text(QLatin1Char('\t'));
        } else if (word && (name == u"br" || name == u"cr")) {
            lines.text(QLatin1Char('\n'));
        } else if (word && name == u"noBreakHyphen") {
            lines.text(QChar(0x2011));
        }
    });
}

std::optional<QString> LinuxDocumentText::openDocumentBodyText(const QByteArray& contentXml) {
    const BodyMarkup markup{kOdfOffice, kOdfText, true,
                            [](QStringView name) { return name == u"p" || name == u"h"; }};
    return bodyLines(contentXml, markup, [](QXmlStreamReader& xml, LineCollector& lines) {
        const QStringView name = xml.name();
        const bool text = xml.namespaceUri() == kOdfText;
        if ((text &&
             (name == u"note" || name == u"tracked-changes" || name == u"sequence-decls")) ||
            (xml.namespaceUri() == kOdfOffice && name == u"annotation")) {
            // Footnotes, comments and recorded deletions stand apart from the body text.
            xml.skipCurrentElement();
        } else if (text && name == u"s") {
            // A run of spaces; the count is capped so a hostile file cannot ask for millions.
            bool ok = false;
            const int c = xml.attributes().value(kOdfText, QLatin1String("c")).toInt(&ok);
            lines.text(QString(ok ? qBound(1, c, 1024) : 1, QLatin1Char(' ')));
        } else if (text && name == u"tab") {
            lines.text(QLatin1Char('\t'));
        } else if (text && name == u"line-break") {
            lines.text(QLatin1Char('\n'));
        }
    });
}

std::optional<QString> LinuxDocumentText::htmlText(const QByteArray& html) {
    QStringDecoder decoder = QStringDecoder::decoderForHtml(html);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    const QString source = decoder(html);
    if (decoder.hasError())
        return std::nullopt;
    InertDocument document;
    document.setHtml(source);
    QString text = document.toPlainText();
    // Images and other embedded objects stand in the text as U+FFFC; they are not words.
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

std::optional<QString> LinuxDocumentText::rtfText(const QByteArray& rtf) {
    return RtfReader::text(rtf);
}
