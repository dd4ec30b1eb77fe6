#include "storage/FolderBrowserText.h"

#include "platform/ByteFormat.h"
#include "platform/CountText.h"
#include "platform/TextConstant.h"

#include <algorithm>

namespace FolderBrowserText {

QString rowHelp(const FolderEntry& entry) {
    return entry.isFolder() ? QStringLiteral("Double click to look inside")
                            : QStringLiteral("Double click to show it in the file manager");
}

PENDREL_TEXT(cloudNote, "Kept in iCloud, so some of this may not be on this Mac.")

QString rowTip(const FolderEntry& entry) {
    return entry.name + QLatin1Char('\n') + rowHelp(entry);
}

QString rowDescription(const FolderEntry& entry, qint64 largest) {
    QString line;
    if (entry.sizeBytes) {
        line = formatBytes(*entry.sizeBytes);
        if (largest > 0)
            line += QStringLiteral(", %1% of the largest here")
                        .arg(qRound(100.0 * double(std::min(*entry.sizeBytes, largest)) /
                                    double(largest)));
    } else {
        line = stillMeasuring();
    }
    if (entry.category != ContentCategory::Unknown)
        line += QStringLiteral(", ") + title(entry.category);
    return line;
}

double barWidth(std::optional<qint64> sizeBytes, qint64 largest) {
    if (largest < 1 || !sizeBytes)
        return 2;
    const double ratio = double(*sizeBytes) / double(largest);
    if (ratio >= 1)
        return barTrack;
    return std::max(2.0, barTrack * ratio);
}

PENDREL_TEXT(backTip, "Back up one folder")
PENDREL_TEXT(homeButton, "Home")
PENDREL_TEXT(trailName, "Path to this folder")

QString sortTitle(FolderSortOrder order) {
    return order == FolderSortOrder::Size ? QStringLiteral("Largest first")
                                          : QStringLiteral("By name");
}

PENDREL_TEXT(remeasureTip, "Measure this folder again")
PENDREL_TEXT(failedTitle, "Pendrel could not read this folder")
PENDREL_TEXT(tryAgain, "Try again")
PENDREL_TEXT(opening, "Opening this folder…")
PENDREL_TEXT(emptyTitle, "Nothing in here")
PENDREL_TEXT(emptyMessage, "This folder is empty, or everything in it is hidden.")
PENDREL_TEXT(openInApp, "Open in Pendrel")
PENDREL_TEXT(reveal, "Show in File Manager")
PENDREL_TEXT(listName, "Items in this folder")

QString itemCount(qint64 count) {
    return CountText::of(count, "item", "items");
}

QString measuringCount(qint64 count) {
    return QStringLiteral("Measuring ") + CountText::of(count, "folder", "folders") +
           QStringLiteral("…");
}

PENDREL_TEXT(screenTitle, "Browse Storage")
PENDREL_TEXT(screenSubtitle, "What is on your Mac and how much room it takes.")

QString modeTitle(FoldersMode mode) {
    return mode == FoldersMode::Browse ? QStringLiteral("Browse") : QStringLiteral("Biggest files");
}

PENDREL_TEXT(promptTitle, "Pick something")
PENDREL_TEXT(detailName, "Item details")
PENDREL_TEXT(promptMessage, "Click a row to see what it is. Double click a folder to look inside "
                            "it, or double click a file to show it in the file manager.")
PENDREL_TEXT(stillMeasuring, "Still measuring")

QString filesInside(qint64 count) {
    return CountText::of(count, "file", "files") + QStringLiteral(" inside");
}

QString lastChanged(const QDate& date, const QLocale& locale) {
    return QStringLiteral("Last changed ") + locale.toString(date, QStringLiteral("MMM d, yyyy"));
}

PENDREL_TEXT(lookInside, "Look inside")
PENDREL_TEXT(legendTitle, "What the colours mean")
PENDREL_TEXT(legendNote, "Guessed from folder and file names only. Pendrel never reads what is "
                         "inside a document.")
PENDREL_TEXT(footer, "Browsing only looks. Nothing here moves or deletes anything.")

} // namespace FolderBrowserText
