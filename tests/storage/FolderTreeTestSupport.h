#pragma once

// What the folder-tree tests share: the names of a listing, one listed item, and waits for a
// tree to settle and for the pool to hand back everything it was given.
#include "storage/FolderTree.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QStringList>
#include <QThreadPool>

namespace foldertreetest {

using Entry = FolderTree::Entry;

inline QStringList names(const QList<Entry>& entries) {
    return testsupport::strings(entries, &Entry::name);
}

// One item as a listing hands it over, its size both allocated and apparent.
inline FolderTree::Listed listed(const QString& name, const QString& path, bool isDirectory,
                                 qint64 bytes = 0) {
    FolderTree::Listed item;
    item.name = name;
    item.path = path;
    item.isDirectory = isDirectory;
    item.allocatedBytes = bytes;
    item.sizeBytes = bytes;
    return item;
}

// Whether the tree has listed its folder and measured every row within 20 seconds.
inline bool settled(const FolderTree& tree) {
    return testsupport::waitFor([&] { return !tree.isListing() && tree.measuringCount() == 0; },
                                20'000);
}

// Lets every job already handed to the pool finish and deliver.
inline void drain() {
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace foldertreetest
