#pragma once

#include "platform/RawValue.h"
#include "storage/DiskMapCategory.h"

// The content category of an entry of the folder browser: the disk map's cases, case for case,
// with its raw values, titles and order, classified by the same tables (ContentClassifier). A
// type of its own because the two screens describe "not sure yet" differently.
enum class ContentCategory { PENDREL_CONTENT_CATEGORY_CASES };

// The same case as the other type.
constexpr ContentCategory contentCategory(DiskMapCategory category) {
    return static_cast<ContentCategory>(category);
}
constexpr DiskMapCategory diskMapCategory(ContentCategory category) {
    return static_cast<DiskMapCategory>(category);
}

QString rawValue(ContentCategory category);
template <> std::optional<ContentCategory> fromRawValue<ContentCategory>(const QString& raw);
template <> const QList<ContentCategory>& allCases<ContentCategory>();

// What the folder screens show for a category: the disk map's title.
QString title(ContentCategory category);
// One line on what the category holds, beside a selected entry.
QString description(ContentCategory category);
