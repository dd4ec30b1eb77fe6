#pragma once

#include "shell/ScreenModes.h"

#include <functional>
#include <QDateTime>
#include <QLocale>
#include <QSize>
#include <QString>

// The wording of the duplicates screen, its group row and its comparison sheet.
namespace DuplicatesText {

// The mode switch: "Exact duplicates", "Looks similar".
QString title(DuplicatesMode mode);

// The screen's title, what a reader calls its mode picker, and the folder picker's title.
QString windowTitle();
QString modesName();
QString folderPickerTitle();
QString headerTitle();
// What assistive technology calls the slider that sizes the photos of look-alike sets.
QString thumbnailSizeName();
QString headerSubtitle();
QString clearLabel();
// "Choose folder…" before the first pick, "Scan another folder…" after.
QString folderButton(bool hasFolder);
// "Clean all · trash 3".
QString cleanAllLabel(int count);

// The confirmations. Counts are plain decimal digits.
QString cleanAllTitle(DuplicatesMode mode, int count);
QString cleanAllMessage();
QString confirmVerb();
// "Trash 1 duplicate?", "Trash 2 duplicates?" and the message for keeping a chosen copy.
QString keepChosenTitle(int count);
QString keepChosenMessage(int count);
// "Trash 1 photo?", "Trash 2 photos?" and the message for keeping the best of a set.
QString keepBestTitle(int count);
QString keepBestMessage(int count);
QString failureAlertTitle();

// Progress: "Scanning… 500 files checked"; "Looking for photos…" until the total is known,
// then "Comparing photos… 40 of 120".
QString exactProgress(qint64 scanned);
QString similarProgress(int done, int total);
// While keeping one of each: "Moving to the Trash… 40 of 120" (groups or sets handled).
QString cleaningProgress(int done, int total);

QString failedTitle();
QString idleTitle();
QString exactIdleMessage();
QString similarIdleMessage();
QString exactEmptyTitle();
// Says what the search compared (DuplicateScan: files of 1,024 bytes or more, no hidden file,
// nothing inside an app bundle), since identical files it leaves out may be there.
QString exactEmptyMessage();
QString similarEmptyTitle();
QString similarEmptyMessage();

// The look-alike list.
QString compareHint();
QString setHeader(int photos);
QString keepBestButton(int count);
QString bestQuality();
// What assistive technology reads for a set's sideways strip of photos: "4 similar photos".
QString setStripName(int photos);

// The group row: "3 identical copies · 2 MB each · click the one to keep", "Frees 4 MB" (what
// the copies that would go take on the disk: DuplicateGroup::reclaimableBytes),
// "Created Mar 3, 2025", "Keeping this one".
QString rowHeader(int files, qint64 fileSize);
QString keepSelectedButton();
QString freesLine(qint64 bytes);
QString createdLine(const QDate& date, const QLocale& locale = QLocale());
QString keepingThisOne();
// What assistive technology reads for a group's sideways strip of tiles: "3 copies to choose
// from".
QString copiesStripName(int files);

// The comparison sheet: "Side by side", "Done", and a photo's "4032 × 3024 · 2.1 MB" (empty
// without a pixel size).
QString sheetTitle();
QString doneLabel();
QString photoInfo(const QSize& pixels, qint64 bytes);

// A path or file name as shown: a byte of the name that is not UTF-8 (kept by NativePath as an
// escape) shows as "\xE9", so it neither vanishes nor looks like another character.
QString shownPath(const QString& path);
QString shownName(const QString& path);

// A shown path on at most maxLines lines of `width`, as measured by `advance`: lines break after
// a "/" (inside a name only when the name alone is wider than a line). A path that needs more
// lines loses its head, never its end: "…/" and as many trailing folders as fit, with the file
// name always last; a file name that alone needs more lines keeps its end behind "…".
QStringList pathLines(const QString& path, int maxLines, int width,
                      const std::function<int(const QString&)>& advance);

// Why a copy was left where it was when the others went to the Trash: it, or the copy kept, was
// changed after the scan and they no longer match, or it could not be read again to tell.
enum class PassedOver { CopyChanged, KeeperChanged, Unreadable };
// "b.txt: it changed after the scan and is no longer the same as the copy kept, so it was not
// moved." The photo form says "looks like" where exact copies say "the same as".
QString passedOverLine(const QString& path, PassedOver why);
QString photoPassedOverLine(const QString& path, PassedOver why);

} // namespace DuplicatesText
