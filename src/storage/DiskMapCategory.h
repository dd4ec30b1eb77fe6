#pragma once

#include "platform/RawValue.h"

#include <QHashFunctions>

// The cases of content, in the order every list of them follows: those of DiskMapCategory and,
// case for case, of the folder browser's ContentCategory.
#define PENDREL_CONTENT_CATEGORY_CASES                                                             \
    ClientWork, Personal, Media, DownloadsLimbo, Code, AdminFinance, Unknown

// The content category of a disk-map node: what the bytes seem to be, guessed from names (see
// ContentClassifier). Raw values are the case names ("clientWork", …, "unknown"), matched
// case-sensitively; the cases are listed in this declaration order everywhere.
enum class DiskMapCategory { PENDREL_CONTENT_CATEGORY_CASES };

QString rawValue(DiskMapCategory category);
template <> std::optional<DiskMapCategory> fromRawValue<DiskMapCategory>(const QString& raw);
template <> const QList<DiskMapCategory>& allCases<DiskMapCategory>();

// "Client work", "Personal", "Photos and video", "Downloads and limbo", "Code",
// "Admin and finance", "Not sure yet".
QString title(DiskMapCategory category);
// One sentence on what the category holds, shown with a selected tile.
QString description(DiskMapCategory category);

// Equal categories hash alike whatever the seed's history; the raw value is what is hashed.
size_t qHash(DiskMapCategory category, size_t seed = 0) noexcept;
