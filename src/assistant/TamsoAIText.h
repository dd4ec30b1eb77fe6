#pragma once

#include "assistant/TamsoMessage.h"

#include <optional>
#include <QString>
#include <QUrl>

// The wording and small rules of the assistant's chat screen, its describe-to-find panel and its
// memory screen,
// apart from any widget.
namespace TamsoAIText {

QString title(); // the section's title, also the context handed to the assistant
QString privacyButton();
QString privacyTip();
QString copyButton();
QString copyTip();
QString questionPlaceholder();
QString askButton();

// The text with its leading and trailing spaces and tabs removed (line breaks are kept: they
// are not what a one-line field holds by accident).
QString trimmedBlanks(const QString& text);
// "Ask" works while the question holds more than blanks and no answer is awaited.
bool canAsk(const QString& question, bool thinking);

// The approval dialog for the action awaiting approval (none: the generic texts). A cleanup
// proposal's title names the screen once: its label ("Open Disk Map") as a question.
QString approvalTitle(const std::optional<TamsoAction>& pending);
QString approvalMessage(const std::optional<TamsoAction>& pending);
QString approveButton();
QString cancelButton();

// What the assistant says after an approved quit: the request reached the application; the
// application it proposed no longer runs (so nothing was asked); or it could not be reached.
QString quitAsked(const QString& name);
QString quitNotRunning(const QString& name);
QString quitNotDelivered(const QString& name);

// --- The describe-to-find panel ----------------------------------------------------------------
QString findTitle();
QString clearButton();
QString findHint();
QString findPlaceholder();
QString findButton();
QString searching();
QString nothingMatched();
// Beside the hits of a search a limit cut short (in place of nothingMatched() when it found
// none): "Searched part of your home folder: …".
QString partialSearch(bool anyHits);
QString showButton();
bool canFind(const QString& description);
// "Clear" shows while there is anything to clear: hits, or a description searched.
bool showsClear(bool hasResults, const QString& lastQuery);
// A hit's file name and the folder that holds it.
QString hitName(const QUrl& url);
QString hitFolder(const QUrl& url);

// --- The memory screen ------------------------------------------------------------------------
QString memoryTitle();
QString memoryIntro();
QString knowledgeTitle();
QString learning();
QString privacyHeading();
QString privacyNote();
QString refreshButton();

// The panel's width in points: where it starts and the range the splitter keeps it in.
constexpr double kFindWidthMin = 240;
constexpr double kFindWidthMax = 620;

} // namespace TamsoAIText
