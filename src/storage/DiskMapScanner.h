#pragma once

#include "platform/HomeLayout.h"
#include "shell/ScanService.h"
#include "storage/DiskMapMeasurer.h"
#include "storage/MapNode.h"

#include <functional>
#include <optional>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <utility>
#include <variant>

// The disk map of the home folder: on request, every visible item of home is measured in
// parallel into a MapNode tree,
// with a progress text while it runs, and the result is published.
//
// Published fields change on the main thread only. scan() supersedes any scan before it: the old
// one is cancelled and nothing it sends is applied (every scan and every effective cancel
// advances the generation, and texts and outcomes of another generation are dropped). A
// progress text is applied only while the current scan is still running, so a late one never
// turns a finished or failed scan back into a running one. Folders that cannot be read do not
// fail the scan; an unreadable or empty home does.
class DiskMapScanner : public QObject {
    Q_OBJECT
public:
    // What a running scan says it is doing; a scan starts at openingText().
    struct Progress {
        Progress();
        explicit Progress(QString text) : text(std::move(text)) {}
        QString text;
        bool operator==(const Progress&) const = default;
    };
    // The scan's slot's: Running carries the progress text, Failed the message for the user.
    using State = ScanState<Progress>;

    // What a scan reads: the home folder, the names of the user folders directly in it (by
    // category, so a translated "Downloads" is still downloads), and the measurement's tools.
    struct Request {
        QString home;
        QHash<QString, DiskMapCategory> userFolders;
        // Every item is measured in one walk of home on measure.walkerThreads threads.
        DiskMapMeasurer::Options measure;
    };

    // The outcome of a scan body: a result, or the message for the user.
    using Outcome = std::variant<DiskMapResult, QString>;
    using Report = DiskMapTally::Report;

    // The names in home that are never measured, even by a listing that shows hidden items: the
    // trash, cache and package-manager folders ".Trash", ".cache", ".npm", ".gradle". Every visible
    // item of home is measured.
    static const QStringList& skippedHomeNames();

    // The request for this home: its user folders from the layout, `du` as the disk-usage tool.
    static Request requestFor(const HomeLayout& layout);

    explicit DiskMapScanner(Request request, QObject* parent = nullptr);
    ~DiskMapScanner() override;

    State state() const { return m_scan.state(); }
    // The last successful scan; none while scanning, after a failure and before any scan.
    const std::optional<DiskMapResult>& result() const { return m_result; }
    quint64 scanGeneration() const { return m_scan.generation(); }

    // Starts a scan at once: state Running with "Opening your home folder", no result. Main
    // thread only.
    void scan();
    // Stops a running scan: state Idle, nothing of it applied later. Does nothing otherwise.
    void cancel();

    // Applies a progress text of the given generation: only while that scan is current and still
    // running. Main thread; the scan calls it.
    void applyProgress(quint64 generation, const QString& text);

    // The scan body, for any thread: lists home, measures its items in parallel and builds the
    // root. Progress texts go to report from the measuring threads.
    static Outcome runScan(const Request& request, const CancelToken& token, const Report& report);

    // The category rules of the disk map (see ContentClassifier).
    static std::optional<DiskMapCategory> categoryFromKeywords(const QString& name);
    static DiskMapCategory topLevelCategory(const QString& name);
    static DiskMapCategory fileCategory(const QString& path, DiskMapCategory fallback);
    // The category with the most bytes among the children not classed unknown (a child of no
    // bytes still counts for its category); none when every child is unknown or there are none.
    // Ties go to the category declared first.
    static std::optional<DiskMapCategory> dominantCategory(const QList<MapNode>& children);

    // The texts of the scan.
    static QString openingText();
    static QString unreadableHomeText();
    static QString emptyHomeText();
    static QString stoppedText();

signals:
    void stateChanged();
    void resultChanged();

private:
    std::optional<QString> publish(Outcome outcome);
    void setResult(std::optional<DiskMapResult> result);

    Request m_request;
    std::optional<DiskMapResult> m_result;
    ScanService<Request, Progress, Outcome> m_scan;
};
