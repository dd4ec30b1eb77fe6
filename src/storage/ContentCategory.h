#pragma once

#include "platform/RawValue.h"

// The content category of an entry of the folder browser: the same seven cases, raw values and
// order as DiskMapCategory, classified by the same tables (ContentClassifier).
enum class ContentCategory {
    ClientWork,
    Personal,
    Media,
    DownloadsLimbo,
    Code,
    AdminFinance,
    Unknown
};

QString rawValue(ContentCategory category);
template <> std::optional<ContentCategory> fromRawValue<ContentCategory>(const QString& raw);
template <> const QList<ContentCategory>& allCases<ContentCategory>();

// What the folder screens show for a category: "Client work", "Personal", "Photos and video",
// "Downloads and limbo", "Code", "Admin and finance", "Not sure yet".
QString title(ContentCategory category);
// One line on what the category holds, beside a selected entry.
QString description(ContentCategory category);
