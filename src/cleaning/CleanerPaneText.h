#pragma once

#include "cleaning/CategoryCleaner.h"
#include "measuring/CleanCategory.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The wording and the selection rules of the cleaner pane, the one screen through which every
// cleaner's table is reviewed and cleaned. Pure functions of a table and a set of ticked ids.
namespace CleanerPaneText {

// What a host writes on its cleaner pane; every field is shown as given.
struct Texts {
    QString title;
    QString subtitle;
    QString readyDescription; // message of the "Ready to scan" state
    QString measuringLabel;   // beside the spinner while measuring
    QString confirmMessage;   // message of the typed-code confirmation
    QString askQuestion;      // the assistant strip's preset question
};

// The hosts: system junk, mail data and screenshots.
Texts systemJunk();
Texts mail();
Texts screenshots();

// Rows that can be cleaned and were found (size or file count above zero) or were refused (shown
// locked, with the reason), in table order: the "Safe to clear" section.
QList<CleanCategory> measuredItems(const QList<CleanCategory>& table);
// Rows that are only measured and were found, in table order: the locked section.
QList<CleanCategory> measureOnlyRows(const QList<CleanCategory>& table);
// What the ticked removable rows free, each item once however many rows list it
// (CleanCategories::selectedBytes): the figure on the clean button and in the confirmation.
qint64 selectedBytes(const QList<CleanCategory>& table, const QSet<QString>& selected);
// Whether "Clean selected" can be pressed for this selection: some ticked row found something.
// A selection whose rows all measured nothing (an emptied cache after its clean) has nothing to
// clean, and its button stays disabled.
bool canClean(const QList<CleanCategory>& table, const QSet<QString>& selected);

// The ticks a fresh scan starts with, decided from the table flags alone (before any size is
// known): the on-by-default removable rows graded safe; when there are none, the on-by-default
// removable rows that are not risky.
QSet<QString> preselection(const QList<CleanCategory>& table);

// The ticks without the rows whose last measurement was refused: nothing of theirs can be cleaned.
QSet<QString> withoutRefused(const QList<CleanCategory>& table, const QSet<QString>& selected);
// The ticks that stay once a clean is over: only rows graded safe (and not refused). A row of any
// other grade was approved for what it held then; after the clean it holds something else (the
// Trash row, what this very clean moved), which needs a tick and a confirmation of its own.
QSet<QString> selectionAfterClean(const QList<CleanCategory>& table, const QSet<QString>& selected);

// Whether a finished scan shows the list rather than "Nothing found": some cleanable row was
// found or refused, or some measure-only row has bytes (a measure-only row with files but no
// bytes does not count).
bool showsList(const QList<CleanCategory>& table);

// The row's third line: the refusal line for a refused row; else the consequence, then "N items"
// when the row found files, joined by " · "; then, each on a line of its own, where the row
// looked instead of an ignored variable's place. Empty when it has none of these.
QString metaLine(const CleanCategory& category);
// "Left alone: /home/ada is your home folder, so Pendrel will not empty it." A row that searches
// its locations (search) says "will not search it" instead.
QString refusalLine(const ContentsRefusal& refusal, bool search = false);
// "XDG_STATE_HOME points at /home/ada, which holds more than app data, so Pendrel looked in
// /home/ada/.local/state instead." A relative value "is not a full path".
QString ignoredVariableLine(const HomeLayout::IgnoredVariable& variable);
// The reason of a clean's line for a refused location: "It holds your Documents folder".
QString refusalReason(const ContentsRefusal& refusal);
// The reason of a clean's line for a listed item that no longer qualifies.
QString changedSinceMeasuredReason();
// Under the size of a cleanable row: "N files".
QString filesText(int fileCount);

// After a clean: "Freed 1.2 GB", with " · N items skipped" when some items could not be moved.
// leftMounted names the skipped items refused because another folder is mounted at or inside
// them, which the line then says: " · proj was left in place: another folder is mounted in it",
// or for several " · proj and 2 more were left in place: other folders are mounted in them".
// A clean that moved nothing and failed says why instead of what it freed: "Nothing was
// cleaned · 3 items skipped · blob.bin: Permission denied, and 2 more" (with the same mounted
// part), a line resultIsProblem() tells apart.
QString resultLine(const CleanResult& result);
// True for a result line of a clean that failed outright, shown in the colour of a problem.
bool resultIsProblem(const QString& line);
// "Clean selected · 1.2 GB"
QString cleanButtonTitle(qint64 selectedBytes);
// "Clean 1.2 GB?"
QString confirmTitle(qint64 selectedBytes);

QString confirmVerb();    // "Clean now"
QString rescanTitle();    // "Rescan"
QString askPrompt();      // "Not sure what something is?"
QString readyTitle();     // "Ready to scan"
QString failedTitle();    // "Scan failed"
QString nothingTitle();   // "Nothing found"
QString nothingMessage(); // "Pendrel could not find any of these on this Mac. Nothing to do."
QString safeSection();    // "Safe to clear"
QString keptSection();    // "Measured, but Pendrel will not touch it"
QString revealTitle();    // the button of a locked row that shows its folder

} // namespace CleanerPaneText
