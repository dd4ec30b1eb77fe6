#pragma once

#include "home/IssueSeverity.h"
#include "measuring/CleanCategory.h"
#include "platform/CancelToken.h"
#include "platform/HomeLayout.h"
#include "shell/ScanService.h"
#include "shell/ScanState.h"

#include <memory>
#include <optional>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

class CategoryMeasure;
class Clock;

// What the vitals sampler does not see: how much clearable junk sits in the cleaner's rows that
// are on by default (caches, logs, the Trash, build files), and how many single files of a
// gibibyte or more the user keeps in their home folder. The home screen and the health report
// read it and start its measurements; nothing of it is stored, so every run starts unchecked.
//
// Each measurement is a scan of its own, whose state its slot keeps: Idle (not checked) →
// Running (checking) → Done (the big-file walk may end Failed instead). A refresh while the same
// measurement is checking is ignored; a refresh from Done or Failed drops the old result at once
// and publishes the new one when it ends. lastRun changes only when a Done result is published.
// All published fields change on the main thread only; the measuring runs on the thread pool and
// is abandoned when the service goes away.
class HealthCheck : public QObject {
    Q_OBJECT
public:
    struct Finding {
        qint64 bytes = 0;
        int count = 0;
        QString summary; // one sentence for the user
        IssueSeverity severity = IssueSeverity::Good;

        // The severity follows from the rest, so it takes no part in equality.
        bool operator==(const Finding& o) const {
            return bytes == o.bytes && count == o.count && summary == o.summary;
        }
    };

    // One measurement as the screens read it: its scan's state, and what a Done one found. A
    // value put together on each read from the slot and the last result, never kept.
    struct Status : ScanState<NoProgress> {
        Finding finding; // only for Done

        static Status done(Finding f) { return {ScanState::done(), std::move(f)}; }
        static Status failed(QString m) { return {ScanState::failed(std::move(m)), {}}; }
        static Status checking() { return {ScanState::running(), {}}; }
        bool isDone() const { return phase == ScanPhase::Done; }
        bool isChecking() const { return isRunning(); }
        // The finding of a done status; null for every other case.
        const Finding* doneFinding() const { return isDone() ? &finding : nullptr; }

        bool operator==(const Status&) const = default;
    };

    struct Deps {
        // Measures one cleaner row (the cleaners' own measurer); required.
        std::shared_ptr<const CategoryMeasure> measure;
        // Stamps lastRun; empty: the system clock.
        std::shared_ptr<const Clock> clock;
        // Threads of the big-file walk; 0 = the walker's default.
        int walkerThreads = 0;
    };

    HealthCheck(const HomeLayout& layout, Deps deps, QObject* parent = nullptr);
    ~HealthCheck() override;

    Status junk() const { return status(m_junkScan.state(), m_junkFound); }
    Status bigFiles() const { return status(m_bigFilesScan.state(), m_bigFilesFound); }
    const std::optional<QDateTime>& lastRun() const { return m_lastRun; }

    bool isChecking() const { return m_junkScan.isRunning() || m_bigFilesScan.isRunning(); }
    // The junk bytes plus the big-file bytes, each only when its measurement is done.
    qint64 recoverableBytes() const;

    // Start a measurement and return at once; nothing happens while the same one is checking
    // (the other measurement never blocks it).
    void refreshJunk();
    void refreshBigFiles();

    // --- Pure parts, shared with the screens and the assistant -------------------------------

    // The finished junk measurement and big-file walk, worded and cut by HealthCheckText.
    static Finding junkFinding(qint64 bytes, int files);
    static Finding bigFilesFinding(qint64 bytes, int count);

    // The cleaner rows measured for junk: the general storage table's rows on by default, in
    // table order.
    static QList<CleanCategory> junkRows(const HomeLayout& layout);

    // What the big-file walk found: files of at least bigFileBytes and their bytes.
    struct BigFileTally {
        qint64 bytes = 0;
        int count = 0;
    };
    static constexpr qint64 bigFileBytes = 1'073'741'824; // 1 GiB
    // Walks home for files that take at least minBytes on disk: regular files only (symlinks
    // are not followed, a file with several names counts once), never inside hidden folders,
    // folders named "Library", packages (packageExtensions) or the given folders. A file's size
    // is its allocated size, what removing it would free: a sparse file that claims 2 GiB but
    // holds no blocks is no big file. None when home cannot be read at all.
    static std::optional<BigFileTally> countBigFiles(const QString& home,
                                                     const QStringList& skippedFolders, int threads,
                                                     const CancelToken& cancel = CancelToken(),
                                                     qint64 minBytes = bigFileBytes);
    // The folders of this home that stand for the other platform's Library (caches, data,
    // settings, state, sandboxed apps' data, the Trash): never searched for big files.
    static QStringList libraryFolders(const HomeLayout& layout);
    // The 17 lower-case extensions of folders that are packages ("app", "bundle", …).
    static const QStringList& packageExtensions();

    static QString homeUnreadableMessage();

signals:
    void junkChanged(const HealthCheck::Status& status);
    void bigFilesChanged(const HealthCheck::Status& status);
    void lastRunChanged(const std::optional<QDateTime>& lastRun);

private:
    struct JunkRequest {
        QList<CleanCategory> rows;
        std::shared_ptr<const CategoryMeasure> measure;
    };
    struct JunkTally {
        qint64 bytes = 0;
        int files = 0;
    };
    struct BigFilesRequest {
        QString home;
        QStringList skipped;
        int threads = 0;
    };
    using JunkScan = ScanService<JunkRequest, NoProgress, JunkTally>;
    using BigFilesScan = ScanService<BigFilesRequest, NoProgress, std::optional<BigFileTally>>;

    static JunkTally measureJunk(const JunkRequest& request, const JunkScan::Run& run);
    static Status status(const ScanState<NoProgress>& state, const Finding& found);
    void stampLastRun();

    HomeLayout m_layout;
    Deps m_deps;
    // The last Done result of each measurement; shown only while its scan is Done.
    Finding m_junkFound;
    Finding m_bigFilesFound;
    std::optional<QDateTime> m_lastRun;
    JunkScan m_junkScan;
    BigFilesScan m_bigFilesScan;
};
