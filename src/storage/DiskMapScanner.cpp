#include "storage/DiskMapScanner.h"
#include "platform/NativePath.h"

#include "platform/DirectoryWalker.h"
#include "platform/DiskUsage.h"
#include "storage/ContentClassifier.h"

#include <algorithm>
#include <array>
#include <QDir>
#include <QFile>
#include <string>
#include <vector>

namespace {

// The names of the visible, measured entries of home, as stored (sorting the bytes of UTF-8 sorts
// by code point), sorted; nothing when home cannot be listed.
std::optional<std::vector<std::string>> listHome(const QString& home) {
    DirectoryWalker::Options options;
    options.threads = 1;
    const DirectoryWalker walker(options);
    std::vector<std::string> entries;
    bool rootIsFolder = false;
    const DirectoryWalker::Result result = walker.walk(home, [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0) {
            rootIsFolder = e.isDirectory();
            return DirectoryWalker::Action::Continue;
        }
        if (!e.isHidden())
            entries.emplace_back(e.name);
        return DirectoryWalker::Action::SkipChildren;
    });
    if (!result.rootFound || !rootIsFolder || result.unreadableFolders > 0)
        return std::nullopt;
    const QStringList& skipped = DiskMapScanner::skippedHomeNames();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::string& name) {
                                     return skipped.contains(
                                         NativePath::decode(QByteArray::fromStdString(name)));
                                 }),
                  entries.end());
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace

const QStringList& DiskMapScanner::skippedHomeNames() {
    // Only hidden names: a visible folder of a Linux home (Library, Applications, Public, …) is
    // the user's own, whatever it would hold elsewhere.
    static const QStringList names = {QStringLiteral(".Trash"), QStringLiteral(".cache"),
                                      QStringLiteral(".npm"), QStringLiteral(".gradle")};
    return names;
}

DiskMapScanner::Request DiskMapScanner::requestFor(const HomeLayout& layout) {
    Request request;
    request.home = layout.home();
    const QString home = QDir::cleanPath(layout.home());
    const std::pair<QString, DiskMapCategory> folders[] = {
        {layout.downloadsDir(), DiskMapCategory::DownloadsLimbo},
        {layout.desktopDir(), DiskMapCategory::DownloadsLimbo},
        {layout.picturesDir(), DiskMapCategory::Media},
        {layout.moviesDir(), DiskMapCategory::Media},
        {layout.musicDir(), DiskMapCategory::Media},
    };
    for (const auto& [path, category] : folders) {
        const QString clean = QDir::cleanPath(path);
        // Only folders directly in home are items of the map; home itself never is one.
        if (!path.isEmpty() && clean != home && QFileInfo(clean).path() == home)
            request.userFolders.insert(QFileInfo(clean).fileName(), category);
    }
    request.measure.diskUsage = std::make_shared<DuDiskUsage>();
    return request;
}

DiskMapScanner::DiskMapScanner(Request request, QObject* parent)
    : QObject(parent), m_request(std::move(request)),
      m_scan(this,
             [](const Request& r, const auto& run) {
                 return runScan(r, run.cancel(),
                                [&run](const QString& text) { run.progress(Progress(text)); });
             },
             {[this](const Progress& step) { applyProgress(m_scan.generation(), step.text); },
              [this](Outcome outcome) { return publish(std::move(outcome)); },
              [this] { emit stateChanged(); }}) {}

DiskMapScanner::~DiskMapScanner() = default;

DiskMapScanner::Progress::Progress() : text(openingText()) {}

QString DiskMapScanner::openingText() {
    return QStringLiteral("Opening your home folder");
}

QString DiskMapScanner::unreadableHomeText() {
    return QStringLiteral("Pendrel could not read your home folder. Check that your user can "
                          "open it and the folders in it, then try again.");
}

QString DiskMapScanner::emptyHomeText() {
    return QStringLiteral("Your home folder looks empty to Pendrel. That usually means everything "
                          "in it is hidden or in folders Pendrel leaves alone.");
}

QString DiskMapScanner::stoppedText() {
    return QStringLiteral("Scan stopped.");
}

void DiskMapScanner::scan() {
    // The old result goes before the state says Running, so a screen never shows it as new.
    setResult(std::nullopt);
    m_scan.start(m_request);
}

void DiskMapScanner::cancel() {
    if (m_scan.isRunning())
        m_scan.cancel();
}

void DiskMapScanner::applyProgress(quint64 generation, const QString& text) {
    // The slot takes a step only while Running, so a late one never revives a finished scan.
    if (m_scan.isCurrent(generation))
        m_scan.report(Progress(text));
}

std::optional<QString> DiskMapScanner::publish(Outcome outcome) {
    if (auto* result = std::get_if<DiskMapResult>(&outcome)) {
        setResult(std::move(*result));
        return std::nullopt;
    }
    setResult(std::nullopt);
    return std::get<QString>(std::move(outcome));
}

void DiskMapScanner::setResult(std::optional<DiskMapResult> result) {
    if (!result && !m_result)
        return;
    m_result = std::move(result);
    emit resultChanged();
}

DiskMapScanner::Outcome DiskMapScanner::runScan(const Request& request, const CancelToken& token,
                                                const Report& report) {
    const QString home = QDir::cleanPath(request.home);
    const std::optional<std::vector<std::string>> listed = listHome(home);
    if (!listed)
        return unreadableHomeText();
    const std::vector<std::string>& entries = *listed;
    if (entries.empty())
        return emptyHomeText();

    DiskMapTally tally(qint64(entries.size()), token, report);
    std::vector<DiskMapMeasurer::Item> items;
    items.reserve(entries.size());
    for (const std::string& entry : entries) {
        const QString name = NativePath::decode(QByteArray::fromStdString(entry));
        items.push_back({name, request.userFolders.value(name, topLevelCategory(name))});
    }
    // One walk of home for every item: its threads go wherever folders are left to read.
    std::vector<std::optional<MapNode>> itemNodes =
        DiskMapMeasurer(request.measure).measureItems(home, items, tally);

    if (token.isCancelled())
        return stoppedText();

    QList<MapNode> children;
    for (std::optional<MapNode>& slot : itemNodes) {
        if (slot)
            children.append(std::move(*slot));
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const MapNode& a, const MapNode& b) { return a.sizeBytes > b.sizeBytes; });

    DiskMapResult result;
    MapNode& root = result.root;
    root.id = home;
    root.url = QUrl::fromLocalFile(home);
    root.name = QFileInfo(home).fileName();
    for (const MapNode& child : std::as_const(children)) {
        root.sizeBytes += child.sizeBytes;
        root.fileCount += child.fileCount;
        if (child.modified && (!root.modified || *child.modified > *root.modified))
            root.modified = child.modified;
    }
    root.isDirectory = true;
    root.category = DiskMapCategory::Unknown;
    root.children = std::move(children);
    result.scannedAt = QDateTime::currentDateTimeUtc();
    result.cloudFoldersSkipped = tally.cloudSkipped();
    result.unreadableFolders = tally.unreadable();
    return result;
}

std::optional<DiskMapCategory> DiskMapScanner::categoryFromKeywords(const QString& name) {
    return ContentClassifier::classify<DiskMapCategory>(name);
}

DiskMapCategory DiskMapScanner::topLevelCategory(const QString& name) {
    return ContentClassifier::topLevelCategory<DiskMapCategory>(name);
}

DiskMapCategory DiskMapScanner::fileCategory(const QString& path, DiskMapCategory fallback) {
    return ContentClassifier::fileCategory<DiskMapCategory>(path, fallback);
}

std::optional<DiskMapCategory> DiskMapScanner::dominantCategory(const QList<MapNode>& children) {
    std::array<qint64, 7> totals{};
    std::array<bool, 7> entered{};
    for (const MapNode& child : children) {
        if (child.category == DiskMapCategory::Unknown)
            continue;
        totals[size_t(child.category)] += child.sizeBytes;
        entered[size_t(child.category)] = true;
    }
    std::optional<size_t> best;
    for (size_t c = 0; c < totals.size(); ++c) {
        if (entered[c] && (!best || totals[c] > totals[*best]))
            best = c;
    }
    return best ? std::optional<DiskMapCategory>(static_cast<DiskMapCategory>(*best))
                : std::nullopt;
}

// The meta-object code in this file rather than the library's combined one: a program that only
// runs the scan body (the benchmark) then links no other class of the library, nor what they
// need (the GUI and D-Bus libraries), and starts as fast as the walk itself.
#include "moc_DiskMapScanner.cpp"
