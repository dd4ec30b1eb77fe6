#pragma once

#include "platform/CancelToken.h"
#include "shell/ScanService.h"
#include "storage/ContentCategory.h"
#include "storage/FolderEntry.h"
#include "storage/FolderEntryModel.h"
#include "storage/FolderSizeTotal.h"

#include <functional>
#include <optional>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

// The folder browser's service: one folder of the home folder at a time. Opening a folder lists
// its visible children at once (files with their sizes, folders and packages without), publishes
// that list, and then measures every folder and package in the background on a few workers, each
// size filling in as it arrives. Measured sizes are kept per path across listings, so going back
// to a folder shows its sizes at once and measures nothing again.
//
// Contract:
// - Published fields change on the main thread only, and every operation is called there.
// - Every open() starts a new generation: the work of the ones before it is cancelled, and a
//   listing or size that still arrives from them is dropped (and not cached), so nothing stale
//   ever shows.
// - A folder that cannot be listed ends with no entries and the fixed error text; its
//   underlying reason is not shown. Items that cannot be read while measuring are left out of
//   the sums; a folder that cannot be walked at all measures 0 bytes in 0 files.
// - A folder's size is what `du -sk` counts for it (measureFolder): every allocated block below
//   it, hidden items, packages and folders' own blocks included, each hard-linked file once;
//   symlinks are never followed. The total counts a file held by several rows once.
// - The list is re-sorted when the sort order changes and once when the last size of a listing
//   has arrived, never on each size, so rows do not jump while the user reads them. A list of
//   many rows is sorted on the pool: the new order shows a moment after the call.
// - A large folder shows its first rows (the first ones the folder gives, in the current order)
//   as soon as they are read; the listing then ends with the whole folder in their place. From
//   the first rows on the tree no longer counts as listing, and the rest of the folder counts as
//   one measurement outstanding until its rows are in.
class FolderTree : public QObject {
    Q_OBJECT
public:
    using Entry = FolderEntry;
    using SortOrder = FolderSortOrder;

    // A file of several names that a size counted, so that a total over several sizes counts
    // it once.
    using LinkedFile = FolderSizeTotal::LinkedFile;
    struct Size {
        qint64 bytes = 0;
        int files = 0;
        // The files of several names among those counted (none: each counts in full anywhere).
        QList<LinkedFile> linked;
        bool operator==(const Size&) const = default;
    };

    // One visible child of a listed folder, as read from the disk.
    struct Listed {
        QString name;
        QString path;
        bool isDirectory = false;
        qint64 allocatedBytes = 0;
        qint64 sizeBytes = 0;
        std::optional<QDateTime> modified;
        // A plain file's identity, when it has more names than this one (links > 1), so that
        // the total counts it once with the rows that hold its other names.
        quint64 device = 0;
        quint64 inode = 0;
        quint32 links = 1;
    };
    using Listing = std::optional<QList<Listed>>;

    // How the tree reads the disk. Both functions run on worker threads, several at once, and
    // must be thread-safe; an empty function means the built-in one (listFolder, measureFolder).
    struct Deps {
        // The visible children of a folder, in the order the folder gives them; none when the
        // folder cannot be read.
        std::function<Listing(const QString& folder)> list;
        // The first `count` visible children of a folder in the order the folder gives them,
        // read on their own before the whole listing; fewer when the folder has no more or
        // cannot be read. Empty: with the built-in list, firstOfFolder; beside a list of the
        // caller's own, none (its listing shows whole).
        std::function<QList<Listed>(const QString& folder, int count)> listFirst;
        // The size of one folder or package; may stop early once cancel is set.
        std::function<Size(const QString& folder, const CancelToken& cancel)> measure;
        // Processors, for the worker count (ParallelLoop::outerThreads); 0: what the machine
        // reports.
        int processors = 0;
    };

    // The built-in tools.
    explicit FolderTree(QString home, QObject* parent = nullptr);
    FolderTree(QString home, Deps tools, QObject* parent = nullptr);
    ~FolderTree() override;

    const QString& home() const { return m_home; }
    // Folders entered below home, outermost first.
    const QStringList& trail() const { return m_trail; }
    void setTrail(const QStringList& trail);
    // The last folder of the trail, or home when the trail is empty.
    QString currentFolder() const;

    // The children of the folder shown, in the current sort order; also as a model for views.
    const QList<Entry>& entries() const { return m_model.entries(); }
    FolderEntryModel* model() { return &m_model; }
    bool isListing() const { return m_listing; }
    // Folder measurements of the current listing still outstanding; the last stays counted until
    // the rows are in their final order.
    int measuringCount() const { return m_measuring; }
    const std::optional<QString>& error() const { return m_error; }
    SortOrder sortOrder() const { return m_sortOrder; }
    // Re-sorts the entries: a few thousand at once, more on the pool, the rows then following
    // in one layout change (entriesChanged). The order itself is taken at once.
    void setSortOrder(SortOrder order);
    quint64 generation() const { return m_scan.generation(); }

    // Measured sizes by entry id, kept across listings.
    const QHash<QString, Size>& sizeCache() const { return m_sizeCache; }
    // Forgets every measured size; the next listing measures its folders again, a listing under
    // way included.
    void clearSizeCache() {
        m_sizeCache.clear();
        ++m_cacheRevision;
    }

    // Starts showing the folder (the trail is left as it is): the entries empty out, listing
    // starts, and the call returns at once. Taken by value: the caller's text may live in the
    // entries that this call empties (an entry's path).
    void open(QString folder);
    // Goes into a folder entry (not a file, not a package): appends it to the trail and opens
    // it. Anything else does nothing. The entry may be one of entries(): its path is copied
    // before the trail's listeners run and before the entries are replaced.
    void enter(const Entry& entry);
    // Back out of the last folder of the trail; nothing at home.
    void goUp();
    // Negative: back to home; below the trail's length: keeps index + 1 folders; otherwise the
    // trail stays. Always lists the current folder again.
    void jumpToTrail(int index);

    // The bytes of the measured sizes on show, a file of several names once however many of
    // them hold it (as `du` counts several folders); unmeasured entries count nothing; 0 when
    // none.
    qint64 totalMeasuredBytes() const { return m_total.bytes(); }
    // The largest measured size on show; 0 when none.
    qint64 largestEntrySize() const { return m_largest; }

    // The pure parts, for any thread.
    // One listed child as an entry; none for the names skipped directly in home.
    static std::optional<Entry> makeEntry(const Listed& item, bool listingHome);
    // makeEntry over a whole listing, in its order, on up to `threads` threads.
    static QList<Entry> makeEntries(const QList<Listed>& items, bool listingHome, int threads);
    // Stable: entries that compare equal keep their order. On up to `threads` threads.
    static QList<Entry> sortEntries(QList<Entry> entries, SortOrder order, int threads = 1);
    // The same order as the row each sorted position comes from: sortEntries(entries)[k] is
    // entries[sortedRows(entries)[k]].
    static std::vector<int> sortedRows(const QList<Entry>& entries, SortOrder order,
                                       int threads = 1);
    // The pending positions 0 … count-1 dealt round-robin to the workers, in order.
    static QList<QList<int>> deal(int count, int workers);
    // The visible children of a folder, in directory order; their details are read on up to
    // `threads` threads.
    static Listing listFolder(const QString& folder, int threads = 1);
    // The first `count` visible children of a folder in directory order, read one by one on
    // the calling thread; none when it cannot be read.
    static QList<Listed> firstOfFolder(const QString& folder, int count);
    // How many rows a large folder shows before the rest of it is read: more than a screenful
    // at the smallest text size; a folder that gives fewer shows whole.
    static constexpr int kFirstRows = 200;
    // Up to this many rows are re-sorted on the main thread; more go to the pool.
    static constexpr qsizetype kSortAtOnce = 4000;
    // What `du -sk` counts for a folder, as the disk map does and by WholeSize's rule for
    // anything taken whole: the allocated blocks of
    // everything below it, hidden items, packages and the folders' own blocks (its own included)
    // too, each file once, no link followed; with the count of its regular files and the files
    // of several names among them.
    static Size measureFolder(const QString& folder, const CancelToken& cancel = CancelToken());
    // "Pendrel could not read this folder. …"
    static QString unreadableText();

signals:
    void trailChanged();
    // After the entries were replaced, re-sorted, or one of them was measured.
    void entriesChanged();
    void listingChanged(bool listing);
    void measuringCountChanged(int count);
    void errorChanged();
    void sortOrderChanged(FolderSortOrder order);

private:
    // A listing made ready off the main thread: entries with the cached sizes filled in, sorted
    // in `order`, with their row index and the total and largest of the sizes they show. Valid
    // as long as the order and the cache revision are still those it was made with.
    struct Prepared {
        QList<Entry> entries;
        QHash<QString, int> rowOfId;
        FolderSizeTotal total;
        qint64 largest = 0;
        SortOrder order = SortOrder::Size;
        quint64 cacheRevision = 0;
    };
    // What a listing reads: its own copies, the size cache included.
    struct ListingRequest {
        std::function<Listing(const QString&)> list;
        std::function<QList<Listed>(const QString&, int)> listFirst;
        QString folder;
        bool listingHome = false;
        int threads = 1;
        QHash<QString, Size> cache;
        SortOrder order = SortOrder::Size;
        quint64 cacheRevision = 0;
    };
    // A folder measured after the listing: its id and its size. (A listing that failed prepares
    // nothing.)
    using Measured = std::pair<QString, Size>;
    // The first rows of a large folder, sorted, with what they were made with (as Prepared).
    struct FirstRows {
        QList<Entry> entries;
        SortOrder order = SortOrder::Size;
        quint64 cacheRevision = 0;
        bool operator==(const FirstRows&) const = default;
    };
    using Step = std::variant<Measured, FirstRows>;
    using ListingSlot = ScanService<ListingRequest, Step, std::optional<Prepared>>;

    static void fillFromCache(QList<Entry>& entries, const QHash<QString, Size>& cache);
    // The total and the largest of the sizes the entries show, each row counted with the files of
    // several names it holds (its own link, or those its cached size counted); any thread.
    static void totalOf(const QList<Entry>& entries, const QHash<QString, Size>& cache,
                        FolderSizeTotal& total, qint64& largest);
    static std::optional<Prepared> prepare(ListingRequest& request, const ListingSlot::Run& run);

    void applyFirstRows(FirstRows rows);
    void applyListing(std::optional<Prepared> prepared);
    // Threads for one listing and for the measuring workers.
    int workerCount() const;
    void startMeasuring();
    void applyMeasurement(const QString& id, Size size);
    // Puts the rows in order once every size of the listing has arrived.
    void sortWhenMeasured();
    // Sorts a copy of the rows on the pool and swaps it in unless the rows changed meanwhile,
    // in which case the latest request sorts again; settling also ends the count of sizes.
    void sortInPool(bool settles);
    void setListing(bool listing);
    void setMeasuring(int count);
    void setError(std::optional<QString> error);
    // Hands the total on show to the pool to free (a row each: milliseconds for a large folder)
    // and starts an empty one.
    void dropTotal();

    QString m_home;
    Deps m_tools;
    QStringList m_trail;
    FolderEntryModel m_model;
    bool m_listing = false;
    int m_measuring = 0;
    std::optional<QString> m_error;
    SortOrder m_sortOrder = SortOrder::Size;
    QHash<QString, Size> m_sizeCache;
    quint64 m_cacheRevision = 0;
    // The latest sortInPool request; earlier ones land without effect.
    quint64 m_sortRequest = 0;
    // A sort requested by the last size is still to land.
    bool m_settlePending = false;
    FolderSizeTotal m_total;
    qint64 m_largest = 0;
    // The listing, then the folders' sizes as its progress.
    ListingSlot m_scan;
};
