#pragma once

#include "platform/NativePath.h"
#include "storage/DiskMapCategory.h"
#include "storage/MapNode.h"

#include <array>
#include <atomic>
#include <optional>
#include <QDateTime>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

// The records a disk map walk keeps of what it met, before the nodes are built from them
// (DiskMapItemWalk fills them, DiskMapNodeBuilder reads them): a folder listed child by child, a
// folder measured whole (a sink), a file large enough to stand alone.
namespace DiskMapRecords {

constexpr int kCategories = 7;

inline QString decode(std::string_view bytes) {
    return NativePath::decode(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

inline std::optional<QDateTime> dateOf(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

// A folder measured whole: everything below it adds up here, from whichever worker reads the
// subfolder that holds it.
struct Sink {
    std::string path;
    QString name;
    int item = 0; // the measured item it lies in
    qint64 modified = 0;
    DiskMapCategory category = DiskMapCategory::Unknown;
    std::atomic<qint64> files{0};
    std::atomic<qint64> bytes{0};  // everything below it, its folders' own blocks included
    std::atomic<qint64> blocks{0}; // of which folders' own blocks (its own included)
    std::atomic<bool> full{false}; // reached the switch: the tool sizes it
    bool sized = false;            // the tool has been asked, and its answer is in bytes
};

struct BigFile {
    std::string path;
    QString name;
    qint64 bytes = 0;
    qint64 modified = 0;
    DiskMapCategory category = DiskMapCategory::Unknown;
};

struct Folder;

// One kept child of a listed folder, in listing order.
struct Kid {
    Folder* folder = nullptr;
    Sink* sink = nullptr;
    int file = -1;       // index into Folder::files
    bool hidden = false; // a hidden folder: counted in its parent's own share, never drawn
};

// A folder listed child by child. Its entries are all visited by the one worker that reads it,
// so its fields need no lock; the walk's end publishes them to the thread that builds the tree.
struct Folder {
    std::string path;
    QString name;
    int item = 0; // the measured item it lies in
    int depth = 0;
    qint64 modified = 0;
    DiskMapCategory inherited = DiskMapCategory::Unknown;
    DiskMapCategory handedDown = DiskMapCategory::Unknown;
    qint64 entries = 0; // everything listed, hidden items included
    // Its own share, counted but not drawn: its own blocks, and its hidden files and other hidden
    // entries that are not folders (its hidden folders are kids marked hidden).
    qint64 blocks = 0;
    qint64 hiddenBytes = 0;
    qint64 hiddenFiles = 0;
    std::vector<Kid> kids;
    std::vector<BigFile> files;
    qint64 looseBytes = 0;
    qint64 looseCount = 0;
    std::optional<qint64> looseNewest;
    std::array<qint64, kCategories> looseByCategory{};
    std::array<bool, kCategories> looseEntered{};
};

struct Target {
    Folder* folder = nullptr;
    Sink* sink = nullptr;
    // The measured item the target lies in; -1 for none.
    int item() const { return folder ? folder->item : sink ? sink->item : -1; }
};

// A node as built, and what it adds to its parent's total whether drawn or not.
struct Built {
    std::optional<MapNode> node;
    qint64 bytes = 0;
    qint64 files = 0;
};

} // namespace DiskMapRecords
