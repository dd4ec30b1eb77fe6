#pragma once

#include "cleaning/CategoryCleaner.h"
#include "measuring/CategoryMeasure.h"
#include "measuring/CleanCategory.h"
#include "platform/HomeLayout.h"
#include "shell/ScanService.h"
#include "shell/ScanState.h"

#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <variant>

class Trash;

// What a cleaner's scan reports after each row, and what its Running state keeps of it: the rows
// measured so far and the name of the row on hand (empty before the first). A step that measured
// a row carries the row's measurement, which goes into the table; the state keeps none.
struct CleanupProgress {
    int done = 0;
    QString label;
    std::optional<Measurement> measurement; // of row done - 1, on the step that measured it
    bool operator==(const CleanupProgress&) const = default;
};

// The service behind every cleaner: one table of categories, measured on request with progress
// a screen can show, and cleaned to the Trash on request.
//
// Published fields change on the main thread only. A scan measures the rows one after another
// in table order on the shared thread pool and publishes after each row: the whole table (rows
// not yet measured show 0), and its state's progress (the rows measured and the row's name). A
// new scan cancels the one before it (its late results are dropped), so the last scan started is
// the one that publishes. The scan itself never fails: what cannot be read measures less.
//
// The four subclasses differ only in their table (the mail and screenshot cleaners rebuild
// theirs from the disk at every scan).
class CleanupScanner : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<CleanCategory> categories READ categories NOTIFY categoriesChanged)
public:
    // Declared outside the class: a nested struct with member initialisers does not count as
    // default-constructible inside its class, and the slot keeps only such a step.
    using Progress = CleanupProgress;
    // The scan's state as its slot keeps it.
    using State = ScanState<Progress>;

    // What a cleaner measures and cleans with; one set is shared by every cleaner of the app.
    struct Deps {
        // Both required: they have no system default without a home (see system()).
        std::shared_ptr<const CategoryMeasure> measure;
        std::shared_ptr<Trash> trash;
        // Folders no cleaner measures, lists or moves: the app's own folders and the Trash.
        QStringList protectedPaths;
        // Folders whose contents no row may empty or search, checked when cleaning (the
        // measuring tool holds its own); none unless given.
        ContentsGuard guard = {};

        // The real ones for this home: the directory walker and `du` for measuring, the
        // freedesktop home Trash for cleaning, and the layout's guard for both.
        static Deps system(const HomeLayout& layout);
    };
    // The app's own folders and the Trash of this home.
    static QStringList protectedPathsFor(const HomeLayout& layout);

    // The table is published as given, measurement fields included; state idle, progress 0/0.
    CleanupScanner(QList<CleanCategory> categories, Deps deps, QObject* parent = nullptr);
    ~CleanupScanner() override;

    State state() const { return m_scan.state(); }
    const QList<CleanCategory>& categories() const { return m_categories; }
    // The progress a screen shows, read from the state: while Running, the rows measured of the
    // table's and the row on hand ("Starting…" before the first); once Done, every row and no
    // label; while Idle, nothing.
    int progressDone() const;
    int progressTotal() const;
    QString progressLabel() const;
    bool isScanning() const { return m_scan.isRunning(); }

    // Starts measuring every row and returns at once: state Running with no row measured, every
    // row's measurement zeroed. Ends Done. Main thread only.
    virtual void scan();
    // Stops a running scan: its results are dropped, the rows keep what was published so far,
    // state goes back to idle. Nothing happens when no scan runs.
    void cancelScan();

    // Cleans the rows with these ids (see CategoryCleaner) off the main thread, from the table
    // as it is now, then calls done with the result on the main thread, from the event loop
    // (never inside this call), whether or not this scanner still exists then. Publishes
    // nothing; the caller shows the result and rescans.
    void clean(const QSet<QString>& ids, std::function<void(const CleanResult&)> done) const;

    // Measures one row synchronously on the calling thread (for the health check, the assistant
    // and the automation); keep it off the main thread.
    Measurement measure(const CleanCategory& category) const;
    const Deps& deps() const { return m_deps; }

signals:
    // Every change of state(), its progress included.
    void stateChanged();
    void categoriesChanged();

protected:
    // Replaces the whole table (one publication).
    void setCategories(QList<CleanCategory> categories);

private:
    // What a scan reads: the rows to measure, and the measurer.
    struct Request {
        QList<CleanCategory> rows;
        std::shared_ptr<const CategoryMeasure> measure;
    };
    // The scan ends with nothing but the rows it reported.
    using ScanSlot = ScanService<Request, Progress, std::monostate>;

    static std::monostate measureRows(const Request& request, const ScanSlot::Run& run);
    void applyStep(const Progress& step);

    Deps m_deps;
    std::shared_ptr<const CategoryCleaner> m_cleaner;
    QList<CleanCategory> m_categories;
    ScanSlot m_scan;
};

// System junk: caches, logs, the Trash, build files, old downloads, .bak files.
class DiskCleanupScanner : public CleanupScanner {
    Q_OBJECT
public:
    DiskCleanupScanner(const HomeLayout& layout, Deps deps, QObject* parent = nullptr)
        : CleanupScanner(CleanCategory::diskCategories(layout), std::move(deps), parent) {}
};

// Developer caches: build folders, package caches, local models, node_modules folders.
class DevCleanupScanner : public CleanupScanner {
    Q_OBJECT
public:
    DevCleanupScanner(const HomeLayout& layout, Deps deps, QObject* parent = nullptr)
        : CleanupScanner(CleanCategory::devCategories(layout), std::move(deps), parent) {}
};

// What the mail clients keep on this computer. Rows exist only for places present on the disk,
// so the table is rebuilt at every scan and a client installed or removed since is seen.
class MailCleanupScanner : public CleanupScanner {
    Q_OBJECT
public:
    MailCleanupScanner(const HomeLayout& layout, Deps deps, QObject* parent = nullptr);

    // Up to 9 rows, each with only the candidate places that exist now; rows without any are
    // left out, the order kept.
    static QList<CleanCategory> locations(const HomeLayout& layout);
    // The Thunderbird profile folders: the visible direct subfolders of the profiles folder, in
    // listing order (symlinks and plain files are not profiles). Empty when it cannot be listed.
    static QStringList thunderbirdProfiles(const HomeLayout& layout);
    // The paths that exist (files or folders, through symlinks), order kept.
    static QStringList existingLocations(const QStringList& paths);

    // Rebuilds the table from the disk, then scans it.
    void scan() override;

private:
    HomeLayout m_layout;
};

// Screen captures on the Desktop, in Downloads and in Pictures/Screenshots, in three
// overlapping age bands.
class ScreenshotCleanupScanner : public CleanupScanner {
    Q_OBJECT
public:
    ScreenshotCleanupScanner(const HomeLayout& layout, Deps deps, QObject* parent = nullptr);

    using CleanupScanner::categories;
    // The three rows: older than 7 days, older than 30 days, all.
    static QList<CleanCategory> categories(const HomeLayout& layout);

    // Rebuilds the table (dropping the last measurement), then scans it.
    void scan() override;

private:
    HomeLayout m_layout;
};
