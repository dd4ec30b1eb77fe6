#include "home/HealthCheck.h"
#include "platform/NativePath.h"

#include "home/HealthCheckText.h"
#include "measuring/CategoryMeasure.h"
#include "platform/Clock.h"
#include "platform/DirectoryWalker.h"
#include "platform/ParallelLoop.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <QFile>
#include <string>
#include <vector>

namespace {

std::string encoded(const QString& path) {
    std::string s = NativePath::encode(path).toStdString();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

// True when folder/name is one of the given paths.
bool isOneOf(const std::vector<std::string>& paths, std::string_view folder,
             std::string_view name) {
    const bool slash = !folder.empty() && folder.back() == '/';
    const size_t length = folder.size() + (slash ? 0 : 1) + name.size();
    for (const std::string& p : paths) {
        if (p.size() == length && p.compare(0, folder.size(), folder) == 0 &&
            (slash || p[folder.size()] == '/') &&
            p.compare(length - name.size(), std::string::npos, name) == 0)
            return true;
    }
    return false;
}

constexpr std::array<std::string_view, 17> kPackageExtensions = {
    "app",          "photoslibrary", "fcpbundle", "imovielibrary", "tvlibrary",    "aplibrary",
    "musiclibrary", "bundle",        "framework", "rtfd",          "sparsebundle", "logicx",
    "band",         "download",      "pkg",       "xcodeproj",     "xcworkspace"};

// The lower-cased extension after the last dot is a package's; a name that is only a dot and
// an extension is a hidden name, not a package.
bool isPackageName(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
        return false;
    const std::string_view ext = name.substr(dot + 1);
    if (ext.size() > 13)
        return false;
    char lower[16] = {};
    for (size_t i = 0; i < ext.size(); ++i) {
        const char c = ext[i];
        lower[i] = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    const std::string_view folded(lower, ext.size());
    return std::find(kPackageExtensions.begin(), kPackageExtensions.end(), folded) !=
           kPackageExtensions.end();
}

} // namespace

HealthCheck::HealthCheck(const HomeLayout& layout, Deps deps, QObject* parent)
    : QObject(parent), m_layout(layout), m_deps(std::move(deps)),
      m_junkScan(this, &HealthCheck::measureJunk,
                 {{},
                  [this](JunkTally tally) -> std::optional<QString> {
                      m_junkFound = junkFinding(tally.bytes, tally.files);
                      return std::nullopt;
                  },
                  [this] {
                      const Status now = junk();
                      emit junkChanged(now);
                      if (now.isDone())
                          stampLastRun();
                  }}),
      m_bigFilesScan(this,
                     [](BigFilesRequest& r, const BigFilesScan::Run& run) {
                         return countBigFiles(r.home, r.skipped, r.threads, run.cancel());
                     },
                     {{},
                      [this](std::optional<BigFileTally> tally) -> std::optional<QString> {
                          if (!tally)
                              return homeUnreadableMessage();
                          m_bigFilesFound = bigFilesFinding(tally->bytes, tally->count);
                          return std::nullopt;
                      },
                      [this] {
                          const Status now = bigFiles();
                          emit bigFilesChanged(now);
                          if (now.isDone())
                              stampLastRun();
                      }}) {
    Q_ASSERT(m_deps.measure);
    if (!m_deps.clock)
        m_deps.clock = std::make_shared<SystemClock>();
}

// The slots cancel their scans as they go; a measurement still running stops at its next poll.
HealthCheck::~HealthCheck() = default;

HealthCheck::Status HealthCheck::status(const ScanState<NoProgress>& state, const Finding& found) {
    return {state, state.phase == ScanPhase::Done ? found : Finding()};
}

qint64 HealthCheck::recoverableBytes() const {
    qint64 total = 0;
    if (m_junkScan.phase() == ScanPhase::Done)
        total += m_junkFound.bytes;
    if (m_bigFilesScan.phase() == ScanPhase::Done)
        total += m_bigFilesFound.bytes;
    return total;
}

void HealthCheck::refreshJunk() {
    if (!m_junkScan.isRunning())
        m_junkScan.start({junkRows(m_layout), m_deps.measure});
}

HealthCheck::JunkTally HealthCheck::measureJunk(const JunkRequest& request,
                                                const JunkScan::Run& run) {
    // Each row's measurement walks in parallel itself; each result lands in its row's own slot,
    // so no lock is needed.
    const CancelToken& cancel = run.cancel();
    std::vector<Measurement> results(size_t(request.rows.size()));
    ParallelLoop::run(results.size(), ParallelLoop::outerThreads(), [&](size_t i, int) {
        if (!cancel.isCancelled())
            results[i] = request.measure->measure(request.rows.at(qsizetype(i)), cancel);
    });
    JunkTally tally;
    for (const Measurement& m : results) {
        tally.bytes += std::max<qint64>(m.sizeBytes, 0);
        tally.files += std::max(m.fileCount, 0);
    }
    return tally;
}

void HealthCheck::refreshBigFiles() {
    if (m_bigFilesScan.isRunning())
        return;
    const int threads =
        m_deps.walkerThreads > 0 ? m_deps.walkerThreads : ParallelLoop::diskThreads();
    m_bigFilesScan.start({m_layout.home(), libraryFolders(m_layout), threads});
}

void HealthCheck::stampLastRun() {
    m_lastRun = m_deps.clock->now();
    emit lastRunChanged(m_lastRun);
}

// --- Pure parts ---------------------------------------------------------------------------

HealthCheck::Finding HealthCheck::junkFinding(qint64 bytes, int files) {
    const HealthCheckText::Verdict v = HealthCheckText::junk(bytes, files);
    return Finding{bytes, files, v.summary, v.severity};
}

HealthCheck::Finding HealthCheck::bigFilesFinding(qint64 bytes, int count) {
    const HealthCheckText::Verdict v = HealthCheckText::bigFiles(bytes, count);
    return Finding{bytes, count, v.summary, v.severity};
}

QList<CleanCategory> HealthCheck::junkRows(const HomeLayout& layout) {
    QList<CleanCategory> rows;
    for (const CleanCategory& c : CleanCategory::diskCategories(layout)) {
        if (c.onByDefault)
            rows.append(c);
    }
    return rows;
}

std::optional<HealthCheck::BigFileTally>
HealthCheck::countBigFiles(const QString& home, const QStringList& skippedFolders, int threads,
                           const CancelToken& cancel, qint64 minBytes) {
    std::vector<std::string> skipped;
    for (const QString& p : skippedFolders)
        skipped.push_back(encoded(p));

    DirectoryWalker::Options options;
    options.threads = std::max(1, threads);
    const DirectoryWalker walker(options, cancel);
    PerWorker<BigFileTally> tallies(walker.threads());
    using Action = DirectoryWalker::Action;
    const DirectoryWalker::Result result = walker.walk(home, [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0)
            return Action::Continue;
        if (e.isDirectory()) {
            if (e.isHidden() || e.name == "Library" || isPackageName(e.name) ||
                isOneOf(skipped, e.folder, e.name))
                return Action::SkipChildren;
            return Action::Continue;
        }
        if (!e.isFile() || e.isHidden() || e.repeatLink)
            return Action::Continue;
        if (e.allocatedBytes >= minBytes) {
            BigFileTally& t = tallies.slot(e.worker);
            ++t.count;
            t.bytes += e.allocatedBytes;
        }
        return Action::Continue;
    });
    if (!result.rootFound)
        return std::nullopt;
    // Only the root was visited and a folder could not be read: the root itself.
    if (result.entries == 1 && result.unreadableFolders > 0)
        return std::nullopt;
    return tallies.fold(BigFileTally{}, [](BigFileTally sum, const BigFileTally& t) {
        sum.bytes += t.bytes;
        sum.count += t.count;
        return sum;
    });
}

QStringList HealthCheck::libraryFolders(const HomeLayout& layout) {
    QStringList folders;
    for (const char* place :
         {"Library/Caches", "Library/Application Support", "Library/Preferences",
          "Library/Saved Application State", "Library/Containers", "Library/LaunchAgents"})
        folders.append(layout.map(QString::fromLatin1(place)));
    folders.append(layout.trashDir());
    folders.removeDuplicates();
    return folders;
}

const QStringList& HealthCheck::packageExtensions() {
    static const QStringList list = [] {
        QStringList l;
        for (std::string_view e : kPackageExtensions)
            l.append(QString::fromLatin1(e.data(), qsizetype(e.size())));
        return l;
    }();
    return list;
}

QString HealthCheck::homeUnreadableMessage() {
    return HealthCheckText::homeUnreadable();
}
