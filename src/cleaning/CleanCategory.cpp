#include "cleaning/CleanCategory.h"

#include "platform/HomeLayout.h"

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
