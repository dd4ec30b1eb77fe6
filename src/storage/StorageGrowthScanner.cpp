#include "storage/StorageGrowthScanner.h"
#include "platform/NativePath.h"

#include "measuring/CleanCategory.h"
#include "platform/Clock.h"
#include "platform/ParallelLoop.h"
#include "platform/SymbolName.h"
#include "storage/FolderTree.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <QFile>
#include <sys/stat.h>
#include <thread>
#include <vector>

StorageGrowthScanner::StorageGrowthScanner(HomeLayout layout, QObject* parent)
    : StorageGrowthScanner(std::move(layout), Deps(), parent) {}

StorageGrowthScanner::StorageGrowthScanner(HomeLayout layout, Deps deps, QObject* parent)
    : QObject(parent), m_layout(std::move(layout)), m_deps(std::move(deps)),
      m_scan(this, &StorageGrowthScanner::measureAll,
             {{},
              [this](QList<Bucket> buckets) {
                  publishResults(std::move(buckets));
                  return std::nullopt;
              },
              [this] { emit stateChanged(); }}) {
    if (!m_deps.clock)
        m_deps.clock = std::make_shared<SystemClock>();
    if (!m_deps.measure)
        m_deps.measure = &StorageGrowthScanner::measureLocation;
}

StorageGrowthScanner::~StorageGrowthScanner() = default;

qint64 StorageGrowthScanner::totalBytes() const {
    qint64 sum = 0;
    for (const Bucket& b : m_buckets)
        sum += b.bytes;
    return sum;
}

QList<StorageGrowthScanner::Definition>
StorageGrowthScanner::definitions(const HomeLayout& layout) {
    // Home-relative places go through the home's mapping; applications have places of their own
    // here (the system's and the user's, Flatpak included), which the layout names.
    const auto places = [&](const QStringList& homeRelative) {
        return CleanCategories::mapLocations(layout, homeRelative);
    };
    QStringList applications = layout.systemApplicationDirs() + layout.userApplicationDirs();
    applications.removeDuplicates();
    return {
        {QStringLiteral("apps"), QStringLiteral("Applications"),
         QStringLiteral("Apps in /opt, Flatpak and your Applications folder."), "app"_sym,
         applications, QStringLiteral("uninstaller")},
        {QStringLiteral("developer"), QStringLiteral("Developer tools"),
         QStringLiteral("Xcode, Docker, package managers and local AI models."), "hammer"_sym,
         places({QStringLiteral("Library/Developer"), QStringLiteral(".docker"),
                 QStringLiteral("Library/Containers/com.docker.docker"), QStringLiteral(".ollama"),
                 QStringLiteral(".npm"), QStringLiteral(".cargo"), QStringLiteral(".gradle"),
                 QStringLiteral(".bun"), QStringLiteral("Library/Caches/Homebrew")}),
         QStringLiteral("devclean")},
        {QStringLiteral("mail"), QStringLiteral("Mail"),
         QStringLiteral("What Apple Mail and other clients keep on this Mac."), "envelope"_sym,
         places(
             {QStringLiteral("Library/Mail"), QStringLiteral("Library/Containers/com.apple.mail")}),
         QStringLiteral("disk")},
        {QStringLiteral("photos"), QStringLiteral("Photos"),
         QStringLiteral("Your photo libraries and Pictures folder."), "photo"_sym,
         places({QStringLiteral("Pictures"), QStringLiteral("Photos Library.photoslibrary")}),
         QStringLiteral("folders")},
        {QStringLiteral("cloud"), QStringLiteral("Cloud storage"),
         QStringLiteral("iCloud Drive, Dropbox and similar local sync folders."), "cloud"_sym,
         places({QStringLiteral("Library/Mobile Documents"), QStringLiteral("Dropbox"),
                 QStringLiteral("Library/CloudStorage")}),
         QStringLiteral("folders")},
        {QStringLiteral("downloads"), QStringLiteral("Downloads"),
         QStringLiteral("Everything sitting in Downloads."), "arrow.down.circle"_sym,
         places({QStringLiteral("Downloads")}), QStringLiteral("disk")},
        {QStringLiteral("caches"), QStringLiteral("System & app caches"),
         QStringLiteral("Temporary files apps rebuild on their own."), "internaldrive"_sym,
         places({QStringLiteral("Library/Caches")}), QStringLiteral("disk")},
    };
}

qint64 StorageGrowthScanner::measureLocation(const QString& path, const CancelToken& cancel) {
    const QByteArray bytes = NativePath::encode(path);
    struct stat st;
    if (bytes.isEmpty() || ::stat(bytes.constData(), &st) != 0)
        return 0;
    if (!S_ISDIR(st.st_mode))
        return qint64(st.st_blocks) * 512;
    // Browse Storage's figure for a folder, so the two screens agree: what `du -s` counts. One
    // thread per place, since the buckets themselves are measured side by side.
    return FolderTree::measureFolder(path, cancel).bytes;
}

void StorageGrowthScanner::sortBuckets(QList<Bucket>& buckets) {
    std::stable_sort(buckets.begin(), buckets.end(),
                     [](const Bucket& a, const Bucket& b) { return a.bytes > b.bytes; });
}

void StorageGrowthScanner::scan() {
    if (m_scan.isRunning())
        return;
    const int walks =
        ParallelLoop::outerThreads(m_deps.cores > 0 ? m_deps.cores : ParallelLoop::processors());
    m_scan.start({definitions(m_layout), walks, m_deps.measure});
}

QList<StorageGrowthScanner::Bucket> StorageGrowthScanner::measureAll(const Request& request,
                                                                     const ScanSlot::Run& run) {
    // Each walker takes the next definition in table order as soon as it is free, so at most
    // `walks` walks run at once and the results come in order of completion.
    const QList<Definition>& defs = request.definitions;
    std::mutex lock;
    QList<Bucket> done;
    ParallelLoop::run(size_t(defs.size()), request.walks, [&](size_t i, int) {
        const Definition& d = defs.at(qsizetype(i));
        Bucket b{d.id, d.name, d.detail, d.icon, 0, d.featureID};
        for (const QString& place : d.locations) {
            if (run.isCancelled())
                return;
            b.bytes += request.measure(place, run.cancel());
        }
        std::lock_guard<std::mutex> guard(lock);
        done.append(b);
    });
    sortBuckets(done);
    return done;
}

void StorageGrowthScanner::publishResults(QList<Bucket> buckets) {
    m_buckets = std::move(buckets);
    emit bucketsChanged();
    m_lastRun = m_deps.clock->now();
    emit lastRunChanged();
}
