#pragma once

#include "platform/CancelToken.h"
#include "platform/DirectoryWalker.h"

#include <QString>

// What a file or folder takes on disk when it goes whole, moved to the Trash or shown as one
// figure: the allocated blocks of every entry below it and of the folder itself (hidden entries,
// packages, and the blocks of folders and links included), each inode once, no symlink below it
// followed; what `du -s` says of it. The one rule for the size of something taken whole: a
// cleaner's row counts what its clean will free by it, and a folder shown with its size should
// count by it too, so the two figures agree.
namespace WholeSize {

struct Tally {
    qint64 bytes = 0;
    // Regular files, each of their names: a clean moves every name to free the blocks.
    int files = 0;
    bool operator==(const Tally&) const = default;
};

// Counts one entry of a walk into the tally.
void add(Tally& tally, const DirectoryWalker::Entry& entry);

// The path walked whole on up to `threads` threads (1: the calling thread alone). A path that is
// missing or cannot be read measures nothing; entries that cannot be read are left out.
Tally of(const QString& path, int threads, const CancelToken& cancel = CancelToken());

} // namespace WholeSize
