#include "cleaning/CategoryMeasurer.h"
#include "platform/NativePath.h"

#include "measuring/WholeSize.h"
#include "platform/DirectoryWalker.h"
#include "platform/DiskUsage.h"
#include "platform/ParallelLoop.h"
#include "platform/WalkRules.h"

#include <algorithm>
#include <iterator>
#include <QDateTime>
#include <utility>
#include <vector>

namespace {

using Entry = DirectoryWalker::Entry;
using Action = DirectoryWalker::Action;

using Listed = std::pair<QString, ItemStamp>;

// What one walker thread gathers: the bytes and files counted, and the items listed.
struct Tally : WholeSize::Tally {
    std::vector<Listed> items;
};

ItemStamp stampOf(const Entry& e) {
    ItemStamp s;
    s.device = e.device;
    s.inode = e.inode;
    if (!e.isDirectory()) {
        s.sizeBytes = e.sizeBytes;
        s.modifyTime = e.modifyTime;
        s.allocatedBytes = e.allocatedBytes;
    }
    return s;
}

Measurement merge(PerWorker<Tally>& tallies, int workers) {
    Measurement m;
    std::vector<Listed> items;
    for (int w = 0; w < workers; ++w) {
        Tally& t = tallies.slot(w);
        m.sizeBytes += t.bytes;
        m.fileCount += t.files;
        items.insert(items.end(), std::make_move_iterator(t.items.begin()),
                     std::make_move_iterator(t.items.end()));
    }
    std::sort(items.begin(), items.end(),
              [](const Listed& a, const Listed& b) { return a.first < b.first; });
    for (Listed& item : items) {
        m.eligibleFiles.append(std::move(item.first));
        m.eligibleStamps.append(item.second);
    }
    return m;
}

void add(Measurement& total, const Measurement& part) {
    total.sizeBytes += part.sizeBytes;
    total.fileCount += part.fileCount;
    total.eligibleFiles += part.eligibleFiles;
    total.eligibleStamps += part.eligibleStamps;
}

// One location walked on `threads` threads: `visit` sees each entry with the tally of the worker
// that reached it and answers as a walk's visitor does. The tallies come back merged.
template <typename Visit>
Measurement tallied(const QString& location, int threads, const CancelToken& cancel, Visit visit) {
    const DirectoryWalker walker({threads, true, false}, cancel);
    PerWorker<Tally> tallies(walker.threads());
    walker.walk(location, [&](const Entry& e) { return visit(e, tallies.slot(e.worker)); });
    return merge(tallies, walker.threads());
}

// The same over several locations, added up; a cancel stops before the next location.
template <typename Visit>
Measurement talliedAll(const QStringList& locations, int threads, const CancelToken& cancel,
                       Visit visit) {
    Measurement total;
    for (const QString& location : locations) {
        if (cancel.isCancelled())
            break;
        add(total, tallied(location, threads, cancel, visit));
    }
    return total;
}

// What a location of a quick-size row holds: the entries a clean would move out of it, and the
// blocks of the location itself, which the clean leaves in place.
struct LocationContents {
    bool exists = false;
    bool isFolder = false;
    qint64 ownBytes = 0;
    int entries = 0;
};

LocationContents contentsOf(const QString& location, const CancelToken& cancel) {
    LocationContents held;
    const DirectoryWalker walker({1, true, false}, cancel);
    const DirectoryWalker::Result result = walker.walk(location, [&](const Entry& e) {
        if (e.depth == 0) {
            held.isFolder = e.isDirectory();
            held.ownBytes = e.allocatedBytes;
            return Action::Continue;
        }
        ++held.entries;
        return Action::SkipChildren;
    });
    held.exists = result.rootFound;
    return held;
}

void countFile(Tally& t, const Entry& e, bool list) {
    if (!e.repeatLink)
        t.bytes += e.allocatedBytes;
    ++t.files;
    if (list)
        t.items.emplace_back(e.path(), stampOf(e));
}

} // namespace

CategoryMeasurer::CategoryMeasurer(std::shared_ptr<const DiskUsage> diskUsage, Options options)
    : m_du(std::move(diskUsage)), m_options(std::move(options)) {
    for (const QString& p : m_options.protectedPaths) {
        std::string encoded = NativePath::encode(p).toStdString();
        while (encoded.size() > 1 && encoded.back() == '/')
            encoded.pop_back();
        m_protected.push_back(std::move(encoded));
    }
}

int CategoryMeasurer::threads() const {
    return m_options.threads > 0 ? m_options.threads : ParallelLoop::flatThreads();
}

const QStringList& CategoryMeasurer::neverEnteredFolderNames() {
    static const QStringList names = {
        QStringLiteral("Library"),     QStringLiteral("Applications"), QStringLiteral("Pictures"),
        QStringLiteral("Movies"),      QStringLiteral("Music"),        QStringLiteral(".git"),
        QStringLiteral(".svn"),        QStringLiteral("Pods"),         QStringLiteral("build"),
        QStringLiteral("DerivedData"), QStringLiteral("Carthage")};
    return names;
}

bool CategoryMeasurer::matchesExtension(const QString& fileName, const QStringList& extensions) {
    const QString lower = fileName.toLower();
    const qsizetype dot = lower.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot >= 0 ? lower.mid(dot + 1) : QString();
    for (const QString& ext : extensions) {
        if (!extension.isEmpty() && extension == ext)
            return true;
        if (lower.endsWith(QLatin1Char('.') + ext))
            return true;
    }
    return false;
}

bool CategoryMeasurer::matchesPrefix(const QString& fileName, const QStringList& lowerPrefixes) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = (dot > 0 ? fileName.left(dot) : fileName).toLower();
    return std::any_of(lowerPrefixes.begin(), lowerPrefixes.end(),
                       [&](const QString& p) { return stem.startsWith(p); });
}

qint64 CategoryMeasurer::cutoffFor(int olderThanDays, qint64 nowSeconds) {
    return nowSeconds - qint64(olderThanDays) * 86400;
}

Measurement CategoryMeasurer::measure(const CleanCategory& category,
                                      const CancelToken& cancel) const {
    // Checked before any walk starts: a search of the home for *.log files finds the user's
    // own, as surely as emptying the home would take them.
    if (std::optional<ContentsRefusal> refusal =
            m_options.guard.check(category.locations, category.searchesUserFolders)) {
        Measurement refused;
        refused.refusal = std::move(refusal);
        return refused;
    }
    switch (category.measuringMode()) {
    case CleanCategory::MeasuringMode::FolderSearch:
        return findFolders(category, cancel);
    case CleanCategory::MeasuringMode::FileSearch:
        return oldFiles(category, cancel);
    case CleanCategory::MeasuringMode::QuickSize:
        return quickMeasure(category, cancel);
    case CleanCategory::MeasuringMode::FullWalk:
        break;
    }
    return measureTree(category, cancel);
}

namespace {

// True when folder/name is one of the protected folders, or (holding) lies above one.
bool isProtected(const std::vector<std::string>& protectedPaths, const Entry& e,
                 bool holding = false) {
    for (const std::string& p : protectedPaths) {
        const size_t f = e.folder.size();
        const bool slash = f > 0 && e.folder.back() == '/';
        const size_t sep = slash ? 0 : 1;
        const size_t end = f + sep + e.name.size();
        const bool sized = p.size() == end || (holding && p.size() > end && p[end] == '/');
        if (sized && p.compare(0, f, e.folder) == 0 && (slash || p[f] == '/') &&
            p.compare(f + sep, e.name.size(), e.name) == 0)
            return true;
    }
    return false;
}

} // namespace

Measurement CategoryMeasurer::findFolders(const CleanCategory& category,
                                          const CancelToken& cancel) const {
    const int limit = category.maxSearchDepth.value_or(6);
    std::vector<std::string> sought;
    for (const QString& n : category.matchFolderNames)
        sought.push_back(NativePath::encode(n).toStdString());
    std::vector<std::string> never;
    for (const QString& n : neverEnteredFolderNames())
        never.push_back(NativePath::encode(n).toStdString());
    auto isIn = [](const std::vector<std::string>& names, std::string_view name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };

    Measurement total;
    for (const QString& location : category.locations) {
        if (cancel.isCancelled())
            break;
        const Measurement folders =
            tallied(location, threads(), cancel, [&](const Entry& e, Tally& found) {
                if (e.depth == 0)
                    return Action::Continue;
                if (e.isHidden() || e.depth > limit || isIn(never, e.name))
                    return Action::SkipChildren;
                if (!e.isDirectory())
                    return Action::Continue;
                if (isIn(sought, e.name)) {
                    found.items.emplace_back(e.path(), stampOf(e));
                    return Action::SkipChildren;
                }
                if (WalkRules::isPackageName(e.name) || isProtected(m_protected, e))
                    return Action::SkipChildren;
                return Action::Continue;
            });
        for (qsizetype i = 0; i < folders.eligibleFiles.size(); ++i) {
            if (cancel.isCancelled())
                break;
            const QString& folder = folders.eligibleFiles.at(i);
            ItemStamp stamp = folders.eligibleStamps.at(i);
            if (category.quickSize) {
                stamp.allocatedBytes = duSize(folder, cancel);
                total.fileCount += 1;
            } else {
                const FolderSize size = allocatedSize(folder, cancel);
                stamp.allocatedBytes = size.bytes;
                total.fileCount += size.files;
            }
            total.sizeBytes += stamp.allocatedBytes;
            total.eligibleFiles.append(folder);
            total.eligibleStamps.append(stamp);
        }
    }
    return total;
}

Measurement CategoryMeasurer::oldFiles(const CleanCategory& category,
                                       const CancelToken& cancel) const {
    QStringList extensions;
    for (const QString& e : category.fileExtensions)
        extensions.append(e.toLower());
    QStringList prefixes;
    for (const QString& p : category.matchNamePrefixes)
        prefixes.append(p.toLower());
    const std::optional<qint64> cutoff =
        category.olderThanDays ? std::optional<qint64>(cutoffFor(
                                     *category.olderThanDays, QDateTime::currentSecsSinceEpoch()))
                               : std::nullopt;
    const std::optional<int> maxDepth = category.maxSearchDepth;

    return talliedAll(category.locations, threads(), cancel, [&](const Entry& e, Tally& tally) {
        if (e.depth == 0) {
            // A location that is a file was named for what it is: no name test.
            if (e.isFile() && !(cutoff && lastOpened(e.accessTime, e.modifyTime) > *cutoff))
                countFile(tally, e, true);
            return Action::Continue;
        }
        if (e.isHidden() || (maxDepth && e.depth > *maxDepth))
            return Action::SkipChildren;
        if (e.isDirectory()) {
            if (WalkRules::isPackageName(e.name) || isProtected(m_protected, e))
                return Action::SkipChildren;
            return Action::Continue;
        }
        if (!e.isFile())
            return Action::Continue;
        const QString name = e.fileName();
        if (!matchesExtension(name, extensions))
            return Action::Continue;
        if (!prefixes.isEmpty() && !matchesPrefix(name, prefixes))
            return Action::Continue;
        if (cutoff && lastOpened(e.accessTime, e.modifyTime) > *cutoff)
            return Action::Continue;
        countFile(tally, e, true);
        return Action::Continue;
    });
}

Measurement CategoryMeasurer::quickMeasure(const CleanCategory& category,
                                           const CancelToken& cancel) const {
    Measurement total;
    for (const QString& location : category.locations) {
        if (cancel.isCancelled())
            break;
        const LocationContents held = contentsOf(location, cancel);
        if (!held.exists)
            continue;
        if (!held.isFolder) {
            total.sizeBytes += duSize(location, cancel);
            total.fileCount += 1;
            continue;
        }
        // An empty location has nothing to clean, whatever its own blocks take; the tool's
        // figure for a full one counts those blocks too, and the clean leaves them behind.
        if (held.entries == 0)
            continue;
        total.sizeBytes += std::max<qint64>(duSize(location, cancel) - held.ownBytes, 0);
        total.fileCount += held.entries;
    }
    return total;
}

Measurement CategoryMeasurer::measureTree(const CleanCategory& category,
                                          const CancelToken& cancel) const {
    const bool aged = category.olderThanDays.has_value();
    const qint64 cutoff =
        aged ? cutoffFor(*category.olderThanDays, QDateTime::currentSecsSinceEpoch()) : 0;

    if (!aged) {
        // The clean empties each location whole, packages and links included, and passes over
        // only what is or holds a protected folder: the figure is what it will take.
        return talliedAll(category.locations, threads(), cancel, [&](const Entry& e, Tally& t) {
            if (e.depth == 0) {
                if (!e.isDirectory())
                    WholeSize::add(t, e);
                return Action::Continue;
            }
            if (e.isDirectory() && isProtected(m_protected, e, true))
                return Action::SkipChildren;
            WholeSize::add(t, e);
            return Action::Continue;
        });
    }
    // Aged rows move the listed files one by one; a package is not taken apart.
    return talliedAll(category.locations, threads(), cancel, [&](const Entry& e, Tally& tally) {
        if (e.isDirectory()) {
            if (e.depth > 0 && (WalkRules::isPackageName(e.name) || isProtected(m_protected, e)))
                return Action::SkipChildren;
            return Action::Continue;
        }
        if (!e.isFile())
            return Action::Continue;
        if (lastOpened(e.accessTime, e.modifyTime) > cutoff)
            return Action::Continue;
        countFile(tally, e, true);
        return Action::Continue;
    });
}

qint64 CategoryMeasurer::duSize(const QString& path, const CancelToken& cancel) const {
    return m_du ? m_du->sizeOf(path, cancel) : 0;
}

CategoryMeasurer::FolderSize CategoryMeasurer::allocatedSize(const QString& folder,
                                                             const CancelToken& cancel) const {
    return WholeSize::of(folder, threads(), cancel);
}
