#include "assistant/TamsoAIText.h"

#include "platform/TextConstant.h"

#include <QFileInfo>

namespace TamsoAIText {

PENDREL_TEXT(title, "Explain My Mac")
PENDREL_TEXT(privacyButton, "Private by design")
PENDREL_TEXT(privacyTip, "How Pendrel protects your data")
PENDREL_TEXT(copyButton, "Copy")
PENDREL_TEXT(copyTip, "Copy Pendrel's answer")
PENDREL_TEXT(questionPlaceholder, "Why is my Mac slow? What should I delete? Ask Pendrel…")
PENDREL_TEXT(askButton, "Ask")

PENDREL_TEXT(memoryTitle, "Pendrel Memory")
PENDREL_TEXT(memoryIntro, "Pendrel remembers how you use your Mac so advice fits "
                          "you, not a generic checklist.")
PENDREL_TEXT(knowledgeTitle, "What Pendrel knows")
PENDREL_TEXT(learning, "Learning about your Mac…")
PENDREL_TEXT(privacyHeading, "Private by design")
PENDREL_TEXT(privacyNote,
             "Everything Pendrel learns stays on this Mac. Nothing is sent to a server. "
             "Ask Explain My Mac builds on your Timeline — pin answers you want it to "
             "remember.")
PENDREL_TEXT(refreshButton, "Refresh")

QString trimmedBlanks(const QString& text) {
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && blank(text.at(start)))
        ++start;
    while (end > start && blank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

bool canAsk(const QString& question, bool thinking) {
    return !thinking && !trimmedBlanks(question).isEmpty();
}

QString approvalTitle(const std::optional<TamsoAction>& pending) {
    if (!pending)
        return QStringLiteral("Approve action?");
    switch (pending->kind) {
    case TamsoActionKind::OpenFeature:
        return QStringLiteral("Continue?");
    case TamsoActionKind::ProposeQuit:
        return pending->payload ? QStringLiteral("Quit ") + *pending->payload + QLatin1Char('?')
                                : QStringLiteral("Quit this app?");
    case TamsoActionKind::ProposeOpenCleanup: {
        const QString label = pending->label.trimmed();
        if (label.isEmpty())
            return QStringLiteral("Open this screen?");
        const QString question =
            label.startsWith(QLatin1String("Open ")) ? label : QStringLiteral("Open ") + label;
        return question.endsWith(QLatin1Char('?')) ? question : question + QLatin1Char('?');
    }
    }
    return QStringLiteral("Approve action?");
}

QString approvalMessage(const std::optional<TamsoAction>& pending) {
    if (!pending)
        return QString();
    switch (pending->kind) {
    case TamsoActionKind::OpenFeature:
        return QStringLiteral("Open this area of Pendrel?");
    case TamsoActionKind::ProposeQuit:
        return QStringLiteral("Pendrel will ask the app to quit politely. Unsaved work in that "
                              "app may prompt you to save.");
    case TamsoActionKind::ProposeOpenCleanup:
        return QStringLiteral("Pendrel will take you to that screen. Nothing is deleted until you "
                              "choose it there.");
    }
    return QString();
}

PENDREL_TEXT(approveButton, "Approve")
PENDREL_TEXT(cancelButton, "Cancel")

QString quitAsked(const QString& name) {
    return QStringLiteral("Asked ") + name +
           QStringLiteral(" to quit. You can reopen it any time.");
}

QString quitNotRunning(const QString& name) {
    return name + QStringLiteral(" is no longer running, so I didn't ask anything to quit.");
}

QString quitNotDelivered(const QString& name) {
    return QStringLiteral("I couldn't reach ") + name +
           QStringLiteral(" to ask it to quit, so nothing was closed.");
}

PENDREL_TEXT(findTitle, "Find anything by describing it")
PENDREL_TEXT(clearButton, "Clear")

// There is no system index to ask: the search reads the home folder itself.
PENDREL_TEXT(findHint, "Try: \"invoice from the electricity company\" or \"photo with a "
                       "dog\". Searches file names and text in your home folder, on this Mac.")

PENDREL_TEXT(findPlaceholder, "Describe the file or photo…")
PENDREL_TEXT(findButton, "Find")
PENDREL_TEXT(searching, "Searching…")
PENDREL_TEXT(nothingMatched, "Nothing matched that description. Try different words.")

QString partialSearch(bool anyHits) {
    return anyHits ? QStringLiteral("Searched part of your home folder: it is too big to search "
                                    "in full, so more files may match. Try more specific words.")
                   : QStringLiteral("Searched part of your home folder: it is too big to search "
                                    "in full, and nothing matched in that part. Try more "
                                    "specific words.");
}

PENDREL_TEXT(showButton, "Show")

bool canFind(const QString& description) {
    return !trimmedBlanks(description).isEmpty();
}

bool showsClear(bool hasResults, const QString& lastQuery) {
    return hasResults || !lastQuery.isEmpty();
}

QString hitName(const QUrl& url) {
    return QFileInfo(url.toLocalFile()).fileName();
}

QString hitFolder(const QUrl& url) {
    return QFileInfo(url.toLocalFile()).path();
}

} // namespace TamsoAIText
