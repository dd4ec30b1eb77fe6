#pragma once

#include "measuring/CleanCategory.h"
#include "platform/SymbolName.h"
#include "shell/ScreenModes.h"
#include "vitals/KeepAwakeManager.h"

#include <optional>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The wording and the figures of the Developer Centre: which pane a request names, which rows
// the hub and the two cleaning panes show, what is ticked after a rescan, and the keep-awake
// pane's titles. Pure functions of the developer table and a set of ticked ids.
namespace DeveloperText {

// The pane an "open developer pane" message names: only a payload that is exactly one of the
// four raw values; anything else (empty, a title, another spelling) names none.
std::optional<DevPane> paneFromPayload(const QString& payload);

// Ollama and LM Studio: the rows of the AI models pane, left out of the hub's safe total.
bool isModelCategory(const CleanCategory& category);
// Rows that hold something (bytes or files above zero), in table order.
QList<CleanCategory> visibleCategories(const QList<CleanCategory>& table);
// The visible rows without the model rows.
QList<CleanCategory> hubCategories(const QList<CleanCategory>& table);
// The hub's "safe recovery" figure: bytes of the visible, non-model rows on by default.
qint64 safeTotal(const QList<CleanCategory>& table);
// The hub's "Largest on this Mac" rows: the visible rows (models included), largest first,
// equal sizes in table order, at most five.
QList<CleanCategory> largest(const QList<CleanCategory>& table);
// A cleaning pane's rows: the visible rows (only the model rows when modelsOnly), largest
// first, equal sizes in table order.
QList<CleanCategory> paneRows(const QList<CleanCategory>& table, bool modelsOnly);
// What cleaning every ticked row frees, visible or not, each item once
// (CleanCategories::selectedBytes); ids with no row count nothing.
qint64 selectedBytes(const QList<CleanCategory>& table, const QSet<QString>& selected);
// The ticks after a rescan: the remembered ticks that still name a row, or, when nothing was
// ticked, the rows on by default.
QSet<QString> rescanSelection(const QList<CleanCategory>& table, const QSet<QString>& remembered);

// "Clean 1.2 GB of developer data?"
QString confirmTitle(qint64 selectedBytes);
QString confirmMessage();
// "Safe recovery available · 1.2 GB"
QString safeRecoveryLine(qint64 bytes);
// The measuring strip: "Measuring…" before the total is known, else "Measuring 3 of 23…";
// under it the row being measured, or "Starting".
QString measuringLine(int done, int total);
QString measuringDetail(const QString& label);
// The placeholder while nothing is listed yet: "Now: <row>", or the first-time hint.
QString placeholderNow(const QString& label);
// "3 of 23", shown only once the total is known (empty otherwise).
QString placeholderCount(int done, int total);
// The "Nothing found here" message of the cleanup or the models pane.
QString nothingMessage(bool modelsOnly);

// The cleaning panes' fixed words: the question of their ask strip, the header's title and
// subtitle, the pages while the scan starts and while nothing is listed yet, the list's heading,
// and the empty state's title.
QString cleanupAskQuestion(); // "What developer caches are safe to delete?"
QString cleanupTitle();       // "Reclaim developer space"
QString cleanupSubtitle();
QString preparingPage();   // "Preparing…"
QString measuringPage();   // "Measuring developer data…"
QString foundSoFarTitle(); // "Found so far"
QString nothingTitle();    // "Nothing found here"

// The hub's fixed words.
QString hubTitle(); // "Developer Centre"
QString hubIntro();
QString hubAskPrompt();
QString hubAskQuestion();
QString largestTitle(); // "Largest on this Mac"

// One hub card; the keep-awake card's text and button change with the manager (below).
struct Card {
    std::optional<DevPane> pane; // none: the card opens the file-compare section
    SymbolName icon;
    QString title;
    QString text;
    QString button;
};
// "Keep awake", "Cleanup", "AI models", "Compare files", in this order.
QList<Card> cards();

// The hub's keep-awake card: the live status line while on, the fixed text while off.
QString keepAwakeCardText(bool active, const QString& statusLine);
QString keepAwakeCardButton(bool active);
// The keep-awake pane's status title.
QString keepAwakeTitle(bool active);
// The Duration picker's label of a period.
QString durationLabel(KeepAwakeManager::Duration duration);

// The keep-awake pane's fixed words: its ask strip, heading and introduction, the two switches
// with the note under each, the picker's label, and the three things it will not do.
QString awakeAskPrompt();
QString awakeAskQuestion();
QString awakeHeading(); // "Keep awake", also the name of the main switch
QString awakeIntro();
QString awakeDisplaySwitch();
QString awakeDisplayNote();
QString awakePowerSwitch();
QString awakePowerNote();
QString awakeDurationLabel(); // "Duration"
QString awakeLimitsTitle();   // "What this will not do"
QStringList awakeLimits();
// The keep-awake pane's note line: why keep-awake last stopped or failed to start, and, while
// the system keeps the machine but not the display awake, that refusal; each on its own line,
// the refusal first. Empty when there is nothing to say.
QString awakeNote(const QString& lastNote, bool displayRefused);
QString awakeDisplayRefused(); // "The display could not be kept awake on this desktop."

} // namespace DeveloperText
