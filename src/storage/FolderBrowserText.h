#pragma once

#include "shell/ScreenModes.h"
#include "storage/FolderEntry.h"

#include <QDate>
#include <QLocale>
#include <QString>

// The words and the one measure of the folder browser, its rows and the folders screen.
namespace FolderBrowserText {

// Rows.
// "Double click to look inside" for a folder; "Double click to show it in the file manager" for
// a file or a package.
QString rowHelp(const FolderEntry& entry);
QString cloudNote(); // "Kept in iCloud, so some of this may not be on this Mac."
// What a row's tooltip says: the whole name (the row may cut it) over what a double click does.
QString rowTip(const FolderEntry& entry);
// What a row says to assistive technology besides its name, the figures the row draws: its size
// and its bar's share of the largest (rounded to a whole percent), or "Still measuring", then
// its category when known: "1.2 GB, 40% of the largest here, Photos and video".
QString rowDescription(const FolderEntry& entry, qint64 largest);
// The width of a row's size bar, out of a 70-point track: 2 while the entry is unmeasured or
// nothing is (largest below 1), else its share of the largest, at least 2 and at most 70.
double barWidth(std::optional<qint64> sizeBytes, qint64 largest);
constexpr double barTrack = 70;

// The browser's toolbar, content and status line.
QString backTip();                        // "Back up one folder"
QString homeButton();                     // "Home"
QString trailName();                      // the trail's name to assistive technology
QString sortTitle(FolderSortOrder order); // "Largest first", "By name"
QString remeasureTip();                   // "Measure this folder again"
QString failedTitle();                    // "Pendrel could not read this folder"
QString tryAgain();                       // "Try again"
QString opening();                        // "Opening this folder…"
QString emptyTitle();                     // "Nothing in here"
QString emptyMessage();                   // "This folder is empty, or everything in it is hidden."
QString openInApp();                      // "Open in Pendrel"
QString reveal();                         // "Show in File Manager"
QString listName();                       // the list's name to assistive technology
QString itemCount(qint64 count);          // "0 items", "1 item", "12 items"
QString measuringCount(qint64 count);     // "Measuring 1 folder…", "Measuring 3 folders…"

// The folders screen.
QString screenTitle();               // "Browse Storage"
QString screenSubtitle();            // "What is on your Mac and how much room it takes."
QString modeTitle(FoldersMode mode); // "Browse", "Biggest files"
QString promptTitle();               // "Pick something"
QString detailName();                // the detail column's name to assistive technology
QString promptMessage();
QString stillMeasuring();          // "Still measuring"
QString filesInside(qint64 count); // "0 files inside", "1 file inside", "12 files inside"
QString lastChanged(const QDate& date, const QLocale& locale); // "Last changed Mar 3, 2025"
QString lookInside();                                          // "Look inside"
QString legendTitle();                                         // "What the colours mean"
QString legendNote();
QString footer(); // "Browsing only looks. Nothing here moves or deletes anything."

} // namespace FolderBrowserText
