#include "developer/FileCompare.h"

#include "platform/DocumentText.h"
#include "platform/LanguageModel.h"
#include "platform/RegularFile.h"
#include "shell/ScreenState.h"

#include <QFileInfo>

namespace {

QString localPath(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

QString nameOf(const std::optional<QUrl>& url, const QString& fallback) {
    if (!url)
        return fallback;
    QString name = QFileInfo(url->path()).fileName();
    if (name.isEmpty())
        name = QFileInfo(QFileInfo(url->path()).path()).fileName(); // a folder ending in "/"
    return name;
}

} // namespace

FileCompare::FileCompare(ScreenState& screen, LanguageModel& model,
                         std::shared_ptr<DocumentText> documents, QObject* parent)
    : QObject(parent), m_screen(screen), m_model(model), m_documents(std::move(documents)),
      m_run(
          this,
          [](const Request& r, const auto& run) {
              return FileCompare::run(
                  r.first, r.second, *r.documents, run.cancel(),
                  [&run](QList<DiffRow> rows) { run.progress(std::move(rows)); });
          },
          {[this](const QList<DiffRow>& rows) { emit rowsAhead(rows); },
           [this](Outcome outcome) {
               publish(outcome);
               return outcome.error;
           }},
          2) {}

// The slot waits for the run, which stops at its next poll.
FileCompare::~FileCompare() = default;

void FileCompare::setSide(const QUrl& file, Side side) {
    if (side == Side::Left)
        m_screen.setCompareLeft(file);
    else
        m_screen.setCompareRight(file);
    startCompare();
}

void FileCompare::startCompare() {
    const std::optional<QUrl> left = m_screen.compareLeft();
    const std::optional<QUrl> right = m_screen.compareRight();
    if (!left || !right)
        return;
    m_run.start({localPath(*left), localPath(*right), m_documents});

    m_screen.setCompareError(std::nullopt);
    m_screen.setCompareBusy(true);
    // The rows of a large diff are tens of thousands of texts: once the screen has let go of
    // them (its model resets with the signal), the pool frees them.
    QList<DiffRow> shown = m_screen.compareRows();
    m_screen.setCompareRows({});
    if (!shown.isEmpty())
        ScanJob::runInPool([gone = std::move(shown)]() mutable { gone = {}; });
    m_screen.setCompareIdenticalBytes(std::nullopt);
    m_screen.setCompareAISummary(std::nullopt);
    m_screen.setCompareAIUnavailable(false);
    // An explanation still being written belongs to the old pair and will be dropped.
    m_screen.setCompareAIWorking(false);
}

void FileCompare::publish(const Outcome& outcome) {
    if (outcome.error) {
        m_screen.setCompareError(outcome.error);
        m_screen.setCompareBusy(false);
    } else if (outcome.mode != CompareMode::Text) {
        m_screen.setCompareIdenticalBytes(outcome.identicalBytes);
        m_screen.setCompareMode(outcome.mode);
        m_screen.setCompareBusy(false);
    } else {
        m_screen.setCompareRows(outcome.diff.rows);
        m_screen.setCompareSummary(outcome.diff.summary);
        m_screen.setCompareUsedExtraction(outcome.usedExtraction);
        m_screen.setCompareMode(CompareMode::Text);
        m_screen.setCompareBusy(false);
    }
    emit published();
}

QString FileCompare::firstName() const {
    return nameOf(m_screen.compareLeft(), QStringLiteral("First file"));
}

QString FileCompare::secondName() const {
    return nameOf(m_screen.compareRight(), QStringLiteral("Second file"));
}

void FileCompare::explainChanges() {
    if (!m_model.isAvailable()) {
        m_screen.setCompareAIUnavailable(true);
        return;
    }
    if (m_screen.compareAIWorking())
        return;
    m_screen.setCompareAIWorking(true);
    m_screen.setCompareAISummary(std::nullopt);
    const QString changes = DocumentDiff::changeDigest(m_screen.compareRows(), explanationBudget);
    const quint64 generation = m_run.generation();
    DocumentDiff::explain(m_model, changes, firstName(), secondName(), this,
                          [this, generation](const std::optional<QString>& text) {
                              publishExplanation(generation, text);
                          });
}

void FileCompare::publishExplanation(quint64 generation, const std::optional<QString>& text) {
    if (!m_run.isCurrent(generation))
        return;
    m_screen.setCompareAIWorking(false);
    if (text)
        m_screen.setCompareAISummary(text);
    else
        m_screen.setCompareAIUnavailable(true);
}

bool FileCompare::identical(const QString& first, const QString& second,
                            const CancelToken& cancel) {
    const QFileInfo a(first), b(second);
    if (RegularFile::isRegular(first) && RegularFile::isRegular(second) && a.size() != b.size())
        return false;
    const std::optional<QString> da = DocumentDiff::fileDigest(first, cancel);
    if (!da)
        return false;
    const std::optional<QString> db = DocumentDiff::fileDigest(second, cancel);
    return db && *da == *db;
}

FileCompare::Outcome FileCompare::run(const QString& first, const QString& second,
                                      DocumentText& documents, const CancelToken& cancel,
                                      const RowsAhead& ahead) {
    using DocumentDiff::TextFile;
    Outcome outcome;
    const QString e1 = DocumentDiff::extensionOf(first);
    const QString e2 = DocumentDiff::extensionOf(second);
    const auto& images = DocumentDiff::imageExtensions();
    const auto& docs = DocumentDiff::documentExtensions();
    const bool bothImages = images.contains(e1) && images.contains(e2);
    const bool bothDocuments = docs.contains(e1) && docs.contains(e2);

    const bool same = identical(first, second, cancel);
    auto bytesOnly = [&](CompareMode mode) {
        outcome.mode = mode;
        outcome.identicalBytes = same;
        return outcome;
    };
    if (bothImages)
        return bytesOnly(CompareMode::Image);

    std::optional<QString> t1, t2;
    if (bothDocuments) {
        t1 = DocumentDiff::extractText(first, documents, cancel);
        t2 = DocumentDiff::extractText(second, documents, cancel);
        outcome.usedExtraction = t1 && t2;
    }
    if (!outcome.usedExtraction) {
        if (!DocumentDiff::looksLikeText(first) || !DocumentDiff::looksLikeText(second))
            return bytesOnly(CompareMode::Binary);
        const TextFile r1 = DocumentDiff::readText(first, lineLimit, textByteLimit, cancel);
        const TextFile r2 = DocumentDiff::readText(second, lineLimit, textByteLimit, cancel);
        if (r1.status == TextFile::Status::NotText || r2.status == TextFile::Status::NotText) {
            outcome.error = QStringLiteral("One of the files couldn't be read as text.");
            return outcome;
        }
        if (r1.status == TextFile::Status::OverLimit || r2.status == TextFile::Status::OverLimit)
            return bytesOnly(CompareMode::TooBig);
        t1 = r1.text;
        t2 = r2.text;
    } else if (t1->size() > textByteLimit || t2->size() > textByteLimit) {
        return bytesOnly(CompareMode::TooBig);
    }

    // Views into the two texts, which outlive the diff: only the lines the rows show are copied.
    const std::vector<QStringView> lines1 = DocumentDiff::lineViews(*t1);
    const std::vector<QStringView> lines2 = DocumentDiff::lineViews(*t2);
    if (qint64(lines1.size()) > lineLimit || qint64(lines2.size()) > lineLimit)
        return bytesOnly(CompareMode::TooBig);
    outcome.diff = DocumentDiff::lineDiffOfViews(lines1, lines2, cancel, ahead, aheadRows);
    outcome.mode = CompareMode::Text;
    return outcome;
}
