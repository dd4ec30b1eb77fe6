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

#if defined(__SSE2__)
// All ones in the lanes of the eight characters that are line breaks.
__m128i breakLanes(__m128i v) {
    const __m128i zero = _mm_setzero_si128();
    // LF, VT, FF, CR: c - 0x0A, unsigned, is at most 3.
    const __m128i controls = _mm_cmpeq_epi16(
        _mm_subs_epu16(_mm_sub_epi16(v, _mm_set1_epi16(0x0A)), _mm_set1_epi16(3)), zero);
    const __m128i separators = _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(0x2028)),
                                            _mm_cmpeq_epi16(v, _mm_set1_epi16(0x2029)));
    return _mm_or_si128(_mm_or_si128(controls, separators),
                        _mm_cmpeq_epi16(v, _mm_set1_epi16(0x85)));
}
#endif

// Calls add(start, size) for each line of the text in order, as splitLines cuts them. Sixteen
// characters at a time give a mask of their breaks, walked bit by bit: a branch per line rather
// than per character.
template <typename Add> void forEachLine(const QString& text, Add add) {
    const qsizetype n = text.size();
    const auto* d = reinterpret_cast<const char16_t*>(text.constData());
    qsizetype start = 0, i = 0;
#if defined(__SSE2__)
    for (; n - i >= 16; i += 16) {
        const __m128i low = breakLanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i)));
        const __m128i high =
            breakLanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i + 8)));
        for (auto mask = unsigned(_mm_movemask_epi8(_mm_packs_epi16(low, high))); mask != 0;
             mask &= mask - 1) {
            const qsizetype end = i + std::countr_zero(mask);
            add(start, end - start);
            start = end + 1;
        }
    }
#endif
    for (; i < n; ++i) {
        if (isLineBreak(d[i])) {
            add(start, i - start);
            start = i + 1;
        }
    }
    add(start, n - start);
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
    // A piece small enough to come from the heap rather than fresh pages: the text is copied out
    // of it anyway.
    QByteArray piece(64 << 10, Qt::Uninitialized);
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
