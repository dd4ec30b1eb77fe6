#include "storage/FolderBrowserText.h"

#include <algorithm>

namespace {

QString plural(qint64 count, const char* one, const char* many) {
    return QString::number(count) + QString::fromUtf8(count == 1 ? one : many);
}

} // namespace

namespace FolderBrowserText {

QString rowHelp(const FolderEntry& entry) {
    return entry.isFolder() ? QStringLiteral("Double click to look inside")
                            : QStringLiteral("Double click to show it in the file manager");
}

QString cloudNote() {
    return QStringLiteral("Kept in iCloud, so some of this may not be on this Mac.");
}

double barWidth(std::optional<qint64> sizeBytes, qint64 largest) {
    if (largest < 1 || !sizeBytes)
        return 2;
    const double ratio = double(*sizeBytes) / double(largest);
    if (ratio >= 1)
        return barTrack;
    return std::max(2.0, barTrack * ratio);
}

QString backTip() {
    return QStringLiteral("Back up one folder");
}

QString homeButton() {
    return QStringLiteral("Home");
}

QString sortTitle(FolderSortOrder order) {
    return order == FolderSortOrder::Size ? QStringLiteral("Largest first")
                                          : QStringLiteral("By name");
}

QString remeasureTip() {
    return QStringLiteral("Measure this folder again");
}

QString failedTitle() {
    return QStringLiteral("Pendrel could not read this folder");
}

QString tryAgain() {
    return QStringLiteral("Try again");
}

QString opening() {
    return QStringLiteral("Opening this folder…");
}

QString emptyTitle() {
    return QStringLiteral("Nothing in here");
}

QString emptyMessage() {
    return QStringLiteral("This folder is empty, or everything in it is hidden.");
}

QString openInApp() {
    return QStringLiteral("Open in Pendrel");
}

QString reveal() {
    return QStringLiteral("Show in File Manager");
}

QString itemCount(qint64 count) {
    return plural(count, " item", " items");
}

QString measuringCount(qint64 count) {
    return QStringLiteral("Measuring ") + plural(count, " folder…", " folders…");
}

QString screenTitle() {
    return QStringLiteral("Browse Storage");
}

QString screenSubtitle() {
    return QStringLiteral("What is on your Mac and how much room it takes.");
}

QString modeTitle(FoldersMode mode) {
    return mode == FoldersMode::Browse ? QStringLiteral("Browse") : QStringLiteral("Biggest files");
}

QString promptTitle() {
    return QStringLiteral("Pick something");
}

QString promptMessage() {
    return QStringLiteral("Click a row to see what it is. Double click a folder to look inside "
                          "it, or double click a file to show it in the file manager.");
}

QString stillMeasuring() {
    return QStringLiteral("Still measuring");
}

QString filesInside(qint64 count) {
    return plural(count, " file inside", " files inside");
}

QString lastChanged(const QDate& date, const QLocale& locale) {
    return QStringLiteral("Last changed ") + locale.toString(date, QStringLiteral("MMM d, yyyy"));
}

QString lookInside() {
    return QStringLiteral("Look inside");
}

QString legendTitle() {
    return QStringLiteral("What the colours mean");
}

QString legendNote() {
    return QStringLiteral("Guessed from folder and file names only. Pendrel never reads what is "
                          "inside a document.");
}

QString footer() {
    return QStringLiteral("Browsing only looks. Nothing here moves or deletes anything.");
}

} // namespace FolderBrowserText
