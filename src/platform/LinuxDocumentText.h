#pragma once

#include "platform/DocumentText.h"

#include <QByteArray>

// Document text with the libraries of a Linux desktop:
// - "pdf": poppler; the text of every page that has some, pages joined with one line feed; an
//   encrypted document gives nothing;
// - "docx": the body of word/document.xml (libzip), one line per paragraph, tabs and breaks
//   kept;
// - "odt": the body of content.xml (libzip), one line per paragraph or heading, with the
//   format's run-of-spaces, tab and line-break elements spelled out;
// - "html", "htm": the text a browser would show (QTextDocument), decoded by the page's own
//   charset declaration, UTF-8 when it has none;
// - "rtf": the text runs of the document body, skipping font, colour and style tables, pictures
//   and other destinations; "rtfd" (a folder) reads its TXT.rtf;
// - anything else, "doc" included: nothing.
// Archive members and files are read at most `maxBytes` far; beyond that the document gives
// nothing rather than a text cut short.
class LinuxDocumentText : public DocumentText {
public:
    static constexpr qsizetype defaultMaxBytes = 256 * 1024 * 1024;

    explicit LinuxDocumentText(qsizetype maxBytes = defaultMaxBytes) : m_maxBytes(maxBytes) {}

    std::optional<QString> extract(const QString& path,
                                   const CancelToken& cancel = CancelToken()) override;

    // The pieces, for tests: each takes the bytes of its file or archive member.
    static std::optional<QString> wordBodyText(const QByteArray& documentXml);
    static std::optional<QString> openDocumentBodyText(const QByteArray& contentXml);
    static std::optional<QString> rtfText(const QByteArray& rtf);
    static std::optional<QString> htmlText(const QByteArray& html);

private:
    std::optional<QString> pdfText(const QString& path, const CancelToken& cancel) const;
    std::optional<QByteArray> zipMember(const QString& path, const char* member) const;
    std::optional<QByteArray> wholeFile(const QString& path) const;

    qsizetype m_maxBytes;
};
