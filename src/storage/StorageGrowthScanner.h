#pragma once

#include "platform/CancelToken.h"
#include "platform/HomeLayout.h"
#include "shell/ScanService.h"

#include <functional>
#include <memory>
#include <optional>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Clock;

// Where the disk space went: seven fixed buckets of the user's storage (applications, developer
// tools, mail, photos, cloud storage, downloads, caches), each the space a few known places use
// on disk. The storage hub lists them largest first with each one's share
// of the total.
//
// scan() measures every bucket afresh; a scan requested while one runs is ignored. While a scan
// runs, the previous buckets and lastRun stay; at its end buckets, then lastRun, then state
// change, in that order, on the main thread. What cannot be read counts 0 bytes and never stops
// the scan, so the state never becomes Failed (the case exists for screens that show one).
//
// Every place is walked whole: hidden files count, application bundles and other packages count
// with their contents, symlinks are never followed below a place, a file with several hard links
// counts once. Nothing is kept on disk.
class StorageGrowthScanner : public QObject {
    Q_OBJECT
public:
    // The scan's slot's: it reports no progress.
    using State = ScanState<NoProgress>;

    struct Bucket {
        QString id;
        QString name;
        QString detail;
        QString icon; // a symbol name
        qint64 bytes = 0;
        std::optional<QString> featureID; // the section that helps with this bucket

        bool operator==(const Bucket&) const = default;
    };

    // A bucket before it is measured: its absolute places instead of bytes.
    struct Definition {
        QString id;
        QString name;
        QString detail;
        QString icon;
        QStringList locations;
        std::optional<QString> featureID;
    };

    // Measures one place: allocated bytes, 0 for what is missing or cannot be read.
    using Measure = std::function<qint64(const QString& path, const CancelToken& cancel)>;

    struct Deps {
        // Where lastRun is read; the system clock when null.
        std::shared_ptr<const Clock> clock;
        // Processor cores for the concurrency limit; 0 asks the machine.
        int cores = 0;
        // measureLocation unless set (tests hold or script a scan with it).
        Measure measure;
    };

    explicit StorageGrowthScanner(HomeLayout layout, QObject* parent = nullptr);
    StorageGrowthScanner(HomeLayout layout, Deps deps, QObject* parent = nullptr);
    ~StorageGrowthScanner() override;

    State state() const { return m_scan.state(); }
    // Largest first; equal sizes in the order their measurements finished.
    const QList<Bucket>& buckets() const { return m_buckets; }
    const std::optional<QDateTime>& lastRun() const { return m_lastRun; }
    // The sum over buckets(); 0 when there are none.
    qint64 totalBytes() const;

    // Starts a scan unless one is running. Main thread only.
    void scan();

    // The seven buckets in table order, their places resolved for this home now (the system's
    // application folders under the layout's system root).
    static QList<Definition> definitions(const HomeLayout& layout);
    // The space a place uses on disk, as `du -s` gives it: 0 when it is missing; for a folder the
    // allocated bytes of everything in it, its own and its folders' blocks included, a file of
    // several names counted once; for anything else its own allocated bytes.
    static qint64 measureLocation(const QString& path, const CancelToken& cancel = CancelToken());
    // Sorts by bytes, largest first, keeping the order of equal ones.
    static void sortBuckets(QList<Bucket>& buckets);

signals:
    void stateChanged();
    void bucketsChanged();
    void lastRunChanged();

private:
    // What a scan reads: the buckets' places, how many walks run at once, and the measure.
    struct Request {
        QList<Definition> definitions;
        int walks = 1;
        Measure measure;
    };
    using ScanSlot = ScanService<Request, NoProgress, QList<Bucket>>;

    static QList<Bucket> measureAll(const Request& request, const ScanSlot::Run& run);
    void publishResults(QList<Bucket> buckets);

    HomeLayout m_layout;
    Deps m_deps;
    QList<Bucket> m_buckets;
    std::optional<QDateTime> m_lastRun;
    ScanSlot m_scan;
};
