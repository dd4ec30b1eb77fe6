#pragma once

#include "cleaning/BigFile.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

// The wording and the selection rules of the biggest-files screen. Pure functions.
namespace BiggestFilesText {

QString title();    // "Biggest files"
QString subtitle(); // the line under it

// The "Min size" picker's choices, in order; MB is 1,000,000 bytes, as every size on screen is
// written (formatBytes), so a file shown as "10.1 MB" is at least "10 MB+".
struct SizeChoice {
    QString label;
    qint64 bytes = 0;
};
const QList<SizeChoice>& sizeChoices();    // "10 MB+", "50 MB+", "100 MB+", "500 MB+"
QString sizePickerLabel();                 // "Min size"
QString onlyOldLabel();                    // "Only old (6mo+)"
QString chooseFolder();                    // "Choose folder…" before any folder was picked
QString scanAnother();                     // "Scan another…" afterwards
QString trashButton(qint64 selectedBytes); // "Trash 1.2 GB"
QString oldBadge();                        // "old"
QString revealTitle();                     // "Show"
QString listName();                        // what a reader calls the list: "Biggest files"
// What a row says to assistive technology besides the name: its size, its folder and how long
// ago it was last opened (when known; "today" within a day, then days, months of 30 days and years
// of 365), with ", old" for a file not opened for six months:
// "300 MB, in /home/me/Movies, last opened 8 months ago, old".
QString rowDescription(const BigFile& file, const QDateTime& now);

// The typed-code confirmation.
QString confirmTitle(qint64 selectedBytes); // "Move 1.2 GB to Trash?"
QString confirmMessage();
QString confirmVerb(); // "Move to Trash"

// After a move to the Trash: "Freed 1.2 GB" (also for nothing freed).
QString resultLine(qint64 freedBytes);
QString errorsTitle();                            // "Some files could not be moved"
QString errorsMessage(const QStringList& errors); // one line per file

// The content area's empty states.
QString idleTitle();
QString idleMessage();
QString nothingTitle();                           // "Nothing big here"
QString nothingOldMessage();                      // with the old-files filter on
QString nothingAboveMessage(qint64 minSizeBytes); // with it off
QString failedTitle();                            // "Scan failed"

// The rows shown: all files, or only the old ones (at `now`), order kept.
QList<BigFile> visibleFiles(const QList<BigFile>& files, bool onlyOld, const QDateTime& now);
// The listed files whose id is selected, in list order, hidden ones included.
QList<BigFile> selectedFiles(const QList<BigFile>& files, const QSet<QUuid>& selection);
// Their total size; ids that match no listed file count nothing.
qint64 selectedBytes(const QList<BigFile>& files, const QSet<QUuid>& selection);

} // namespace BiggestFilesText
