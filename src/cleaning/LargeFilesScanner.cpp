#include "cleaning/LargeFilesScanner.h"
#include "platform/NativePath.h"

#include "cleaning/CategoryCleaner.h"
#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleanerPaneText.h"
#include "platform/DirectoryWalker.h"
#include "platform/FoundRoot.h"
#include "platform/ParallelLoop.h"
#include "platform/Trash.h"
#include "platform/WalkRules.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <QFile>
#include <QFileInfo>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A file that qualified during the walk; turned into a BigFile only if it makes the cut.
struct Candidate {
    qint64 size = 0;
    qint64 lastOpened = 0;
    std::string path;
};

bool largerFirst(const Candidate& a, const Candidate& b) {
    if (a.size != b.size)
        return a.size > b.size;
    return a.path < b.path;
}

QString displayName(const QString& folder) {
    const QString name = QFileInfo(folder).fileName();
    return name.isEmpty() ? folder : name;
}

// Why the folder itself cannot be walked, or nothing when it can.
std::optional<QString> unreadableRoot(const QString& folder) {
    const QByteArray path = NativePath::encode(folder);
    struct stat st;
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0) {
        const int error = path.isEmpty() ? ENOENT : errno;
        return QStringLiteral("Pendrel could not read “%1”: %2.")
            .arg(displayName(folder), qt_error_string(error));
    }
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("“%1” is not a folder.").arg(displayName(folder));
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return QStringLiteral("Pendrel could not read “%1”: %2.")
            .arg(displayName(folder), qt_error_string(error));
    }
    ::close(fd);
    return std::nullopt;
}

} // namespace

LargeFilesScanner::LargeFilesScanner(std::shared_ptr<Trash> trash, QObject* parent)
    : QObject(parent), m_trash(std::move(trash)),
      m_scan(this,
             [](const Request& r, const auto& run) {
                 return walkFolder(
                     r.folder, r.minSizeBytes, run.cancel(),
                     [&run](int scanned) { run.progress(scanned); }, r.threads);
             },
             {[this](int scanned) { applyProgress(scanned); },
              [this](WalkResult result) { return applyResult(std::move(result)); },
              [this] { emit stateChanged(); }}) {}

LargeFilesScanner::~LargeFilesScanner() = default;

void LargeFilesScanner::setMinSizeBytes(qint64 bytes) {
    bytes = std::max<qint64>(0, bytes);
    if (bytes == m_minSizeBytes)
        return;
    m_minSizeBytes = bytes;
    emit minSizeBytesChanged(bytes);
}

void LargeFilesScanner::scan(const QString& folder) {
    m_scan.start({folder, m_minSizeBytes, m_walkThreads});
    m_files.reset();
    emit filesChanged();
    if (m_lastFolder != folder) {
        m_lastFolder = folder;
        emit lastFolderChanged();
    }
}

void LargeFilesScanner::applyProgress(int scanned) {
    // Parallel walkers may hand steps over out of order; the count only ever rises.
    const State state = m_scan.state();
    if (state.isRunning() && scanned > state.progress)
        m_scan.report(scanned);
}

std::optional<QString> LargeFilesScanner::applyResult(WalkResult result) {
    if (result.failure)
        return result.failure;
    m_files.reset(std::move(result.files));
    emit filesChanged();
    return std::nullopt;
}

std::optional<QString> LargeFilesScanner::trashFile(const BigFile& file) {
    const QString path = file.path();
    // Only a file was listed; whatever stands at its name now must still be one.
    const Trash::Vet stillAFile = [](const struct stat& st) {
        return S_ISREG(st.st_mode) ? QString() : CleanerPaneText::changedSinceMeasuredReason();
    };
    QString reason;
    if (!m_trash) {
        reason = QStringLiteral("The Trash is not available");
    } else if (m_trash->moveFoundToTrash(FoundRoot(m_lastFolder.value_or(QString())), path,
                                         stillAFile, &reason)) {
        const QUuid id = file.id;
        const qsizetype before = m_files.rowCount();
        m_files.removeIf([&id](const BigFile& f) { return f.id == id; });
        if (m_files.rowCount() != before)
            emit filesChanged();
        return std::nullopt;
    }
    if (reason.isEmpty())
        reason = QStringLiteral("It could not be moved to the Trash");
    return CategoryCleaner::failureLine(path, reason);
}

LargeFilesScanner::TrashResult LargeFilesScanner::trash(const QList<BigFile>& files) {
    TrashResult result;
    for (const BigFile& file : files) {
        if (const std::optional<QString> error = trashFile(file))
            result.errors.append(*error);
        else
            result.freedBytes += file.sizeBytes;
    }
    return result;
}

LargeFilesScanner::WalkResult LargeFilesScanner::walkFolder(const QString& folder,
                                                            qint64 minSizeBytes,
                                                            const CancelToken& cancel,
                                                            const Progress& progress, int threads) {
    WalkResult result;
    if (std::optional<QString> failure = unreadableRoot(folder)) {
        result.failure = std::move(failure);
        return result;
    }

    DirectoryWalker::Options options;
    options.threads = threads > 0 ? threads : ParallelLoop::diskThreads();
    const DirectoryWalker walker(options, cancel);
    PerWorker<std::vector<Candidate>> found(walker.threads());
    std::atomic<int> scanned{0};

    walker.walk(folder, [&](const DirectoryWalker::Entry& e) {
        if (const auto step = WalkRules::pickedFolderStep(e))
            return *step;
        if (!e.isFile())
            return DirectoryWalker::Action::Continue;
        const int count = scanned.fetch_add(1, std::memory_order_relaxed) + 1;
        if (progress && count % progressStep == 0)
            progress(count);
        if (e.repeatLink || e.allocatedBytes < minSizeBytes)
            return DirectoryWalker::Action::Continue;
        Candidate c;
        c.size = e.allocatedBytes;
        c.lastOpened = CategoryMeasurer::lastOpened(e.accessTime, e.modifyTime);
        c.path.reserve(e.folder.size() + 1 + e.name.size());
        c.path.append(e.folder);
        if (c.path.empty() || c.path.back() != '/')
            c.path.push_back('/');
        c.path.append(e.name);
        found.slot(e.worker).push_back(std::move(c));
        return DirectoryWalker::Action::Continue;
    });

    std::vector<Candidate> all;
    for (int w = 0; w < walker.threads(); ++w) {
        std::vector<Candidate>& part = found.slot(w);
        all.insert(all.end(), std::make_move_iterator(part.begin()),
                   std::make_move_iterator(part.end()));
    }
    const size_t keep = std::min<size_t>(all.size(), maxFiles);
    std::partial_sort(all.begin(), all.begin() + qsizetype(keep), all.end(), largerFirst);

    result.scanned = scanned.load();
    result.files.reserve(qsizetype(keep));
    for (size_t i = 0; i < keep; ++i) {
        const Candidate& c = all[i];
        BigFile file;
        file.id = QUuid::createUuid();
        file.url = QUrl::fromLocalFile(
            NativePath::decode(QByteArray(c.path.data(), qsizetype(c.path.size()))));
        file.sizeBytes = c.size;
        file.lastOpened = QDateTime::fromSecsSinceEpoch(c.lastOpened, Qt::UTC);
        result.files.append(file);
    }
    return result;
}
