#include "developer/DocumentDiff.h"

#include "developer/TextScan.h"
#include "platform/DocumentText.h"
#include "platform/LanguageModel.h"
#include "platform/RegularFile.h"
#include "platform/Sha256.h"

#include <bit>
#include <QFileInfo>
#include <QPointer>
#include <QTextBoundaryFinder>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace DocumentDiff {

namespace {

bool isLineBreak(char16_t c) {
    // Most characters of a text lie between the two groups: one comparison rules them out.
    if (char16_t(c - 0x0E) < 0x85 - 0x0E)
        return false;
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// The index of the first line break at or after `from`, or `n` when there is none. Eight
// characters at a time skip what lies between the two groups of isLineBreak: most lines of
// most texts are a few such blocks and one break.
qsizetype nextBreak(const char16_t* d, qsizetype from, qsizetype n) {
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi16(0x0E);
    const __m128i span = _mm_set1_epi16(0x85 - 0x0E - 1);
    const __m128i zero = _mm_setzero_si128();
    while (n - i >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        // c - 0x0E, unsigned, saturated past the span: zero exactly for the characters between.
        const __m128i past = _mm_subs_epu16(_mm_sub_epi16(v, low), span);
        const unsigned between = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(past, zero)));
        if (between == 0xFFFF) {
            i += 8;
            continue;
        }
        // The first character outside: a break, or (a tab, say) one to step over.
        i += std::countr_one(between) / 2;
        if (isLineBreak(d[i]))
            return i;
        ++i;
    }
#endif
    for (; i < n; ++i)
        if (isLineBreak(d[i]))
            return i;
    return n;
}

template <typename Add> void forEachLine(const QString& text, Add add) {
    const qsizetype n = text.size();
    const auto* d = reinterpret_cast<const char16_t*>(text.constData());
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = nextBreak(d, start, n);
        add(start, end - start);
        if (end == n)
            break;
        start = end + 1;
    }
}

} // namespace

const QSet<QString>& imageExtensions() {
    static const QSet<QString> set = {"jpg",  "jpeg", "png", "heic", "heif",
                                      "tiff", "bmp",  "gif", "webp"};
    return set;
}

const QSet<QString>& documentExtensions() {
    static const QSet<QString> set = {"pdf", "docx", "doc", "rtf", "rtfd", "odt", "html", "htm"};
    return set;
}

QString extensionOf(const QString& path) {
    // A folder path may end in a slash ("Report.rtfd/"); the name is what comes before it.
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        name = QFileInfo(QFileInfo(path).path()).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    forEachLine(text, [&](qsizetype start, qsizetype size) {
        lines.emplace_back(text.constData() + start, size);
    });
    return lines;
}

std::vector<QStringView> lineViews(const QString& text) {
    std::vector<QStringView> lines;
    // An average line of 32 characters or more needs no second allocation.
    lines.reserve(size_t(text.size() / 32 + 1));
    forEachLine(text, [&](qsizetype start, qsizetype size) {
        lines.emplace_back(text.constData() + start, size);
    });
    return lines;
}

bool looksLikeText(const QString& path) {
    RegularFile file(path);
    if (!file.isOpen())
        return false;
    constexpr qsizetype sampleSize = 8192;
    char sample[sampleSize];
    const qsizetype got = file.read(sample, sampleSize);
    if (got < 0)
        return false;
    if (got == 0)
        return true;
    TextScan scan;
    scan.feed(sample, got);
    if (scan.sawNul() || !scan.wellFormed())
        return false;
    return !scan.midCharacter() || got == sampleSize;
}

TextFile readText(const QString& path, qint64 maxLines, qint64 maxBytes,
                  const CancelToken& cancel) {
    TextFile result;
    RegularFile file(path);
    if (!file.isOpen())
        return result;
    TextScan scan;
    QByteArray kept;
    bool keeping = file.size() <= maxBytes;
    if (keeping)
        kept.reserve(qsizetype(file.size()));
    qint64 total = 0;
    QByteArray piece(Sha256::pieceSize, Qt::Uninitialized);
    for (;;) {
        if (cancel.isCancelled())
            return result;
        const qsizetype got = file.read(piece.data(), piece.size());
        if (got < 0)
            return result;
        if (got == 0)
            break;
        total += got;
        scan.feed(piece.constData(), got);
        if (!scan.wellFormed())
            return result;
        if (keeping && (total > maxBytes || scan.lineBreaks() + 1 > maxLines)) {
            // Past a limit the text will not be shown line by line; only its validity matters.
            keeping = false;
            kept = QByteArray();
        }
        if (keeping)
            kept.append(piece.constData(), got);
    }
    if (!scan.completeText())
        return result;
    if (!keeping || total > maxBytes || scan.lineBreaks() + 1 > maxLines) {
        result.status = TextFile::Status::OverLimit;
        return result;
    }
    result.status = TextFile::Status::Text;
    result.text = QString::fromUtf8(kept);
    return result;
}

std::optional<QString> extractText(const QString& path, DocumentText& documents,
                                   const CancelToken& cancel) {
    std::optional<QString> text = documents.extract(path, cancel);
    if (!text || text->trimmed().isEmpty())
        return std::nullopt;
    return text;
}

std::optional<QString> fileDigest(const QString& path, const CancelToken& cancel) {
    const std::optional<QByteArray> digest = Sha256::ofFile(path, cancel);
    if (!digest)
        return std::nullopt;
    return hexString(*digest).join(QString());
}

QStringList hexString(const QByteArray& digest) {
    QStringList bytes;
    bytes.reserve(digest.size());
    for (char b : digest)
        bytes.append(QStringLiteral("%1").arg(uint(uchar(b)), 2, 16, QLatin1Char('0')));
    return bytes;
}

qsizetype characterCount(QStringView text) {
    bool simple = true;
    for (qsizetype i = 0; i < text.size() && simple; ++i) {
        const char16_t c = text[i].unicode();
        // Below U+0300 every code point is a cluster of its own, except CR LF.
        simple = c < 0x300 && !(c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n');
    }
    if (simple)
        return text.size();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.toString());
    qsizetype count = 0;
    while (finder.toNextBoundary() >= 0)
        ++count;
    return count;
}

QString changeDigest(const QList<DiffRow>& rows, qsizetype budget) {
    QStringList lines;
    qsizetype used = 0;
    bool cut = false;
    for (const DiffRow& row : rows) {
        QString line;
        switch (row.kind) {
        case DiffRow::Kind::Same:
            continue;
        case DiffRow::Kind::Added:
            line = QStringLiteral("ADDED: ") + row.rightText.value_or(QString());
            break;
        case DiffRow::Kind::Removed:
            line = QStringLiteral("REMOVED: ") + row.leftText.value_or(QString());
            break;
        case DiffRow::Kind::Changed:
            line = QStringLiteral("BEFORE: ") + row.leftText.value_or(QString()) +
                   QStringLiteral("\nAFTER: ") + row.rightText.value_or(QString());
            break;
        }
        const qsizetype length = characterCount(line);
        if (used + length > budget) {
            cut = true;
            break;
        }
        used += length;
        lines.append(line);
    }
    QString digest = lines.join(QLatin1Char('\n'));
    if (cut)
        digest += QStringLiteral("\n(more changes not shown)");
    return digest;
}

QString explanationInstructions() {
    return QStringLiteral(
        "You explain document differences for the Pendrel app. You are given the changed\n"
        "lines between two versions of a document. Summarise in plain English what actually\n"
        "changed in substance: numbers, dates, names, amounts, obligations, wording that\n"
        "alters meaning. Group related changes. Ignore trivial formatting or line-break\n"
        "noise. Be concise: short sentences, no preamble. If the changes look purely\n"
        "cosmetic, say so.");
}

QString explanationPrompt(const QString& changes, const QString& firstName,
                          const QString& secondName) {
    return QStringLiteral("Document A: ") + firstName + QStringLiteral("\nDocument B: ") +
           secondName + QStringLiteral("\n\nChanges:\n") + changes;
}

void explain(LanguageModel& model, const QString& changes, const QString& firstName,
             const QString& secondName, QObject* context,
             std::function<void(std::optional<QString>)> done) {
    if (!context || !done)
        return;
    if (!model.isAvailable()) {
        QMetaObject::invokeMethod(
            context, [done] { done(std::nullopt); }, Qt::QueuedConnection);
        return;
    }
    model.respond(explanationInstructions(), explanationPrompt(changes, firstName, secondName),
                  LanguageModelOptions{}, context,
                  [done](const LanguageModelResponse& response) { done(response.text); });
}

} // namespace DocumentDiff
