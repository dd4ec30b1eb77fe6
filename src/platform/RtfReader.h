#pragma once

#include <optional>
#include <QByteArray>
#include <QList>
#include <QString>

// The text runs of an RTF document's body. Groups nest the state a control word sets (a hidden
// destination, \uc); the font, colour and style tables, pictures, fields' instructions and other
// destinations that are not document text are skipped, as is every \* destination this reader
// does not know. \'hh bytes and plain bytes are read in the document's \ansicpg code page (1252
// by its own table, any other as Latin-1); \u gives a UTF-16 unit and drops the \uc fallback
// characters after it. Paragraph, line, section, row and page ends become line feeds, tabs and
// cell ends tabs.
class RtfReader {
public:
    // Nothing unless the bytes start as an RTF document does ("{\rtf").
    static std::optional<QString> text(const QByteArray& rtf);

private:
    struct Group {
        bool skip = false;
        int unicodeSkip = 1;
    };

    explicit RtfReader(const QByteArray& rtf) : m_rtf(rtf), m_n(rtf.size()) {}

    QString read();

    // Each kind of token from its first byte at m_at, leaving m_at past it. groupCloses() gives
    // false at the end of the outermost group, which ends the document.
    void groupOpens();
    bool groupCloses();
    void controlSymbol(char symbol);
    void controlWord();
    void plainByte(uchar byte);

    void emitChar(QChar c);
    void emitByte(uchar byte);

    const QByteArray& m_rtf;
    const qsizetype m_n;
    qsizetype m_at = 0;
    QList<Group> m_stack{Group{}};
    QString m_out;
    QByteArray m_codePage = "1252";
    int m_pendingSkip = 0; // characters still to drop after a \u
};
