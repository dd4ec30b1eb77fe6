#pragma once

#include "duplicates/DuplicateScan.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace duptest {

// A search of the folder on four threads unless the options name a count.
inline DuplicateScan::Outcome scan(const QString& folder, DuplicateScan::Options options = {}) {
    if (options.threads == 0)
        options.threads = 4;
    return DuplicateScan::run(folder, options);
}

// The files of each group found, in the groups' order.
inline QList<QStringList> fileLists(const DuplicateScan::Outcome& outcome) {
    QList<QStringList> lists;
    for (const DuplicateGroup& g : outcome.groups)
        lists.append(g.files);
    return lists;
}

} // namespace duptest
