#pragma once

#include "platform/CancelToken.h"

#include "shell/DiffRow.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

class DocumentText;
class LanguageModel;
class QObject;

// The engine behind the file compare: what kind a file is, whether it reads as text, the text
// inside documents, the digest of a whole file, the line diff, and the text and call that have
// the language model explain a diff. Stateless; everything but explain() blocks and may run on
// any thread. A cancel token, where taken, is polled on the way and makes the answer worthless
// (the caller drops it).
namespace DocumentDiff {

// Lower-case extensions. Images: jpg jpeg png heic heif tiff bmp gif webp. Documents, compared
// by the text inside them: pdf docx doc rtf rtfd odt html htm.
const QSet<QString>& imageExtensions();
const QSet<QString>& documentExtensions();
// A file's extension as those sets hold it: the text after the last dot of the name,
// lower-cased; empty when the name has no dot.
QString extensionOf(const QString& path);

struct LineDiff {
    QList<DiffRow> rows;
    DiffSummary summary;
};

// The rows that turn `first` into `second`, by the longest common subsequence of their lines.
// Lines are equal when they are canonically equivalent Unicode (a precomposed letter equals the
// letter followed by its combining mark); nothing is trimmed or folded.
//
// The walk runs forward taking matches first; between matches it takes a line of `first` only
// when that keeps the longer common subsequence, so on a tie the line of `second` goes first.
// Each run of differences between two matches is then paired off: the k-th removed line with
// the k-th added one as Changed, the longer side's tail as plain Removed or Added rows. Row ids
// count every row from 0 in output order; line numbers are 1-based.
//
// A pair that differs in few lines takes time and memory that grow with the square of the
// number of differing lines (at most 4,000 of them are searched that way, under 32 MB); any
// other pair takes time that grows with the product of the line counts divided by 64 and keeps
// one bit per cell for one row in 64 (under 1 MB for 20,000 lines a side).
LineDiff lineDiff(const QStringList& first, const QStringList& second,
                  const CancelToken& cancel = CancelToken());
// The same rows from lines that are views into texts the caller keeps alive for the call. Each
// row's text is made when the row is: a line no row shows is never copied, and a Same row whose
// sides are identical holds one shared text for both.
//
// `firstRows`, when set, is handed the result's first `firstCount` rows (firstCount > 0) as soon
// as the walk has made them, on the calling thread, while the rest is still to come: once, and
// never for a result of fewer rows.
using FirstRows = std::function<void(QList<DiffRow>)>;
LineDiff lineDiffOfViews(const std::vector<QStringView>& first,
                         const std::vector<QStringView>& second,
                         const CancelToken& cancel = CancelToken(), const FirstRows& firstRows = {},
                         qsizetype firstCount = 0);

// Splits at every line-break character on its own (LF, CR, VT, FF, U+0085, U+2028, U+2029): a
// CR LF pair leaves an empty line between, a text ending in a break has an empty last line, and
// the empty text is one empty line.
QStringList splitLines(const QString& text);
// The same lines as views into `text`, which must outlive them.
std::vector<QStringView> lineViews(const QString& text);

// True when the first 8192 bytes of a regular file hold no byte 0 and are UTF-8 (an empty file
// is text; a full sample may end inside a character). False for anything that cannot be
// opened or read, and for folders, FIFOs and devices, which are never waited on.
bool looksLikeText(const QString& path);

// A whole text file read for diffing: the file is streamed once, checked as UTF-8 and its lines
// counted; its text is only kept while it stays within both limits.
struct TextFile {
    enum class Status {
        Text,      // `text` holds the file
        NotText,   // unreadable, not a regular file, or not UTF-8 as a whole
        OverLimit, // well-formed, but more lines or bytes than the limits allow
    };
    Status status = Status::NotText;
    QString text;
};
TextFile readText(const QString& path, qint64 maxLines, qint64 maxBytes,
                  const CancelToken& cancel = CancelToken());

// The text inside a document, through the platform's reader; nothing when the reader has
// none or the text is blank (only white space and line breaks). Otherwise the text as read,
// untrimmed.
std::optional<QString> extractText(const QString& path, DocumentText& documents,
                                   const CancelToken& cancel = CancelToken());

// The SHA-256 of the whole file as 64 lowercase hexadecimal digits; nothing when the path is
// not a readable regular file or a read fails part-way.
std::optional<QString> fileDigest(const QString& path, const CancelToken& cancel = CancelToken());
// One two-digit lowercase text per byte of a digest; joined without separator they are its hex.
QStringList hexString(const QByteArray& digest);

// The changed lines for the language model: "ADDED: ", "REMOVED: " or "BEFORE: …\nAFTER: …"
// per row, in order, Same rows left out, joined with line feeds. A line is taken only while
// the characters taken (user-perceived characters, joins not counted) stay within `budget`;
// the first line that would go over ends the walk and "\n(more changes not shown)" is appended.
QString changeDigest(const QList<DiffRow>& rows, qsizetype budget);
// User-perceived characters (extended grapheme clusters).
qsizetype characterCount(QStringView text);

// The model's standing instructions and the request for one pair of documents.
QString explanationInstructions();
QString explanationPrompt(const QString& changes, const QString& firstName,
                          const QString& secondName);

// Has the model explain the changes between two documents, in a session of its own with the
// default options. `done` runs once, on the thread of `context` after this returns: with the
// model's text, or with nothing when the model is unavailable or fails.
void explain(LanguageModel& model, const QString& changes, const QString& firstName,
             const QString& secondName, QObject* context,
             std::function<void(std::optional<QString>)> done);

} // namespace DocumentDiff
