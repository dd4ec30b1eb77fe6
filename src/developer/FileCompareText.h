#pragma once

#include "shell/DiffRow.h"
#include "shell/ScreenModes.h"

#include <optional>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QUrl>

// The file compare screen's wording and the rules that choose what it shows, apart from any
// widget.
namespace FileCompareText {

// What the verdict slot of the title row shows.
enum class Verdict {
    Hidden,    // no result yet (also while the first run is busy)
    Busy,      // a small progress indicator
    Identical, // "Identical", green seal
    Counts,    // the added, removed and changed counts
    Different, // "Different", orange seal
    Nothing,   // a byte verdict that is not known
};
Verdict verdict(CompareMode mode, bool busy, const DiffSummary& summary,
                std::optional<bool> identicalBytes);

// The "Explain changes" button is offered for a line diff with at least one difference.
bool offersExplanation(CompareMode mode, const DiffSummary& summary);

// The result area, the first that applies: the error, "Pick two files", or the mode's page.
enum class ResultPage { Error, Pick, Text, Image, Facts };
ResultPage resultPage(const std::optional<QString>& error, CompareMode mode);

// The drop zones: "First file" / "Second file"; the file's name, or the title with no file;
// under it the folder holding the file, or the invitation to pick or drop one.
QString zoneTitle(bool left);
QString zoneName(const std::optional<QUrl>& file, bool left);
QString zoneDetail(const std::optional<QUrl>& file);
// What a reader says for a zone: its side alone while it is empty (the invitation is its
// description), its side and the file's name once one is chosen.
QString zoneReaderName(const std::optional<QUrl>& file, bool left);

// "Size: " with the byte count in file style (a missing size counts as 0 bytes).
QString sizeLine(std::optional<qint64> bytes);
// "Modified: " with an abbreviated date and a short time, e.g. "Modified: Mar 12, 2025 at
// 2:05 PM" in US English.
QString modifiedLine(const QDateTime& when, const QLocale& locale = QLocale());

// The diff list as assistive technology reads it: a table named diffTableName() with one row per
// diff row and three columns, the change ("Added", "Removed", "Changed", "Unchanged"), then the
// first and the second file's line as "Line 12: text" ("Line 12 is blank" for an empty line, ""
// for a side the row does not have).
QString diffTableName();
constexpr int diffTableColumns = 3;
QString diffColumnTitle(int column);
QString diffKindName(DiffRow::Kind kind);
QString diffCellText(const DiffRow& row, int column);

// The screen's title, and the file picker's.
QString windowTitle();
QString filePickerTitle();
QString title();
QString subtitle();
QString explainLabel();
QString explainWorkingLabel();
QString explainHelp();
QString explanationHeading();
QString explanationFootnote();
QString unavailableNote();
QString extractionBanner();
QString tooBigNote();
QString identicalLabel();
QString differentLabel();
// What the verdict's three counts say to assistive technology, where the screen shows only the
// figure beside a symbol: "1 line added", "3 lines removed", "0 lines changed".
QString addedCount(int lines);
QString removedCount(int lines);
QString changedCount(int lines);
QString errorTitle();
QString pickTitle();
QString pickMessage();
QString cannotPreviewTitle();

} // namespace FileCompareText
