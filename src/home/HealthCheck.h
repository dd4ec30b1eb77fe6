#pragma once

#include "home/IssueSeverity.h"
#include "measuring/CleanCategory.h"
#include "platform/CancelToken.h"
#include "platform/HomeLayout.h"

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
// Each measurement moves on its own: notChecked → checking → done (the big-file walk may end
// failed instead). A refresh while the same measurement is checking is ignored; a refresh from
// done or failed drops the old result at once and publishes the new one when it ends. lastRun
// changes only when a done result is published. All published fields change on the main thread
// only; the measuring runs on the thread pool and is abandoned when the service goes away.
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

    struct Status {
        enum class Kind { Done, Failed, NotChecked, Checking };
        Kind kind = Kind::NotChecked;
        Finding finding; // only for Done
        QString message; // only for Failed

        static Status done(Finding f) { return {Kind::Done, std::move(f), {}}; }
        static Status failed(QString m) { return {Kind::Failed, {}, std::move(m)}; }
        static Status checking() { return {Kind::Checking, {}, {}}; }
        bool isDone() const { return kind == Kind::Done; }
        bool isChecking() const { return kind == Kind::Checking; }
        // The finding of a done status; null for every other case.
        const Finding* doneFinding() const { return isDone() ? &finding : nullptr; }

        bool operator==(const Status& o) const;
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

    const Status& junk() const { return m_junk; }
    const Status& bigFiles() const { return m_bigFiles; }
    const std::optional<QDateTime>& lastRun() const { return m_lastRun; }

    bool isChecking() const { return m_junk.isChecking() || m_bigFiles.isChecking(); }
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
    void setJunk(const Status& status);
    void setBigFiles(const Status& status);
    void stampLastRun();

    HomeLayout m_layout;
    Deps m_deps;
    CancelToken m_cancel; // cancelled when the service goes away
    Status m_junk;
    Status m_bigFiles;
    std::optional<QDateTime> m_lastRun;
};
