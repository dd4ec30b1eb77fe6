#include "cleaning/CleanupScanner.h"

ScreenshotCleanupScanner::ScreenshotCleanupScanner(const HomeLayout& layout, Deps deps,
                                                   QObject* parent)
    : CleanupScanner(categories(layout), std::move(deps), parent), m_layout(layout) {}

void ScreenshotCleanupScanner::scan() {
    setCategories(categories(m_layout));
    CleanupScanner::scan();
}

QList<CleanCategory> ScreenshotCleanupScanner::categories(const HomeLayout& layout) {
    CleanCategory base;
    base.locations = CleanCategories::mapLocations(
        layout, {QStringLiteral("Desktop"), QStringLiteral("Downloads"),
                 QStringLiteral("Pictures/Screenshots")});
    base.fileExtensions = {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg")};
    base.matchNamePrefixes = {QStringLiteral("Screenshot"), QStringLiteral("Screen Shot"),
                              QStringLiteral("CleanShot"), QStringLiteral("Capture")};
    base.maxSearchDepth = 2;
    base.quickSize = false;
    base.removable = true;
    base.searchesUserFolders = true;

    struct Band {
        const char* id;
        const char* name;
        const char* plainDescription;
        std::optional<int> olderThanDays;
        bool onByDefault;
        TamsoSafety safety;
        const char* consequence;
    };
    const Band bands[] = {
        {"screenshots-7", "Screenshots older than 7 days",
         "PNG or JPG captures on Desktop, Downloads and Pictures/Screenshots.", 7, true,
         TamsoSafety::Safe, "Moves matching screenshots to the Trash. Recent captures stay put."},
        {"screenshots-30", "Screenshots older than 30 days",
         "Older captures that often pile up unused.", 30, false, TamsoSafety::CheckFirst,
         "Moves matching screenshots to the Trash."},
        {"screenshots-all", "All screenshots in those folders",
         "Every matching screenshot found — including recent ones.", std::nullopt, false,
         TamsoSafety::Risky, "Moves all matching screenshots to the Trash. Check carefully."},
    };
    QList<CleanCategory> table;
    for (const Band& b : bands) {
        CleanCategory c = base;
        c.id = QString::fromUtf8(b.id);
        c.name = QString::fromUtf8(b.name);
        c.plainDescription = QString::fromUtf8(b.plainDescription);
        c.olderThanDays = b.olderThanDays;
        c.onByDefault = b.onByDefault;
        c.safety = b.safety;
        c.consequence = QString::fromUtf8(b.consequence);
        table.append(c);
    }
    return table;
}
