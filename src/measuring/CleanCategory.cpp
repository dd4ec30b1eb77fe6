#include "measuring/CleanCategory.h"

#include "platform/HomeLayout.h"

#include <QDir>
#include <set>
#include <utility>

CleanCategory::MeasuringMode CleanCategory::measuringMode() const {
    if (!matchFolderNames.isEmpty())
        return MeasuringMode::FolderSearch;
    if (!fileExtensions.isEmpty())
        return MeasuringMode::FileSearch;
    if (quickSize)
        return MeasuringMode::QuickSize;
    return MeasuringMode::FullWalk;
}

bool CleanCategory::cleansFoundItems() const {
    return olderThanDays.has_value() || !fileExtensions.isEmpty() || !matchFolderNames.isEmpty();
}

void CleanCategory::setMeasurement(const Measurement& m) {
    sizeBytes = m.sizeBytes;
    fileCount = m.fileCount;
    eligibleFiles = m.eligibleFiles;
    eligibleStamps = m.eligibleStamps;
    refusal = m.refusal;
}

qsizetype CleanCategories::indexOf(const QList<CleanCategory>& table, const QString& id) {
    for (qsizetype i = 0; i < table.size(); ++i) {
        if (table.at(i).id == id)
            return i;
    }
    return -1;
}

QList<CleanCategory> CleanCategories::withIgnoredVariables(const HomeLayout& layout,
                                                           QList<CleanCategory> table) {
    for (CleanCategory& row : table)
        row.ignoredVariables = layout.ignoredVariablesFor(row.locations);
    return table;
}

QStringList CleanCategories::mapLocations(const HomeLayout& layout,
                                          const QStringList& homeRelative) {
    QStringList out;
    for (const QString& relative : homeRelative) {
        const QString path = layout.map(relative);
        if (!out.contains(path))
            out.append(path);
    }
    return out;
}

namespace {

// True when path is one of the folders or lies inside one (paths cleaned).
bool liesIn(const QStringList& folders, const QString& path) {
    for (const QString& folder : folders) {
        if (path == folder ||
            path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace

qint64 CleanCategories::selectedBytes(const QList<CleanCategory>& table,
                                      const QSet<QString>& selected) {
    QList<const CleanCategory*> rows;
    for (const CleanCategory& c : table) {
        if (c.removable && selected.contains(c.id))
            rows.append(&c);
    }
    auto itemised = [](const CleanCategory& c) {
        return c.cleansFoundItems() && !c.eligibleFiles.isEmpty() &&
               c.eligibleStamps.size() == c.eligibleFiles.size();
    };

    qint64 sum = 0;
    // Whole places first: the locations that rows empty, and the folders that rows move.
    QStringList emptied;
    for (const CleanCategory* c : rows) {
        if (itemised(*c))
            continue;
        sum += c->sizeBytes;
        if (!c->cleansFoundItems()) {
            for (const QString& location : c->locations)
                emptied.append(QDir::cleanPath(location));
        }
    }
    std::set<std::pair<quint64, quint64>> seen;
    QStringList moved = emptied;
    // Folders before files, so a file inside a moved folder is never counted ahead of it.
    for (const bool folders : {true, false}) {
        for (const CleanCategory* c : rows) {
            const bool folderRow = c->measuringMode() == CleanCategory::MeasuringMode::FolderSearch;
            if (!itemised(*c) || folderRow != folders)
                continue;
            for (qsizetype i = 0; i < c->eligibleFiles.size(); ++i) {
                const QString path = QDir::cleanPath(c->eligibleFiles.at(i));
                const ItemStamp& stamp = c->eligibleStamps.at(i);
                if (liesIn(moved, path) || !seen.insert({stamp.device, stamp.inode}).second)
                    continue;
                sum += stamp.allocatedBytes;
                if (folderRow)
                    moved.append(path);
            }
        }
    }
    return sum;
}

bool CleanCategories::selectionFindsAnything(const QList<CleanCategory>& table,
                                             const QSet<QString>& selected) {
    for (const CleanCategory& c : table) {
        if (c.removable && selected.contains(c.id) && !c.refusal &&
            (c.sizeBytes > 0 || c.fileCount > 0))
            return true;
    }
    return false;
}
