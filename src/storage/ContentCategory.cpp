#include "storage/ContentCategory.h"

QString rawValue(ContentCategory category) {
    return rawValue(diskMapCategory(category));
}

template <> std::optional<ContentCategory> fromRawValue<ContentCategory>(const QString& raw) {
    const std::optional<DiskMapCategory> category = fromRawValue<DiskMapCategory>(raw);
    return category ? std::optional<ContentCategory>(contentCategory(*category)) : std::nullopt;
}

template <> const QList<ContentCategory>& allCases<ContentCategory>() {
    static const QList<ContentCategory> cases = [] {
        QList<ContentCategory> all;
        for (const DiskMapCategory category : allCases<DiskMapCategory>())
            all.append(contentCategory(category));
        return all;
    }();
    return cases;
}

QString title(ContentCategory category) {
    return title(diskMapCategory(category));
}

QString description(ContentCategory category) {
    // The folder browser only says so; the disk map adds what Pendrel will do about it.
    if (category == ContentCategory::Unknown)
        return QStringLiteral("Pendrel could not tell what this is.");
    return description(diskMapCategory(category));
}
