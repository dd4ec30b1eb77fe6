#pragma once

#include "cleaning/BigFile.h"
#include "cleaning/LargeFileListModel.h"
#include "platform/CancelToken.h"
#include "shell/ScanService.h"

#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Trash;

// Lists the biggest single files below a folder the user picks, and moves the ones they choose
// to the Trash. The example of a cancellable scan feeding a list that the other scanners copy.
//
// State (published, main thread only): idle until the first scan; scanning with the count of
// regular files examined, raised in steps of 1,000; done with the list in files(); failed with a
// sentence when the picked folder itself cannot be read (a subfolder that cannot be read is
// passed over, as are its files).
//
// What is listed: regular files of at least minSizeBytes, largest first, at most maxFiles. Hidden
// files and folders (names starting with ".") are passed over with everything in them, as are
// the insides of application bundles (folders ending ".app"); symlinks are never followed or
// listed; a file with several hard links is listed once. Sizes are allocated bytes (st_blocks ×
// 512), what a file takes on the disk and what trashing it frees: the minimum, the order and the
// freed total all count a sparse file by the blocks it has, not by its length.
//
// A scan request makes every earlier scan stale: its walk is cancelled, and its progress and its
// result are dropped if they still arrive. Nothing is kept on disk: minimum, last folder and
// list start afresh at every launch.
class LargeFilesScanner : public QObject {
    Q_OBJECT
    Q_PROPERTY(LargeFilesScanner::State state READ state NOTIFY stateChanged)
    Q_PROPERTY(
        qint64 minSizeBytes READ minSizeBytes WRITE setMinSizeBytes NOTIFY minSizeBytesChanged)
public:
    // Running's progress: regular files examined so far.
    using State = ScanState<int>;

    // What one walk found: the list to publish, the files examined, and a sentence when the
    // folder itself could not be read.
    struct WalkResult {
        QList<BigFile> files;
        int scanned = 0;
        std::optional<QString> failure;
    };
    using Progress = std::function<void(int scanned)>;

    static constexpr int maxFiles = 200;
    static constexpr int progressStep = 1000;
    static constexpr qint64 defaultMinSizeBytes = 50'000'000;

    // trash: where trash() moves files; may be null, in which case every move fails.
    explicit LargeFilesScanner(std::shared_ptr<Trash> trash, QObject* parent = nullptr);
    ~LargeFilesScanner() override;

    State state() const { return m_scan.state(); }
    // The result of the last finished scan, largest first; empty while a scan runs.
    const QList<BigFile>& files() const { return m_files.rows(); }
    // The same list as a model, for views. Owned by the scanner.
    LargeFileListModel* model() { return &m_files; }
    // The folder of the most recent scan request.
    const std::optional<QString>& lastFolder() const { return m_lastFolder; }
    qint64 minSizeBytes() const { return m_minSizeBytes; }
    // Stores the minimum for the next scan; a running scan keeps the one it started with.
    // Negative values count as 0.
    void setMinSizeBytes(qint64 bytes);
    // Raised by every scan request; tells current work from stale work.
    quint64 scanGeneration() const { return m_scan.generation(); }
    // How many threads a walk uses (tests pin it to 1 for a fixed order); 0 means the walker's
    // default.
    void setWalkThreads(int threads) { m_walkThreads = threads; }

    // Starts a scan of the folder with the current minimum and returns at once: state Running
    // with 0, files empty, lastFolder set.
    void scan(const QString& folder);

    struct TrashResult {
        qint64 freedBytes = 0;
        QStringList errors; // "<file name>: <reason>", in the order given
    };
    // Moves each file to the Trash in the order given, synchronously, through the folders the
    // walk of lastFolder() went through (Trash::moveFoundToTrash), and only while it is still a
    // regular file. A moved file leaves the list (if it is still there) and counts its size as
    // freed; a file that cannot be moved stays and gives one error line. The state does not
    // change.
    TrashResult trash(const QList<BigFile>& files);
    // One step of trash(): nothing on success, else the error line.
    std::optional<QString> trashFile(const BigFile& file);

    // The walk itself, synchronous on the calling thread (the service runs it in the pool; the
    // benchmark calls it directly). progress, when set, is called with 1000, 2000, … from the
    // walking threads as each step is passed (not necessarily in order when threads > 1).
    // Equal sizes are ordered by path, so a result never depends on the threads' timing.
    static WalkResult walkFolder(const QString& folder, qint64 minSizeBytes,
                                 const CancelToken& cancel = CancelToken(),
                                 const Progress& progress = {}, int threads = 0);

signals:
    void stateChanged();
    // After the list was replaced or shortened.
    void filesChanged();
    void lastFolderChanged();
    void minSizeBytesChanged(qint64 bytes);

private:
    // What one scan reads: its own copies.
    struct Request {
        QString folder;
        qint64 minSizeBytes = 0;
        int threads = 0;
    };

    void applyProgress(int scanned);
    std::optional<QString> applyResult(WalkResult result);

    std::shared_ptr<Trash> m_trash;
    LargeFileListModel m_files;
    std::optional<QString> m_lastFolder;
    qint64 m_minSizeBytes = defaultMinSizeBytes;
    int m_walkThreads = 0;
    ScanService<Request, int, WalkResult> m_scan;
};
