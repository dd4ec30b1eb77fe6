#include "storage/DiskMapNodeBuilder.h"

#include "platform/NativePath.h"
#include "storage/ContentClassifier.h"
#include "storage/DiskMapDepthRule.h"
#include "storage/DiskMapScanner.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

using namespace DiskMapRecords;

namespace {

// The category holding the most bytes; entered categories only, the first in declaration order
// on a tie.
std::optional<DiskMapCategory> largest(const std::array<qint64, kCategories>& totals,
                                       const std::array<bool, kCategories>& entered) {
    std::optional<int> best;
    for (int c = 0; c < kCategories; ++c) {
        if (entered[size_t(c)] && (!best || totals[size_t(c)] > totals[size_t(*best)]))
            best = c;
    }
    return best ? std::optional<DiskMapCategory>(static_cast<DiskMapCategory>(*best))
                : std::nullopt;
}

bool openable(const QString& path) {
    const int fd = ::open(NativePath::encode(path).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// A node's id is its parent's id and its decoded name: decoding keeps a slash and the bytes on
// either side apart, so this is the decoded path without decoding it again. The root's parent
// id is empty: it is decoded from its path.
QString childId(const QString& parentId, const std::string& path, const QString& name) {
    if (parentId.isEmpty())
        return decode(path);
    QString id;
    id.reserve(parentId.size() + 1 + name.size());
    id.append(parentId);
    if (!parentId.endsWith(QLatin1Char('/')))
        id.append(QLatin1Char('/'));
    id.append(name);
    return id;
}

MapNode folderNode(QString id, const QString& name, qint64 modified) {
    MapNode node;
    node.id = std::move(id);
    node.url = QUrl::fromLocalFile(node.id);
    node.name = name;
    node.modified = dateOf(modified);
    node.isDirectory = true;
    return node;
}

} // namespace

DiskMapNodeBuilder::DiskMapNodeBuilder(const DiskMapMeasurer::Options& options, DiskMapTally& tally,
                                       std::function<void(Sink&)> sizeWhole)
    : m_options(options), m_tally(tally), m_sizeWhole(std::move(sizeWhole)) {}

MapNode DiskMapNodeBuilder::fileNode(const std::string& path, qint64 bytes,
                                     std::optional<QDateTime> modified, DiskMapCategory inherited) {
    MapNode node;
    node.id = decode(path);
    node.url = QUrl::fromLocalFile(node.id);
    const qsizetype slash = node.id.lastIndexOf(QLatin1Char('/'));
    node.name = node.id.mid(slash + 1);
    node.sizeBytes = bytes;
    node.fileCount = 1;
    node.modified = std::move(modified);
    node.category = ContentClassifier::fileCategoryBytes(path, inherited);
    return node;
}

Built DiskMapNodeBuilder::sink(Sink& sink, const QString& parentId) const {
    m_sizeWhole(sink);
    Built built;
    built.bytes = sink.bytes.load();
    built.files = std::min<qint64>(sink.files.load(), m_options.switchFiles);
    if (built.bytes - sink.blocks.load() < 1)
        return built;
    MapNode node = folderNode(childId(parentId, sink.path, sink.name), sink.name, sink.modified);
    node.sizeBytes = built.bytes;
    node.fileCount = built.files;
    node.category = sink.category;
    built.node = std::move(node);
    return built;
}

Built DiskMapNodeBuilder::folder(Folder& folder, const QString& parentId) const {
    MapNode node =
        folderNode(childId(parentId, folder.path, folder.name), folder.name, folder.modified);
    const std::optional<DiskMapCategory> keyword =
        ContentClassifier::classify<DiskMapCategory>(folder.name);
    Built built;
    if (folder.entries == 0) {
        const QString path = decode(folder.path);
        const bool listable = m_options.canList ? m_options.canList(path) : openable(path);
        if (!listable) {
            m_tally.countUnreadable();
            node.sizeBytes = folder.blocks;
            node.category = keyword.value_or(folder.inherited);
            built.bytes = node.sizeBytes;
            built.node = std::move(node);
            return built;
        }
    }
    QList<MapNode> kids;
    kids.reserve(qsizetype(folder.kids.size()) + 1);
    qint64 blocks = folder.blocks;
    qint64 total = folder.blocks + folder.hiddenBytes, files = folder.hiddenFiles;
    for (const Kid& kid : folder.kids) {
        Built child;
        if (kid.folder)
            child = this->folder(*kid.folder, node.id);
        else if (kid.sink)
            child = sink(*kid.sink, node.id);
        else {
            const BigFile& f = folder.files[size_t(kid.file)];
            child.node = folderNode(childId(node.id, f.path, f.name), f.name, f.modified);
            child.node->isDirectory = false;
            child.node->sizeBytes = child.bytes = f.bytes;
            child.node->fileCount = child.files = 1;
            child.node->category = f.category;
        }
        total += child.bytes;
        files += child.files;
        if (!child.node)
            blocks += child.bytes; // a folder of folders only
        if (child.node && !kid.hidden)
            kids.append(std::move(*child.node));
    }
    if (folder.looseCount > 0) {
        MapNode loose;
        loose.id = node.id + MapNode::looseSuffix();
        loose.url = node.url;
        loose.name = DiskMapMeasurer::looseName(folder.looseCount);
        loose.sizeBytes = folder.looseBytes;
        loose.fileCount = folder.looseCount;
        if (folder.looseNewest)
            loose.modified = dateOf(*folder.looseNewest);
        loose.category =
            largest(folder.looseByCategory, folder.looseEntered).value_or(DiskMapCategory::Unknown);
        total += loose.sizeBytes;
        files += loose.fileCount;
        kids.append(std::move(loose));
    }
    built.bytes = total;
    built.files = files;
    if (total - blocks < 1 && kids.isEmpty())
        return built;
    node.sizeBytes = total;
    node.fileCount = files;
    if (keyword)
        node.category = *keyword;
    else
        node.category = DiskMapScanner::dominantCategory(kids).value_or(folder.inherited);
    for (const MapNode& kid : std::as_const(kids)) {
        if (kid.modified && (!node.modified || *kid.modified > *node.modified))
            node.modified = kid.modified;
    }
    if (DiskMapDepthRule::keepsChildren(folder.depth)) {
        std::stable_sort(kids.begin(), kids.end(), [](const MapNode& a, const MapNode& b) {
            return a.sizeBytes > b.sizeBytes;
        });
        node.children = std::move(kids);
    }
    built.node = std::move(node);
    return built;
}
