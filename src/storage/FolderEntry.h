#pragma once

#include "platform/RawValue.h"
#include "storage/ContentCategory.h"
#include "storage/FolderSizeTotal.h"

#include <optional>
#include <QDateTime>
#include <QMetaType>
#include <QString>

// One child of the folder the browser shows.
struct FolderEntry {
    QString id;               // the cleaned path: the same text for the same item at every listing
    QString path;             // the item as listed
    QString name;             // the last path component
    bool isDirectory = false; // folders, packages included
    bool isPackage = false;   // a folder shown and measured as one item
    bool isCloudManaged = false;
    std::optional<QDateTime> modified;
    ContentCategory category = ContentCategory::Unknown;
    std::optional<qint64> sizeBytes; // allocated bytes; none until a folder is measured
    int fileCount = 0;               // regular files inside; 1 for a file
    // A plain file that has other names too, which a folder row may hold: the total counts it
    // once (FolderSizeTotal).
    std::optional<FolderSizeTotal::LinkedFile> link;

    // A folder the user can go into: not a file, not a package.
    bool isFolder() const { return isDirectory && !isPackage; }

    // Rows compare by identity and measurement only, so a list redraws a row exactly when its
    // size or file count changes.
    bool operator==(const FolderEntry& o) const {
        return id == o.id && sizeBytes == o.sizeBytes && fileCount == o.fileCount;
    }
};
Q_DECLARE_METATYPE(FolderEntry)

// How the browser orders entries: "size" (largest first, unmeasured last) or "name" (folders
// first). Raw values are the case names.
enum class FolderSortOrder : quint8 { Size, Name };

QString rawValue(FolderSortOrder order);
template <> std::optional<FolderSortOrder> fromRawValue<FolderSortOrder>(const QString& raw);
template <> const QList<FolderSortOrder>& allCases<FolderSortOrder>();
