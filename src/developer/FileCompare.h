#pragma once

#include "developer/DocumentDiff.h"
#include "shell/ScanService.h"
#include "shell/ScreenModes.h"

#include <memory>
#include <optional>
#include <QObject>
#include <QUrl>

class DocumentText;
class LanguageModel;
class ScreenState;

// The file compare's logic. It works on the compare fields of ScreenState, so what the screen
// shows survives navigation: the two files, the kind of result, the rows and counts of a line
// diff, the byte verdict, the error, and the model's explanation.
//
// As soon as both sides hold a file, every change of a side starts a run in the background:
// - byte identity for every pair (a pair of different sizes needs no reading; a file that
//   cannot be read is never identical);
// - two images: the byte verdict only (Image);
// - two documents: the line diff of the text inside them, when both have some;
// - otherwise two files that sniff as UTF-8 text: the line diff of their text; one that then
//   does not read as UTF-8 as a whole gives the error "One of the files couldn't be read as
//   text."; anything else: the byte verdict (Binary);
// - more than 20,000 lines (or 64 MiB of text) on a side: the byte verdict (TooBig).
//
// Each run carries a generation number: starting a run cancels the one before, whose result,
// if it still arrives, is dropped, so the fields always describe the pair on the sides. An
// explanation belongs to the run it explained and is dropped once another run has started.
//
// A line diff's rows are shown as soon as they are known: a run hands its first aheadRows rows
// over through rowsAhead while it is still busy, as soon as the diff has made them. They are the
// first rows of the result it then publishes, which replaces them.
//
// Main thread only; the runs and the model work elsewhere. ScreenState and the model must
// outlive this object; destruction cancels the run and waits for it.
class FileCompare : public QObject {
    Q_OBJECT
public:
    enum class Side : quint8 { Left, Right };

    static constexpr qint64 lineLimit = 20000;
    static constexpr qint64 textByteLimit = 64ll * 1024 * 1024;
    static constexpr qsizetype explanationBudget = 6000;
    // More than a window of the tallest screen shows at the smallest text size.
    static constexpr qsizetype aheadRows = 400;

    FileCompare(ScreenState& screen, LanguageModel& model, std::shared_ptr<DocumentText> documents,
                QObject* parent = nullptr);
    ~FileCompare() override;

    // Puts a file on one side and compares again.
    void setSide(const QUrl& file, Side side);
    // Starts a run when both sides hold a file; clears the last result's rows, error, byte
    // verdict and explanation at once and sets compareBusy until the run publishes.
    void startCompare();
    // Has the model explain the current rows. Without a model, compareAIUnavailable turns true
    // at once; otherwise compareAIWorking is true until compareAISummary or
    // compareAIUnavailable is written. Does nothing while an explanation is being written.
    void explainChanges();

    // The names the model is told: the sides' file names, or "First file" / "Second file".
    QString firstName() const;
    QString secondName() const;

    // What one run found; computed off the main thread.
    struct Outcome {
        CompareMode mode = CompareMode::None;
        std::optional<QString> error;
        std::optional<bool> identicalBytes;
        DocumentDiff::LineDiff diff;
        bool usedExtraction = false;
    };
    // `ahead`, when set, is handed the first aheadRows rows of a line diff before the rest is
    // made (at most once; not for a diff of fewer rows).
    using RowsAhead = DocumentDiff::FirstRows;
    static Outcome run(const QString& first, const QString& second, DocumentText& documents,
                       const CancelToken& cancel = CancelToken(), const RowsAhead& ahead = {});
    // Byte identity: equal digests of two readable regular files.
    static bool identical(const QString& first, const QString& second,
                          const CancelToken& cancel = CancelToken());

    quint64 generation() const { return m_run.generation(); }

signals:
    // A run's result reached the fields (not emitted for dropped results).
    void published();
    // The first rows of the current run's line diff, known before its result; compareBusy is
    // still true.
    void rowsAhead(const QList<DiffRow>& rows);

private:
    // The two sides' files, and the extractor the run reads documents with.
    struct Request {
        QString first;
        QString second;
        std::shared_ptr<DocumentText> documents;
    };

    void publish(const Outcome& outcome);
    void publishExplanation(quint64 generation, const std::optional<QString>& text);

    ScreenState& m_screen;
    LanguageModel& m_model;
    std::shared_ptr<DocumentText> m_documents;
    // Two threads of its own: a superseded run may still be finishing a blocking step while its
    // successor starts. Last, so the runs end before the rest goes.
    ScanService<Request, QList<DiffRow>, Outcome> m_run;
};
