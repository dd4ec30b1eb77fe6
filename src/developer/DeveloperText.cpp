#include "developer/DeveloperText.h"

#include "platform/ByteFormat.h"
#include "platform/RawValue.h"
#include "platform/TextConstant.h"

#include <algorithm>

namespace DeveloperText {

std::optional<DevPane> paneFromPayload(const QString& payload) {
    return fromRawValue<DevPane>(payload);
}

bool isModelCategory(const CleanCategory& category) {
    return category.id == QLatin1String("dev-ollama") ||
           category.id == QLatin1String("dev-lmstudio");
}

QList<CleanCategory> visibleCategories(const QList<CleanCategory>& table) {
    QList<CleanCategory> out;
    for (const CleanCategory& c : table)
        if (c.sizeBytes > 0 || c.fileCount > 0)
            out.append(c);
    return out;
}

QList<CleanCategory> hubCategories(const QList<CleanCategory>& table) {
    QList<CleanCategory> out;
    for (const CleanCategory& c : visibleCategories(table))
        if (!isModelCategory(c))
            out.append(c);
    return out;
}

qint64 safeTotal(const QList<CleanCategory>& table) {
    qint64 total = 0;
    for (const CleanCategory& c : hubCategories(table))
        if (c.onByDefault)
            total += c.sizeBytes;
    return total;
}

namespace {
void sortBySizeStable(QList<CleanCategory>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const CleanCategory& a, const CleanCategory& b) {
        return a.sizeBytes > b.sizeBytes;
    });
}
} // namespace

QList<CleanCategory> largest(const QList<CleanCategory>& table) {
    QList<CleanCategory> rows = visibleCategories(table);
    sortBySizeStable(rows);
    return rows.mid(0, 5);
}

QList<CleanCategory> paneRows(const QList<CleanCategory>& table, bool modelsOnly) {
    QList<CleanCategory> rows;
    for (const CleanCategory& c : visibleCategories(table))
        if (!modelsOnly || isModelCategory(c))
            rows.append(c);
    sortBySizeStable(rows);
    return rows;
}

qint64 selectedBytes(const QList<CleanCategory>& table, const QSet<QString>& selected) {
    return CleanCategories::selectedBytes(table, selected);
}

QSet<QString> rescanSelection(const QList<CleanCategory>& table, const QSet<QString>& remembered) {
    QSet<QString> out;
    for (const CleanCategory& c : table)
        if (remembered.isEmpty() ? c.onByDefault : remembered.contains(c.id))
            out.insert(c.id);
    return out;
}

QString confirmTitle(qint64 selectedBytes) {
    return QStringLiteral("Clean ") + formatBytes(selectedBytes) +
           QStringLiteral(" of developer data?");
}

PENDREL_TEXT(confirmMessage, "Selected items move to the Trash so you can undo. Caches regenerate; "
                             "models and Docker data re-download if you need them again.")

QString safeRecoveryLine(qint64 bytes) {
    return QStringLiteral("Safe recovery available · ") + formatBytes(bytes);
}

QString measuringLine(int done, int total) {
    if (total < 1)
        return QStringLiteral("Measuring…");
    return QStringLiteral("Measuring %1 of %2…").arg(done).arg(total);
}

QString measuringDetail(const QString& label) {
    return label.isEmpty() ? QStringLiteral("Starting") : label;
}

QString placeholderNow(const QString& label) {
    return label.isEmpty() ? QStringLiteral("This can take a minute the first time.")
                           : QStringLiteral("Now: ") + label;
}

QString placeholderCount(int done, int total) {
    return total >= 1 ? QStringLiteral("%1 of %2").arg(done).arg(total) : QString();
}

QString nothingMessage(bool modelsOnly) {
    return modelsOnly
               ? QStringLiteral("No Ollama or LM Studio models found on this Mac.")
               : QStringLiteral(
                     "Nothing from Docker, Homebrew, npm, Cargo, Ollama and the rest on this Mac.");
}

PENDREL_TEXT(hubTitle, "Developer Centre")
PENDREL_TEXT(hubIntro, "Docker, Ollama, Homebrew, npm, Cargo and more — each explained with "
                       "sizes before anything is removed. Keep Awake stops the Mac sleeping "
                       "during long agent jobs and builds.")
PENDREL_TEXT(hubAskPrompt, "Ask about Docker, caches or models")
PENDREL_TEXT(hubAskQuestion, "What developer junk is safe to delete?")
PENDREL_TEXT(largestTitle, "Largest on this Mac")

QList<Card> cards() {
    const QString open = QStringLiteral("Open");
    return {
        {DevPane::Awake, "cup.and.saucer.fill"_sym, QStringLiteral("Keep awake"),
         keepAwakeCardText(false, QString()), keepAwakeCardButton(false)},
        {DevPane::Cleanup, "hammer"_sym, QStringLiteral("Cleanup"),
         QStringLiteral("Docker, Homebrew, npm, pnpm, Bun, Gradle, Cargo, node_modules and more."),
         open},
        {DevPane::Models, "brain"_sym, QStringLiteral("AI models"),
         QStringLiteral("Ollama and LM Studio models with sizes. Off by default — check before "
                        "clearing."),
         open},
        {std::nullopt, "arrow.left.arrow.right.square"_sym, QStringLiteral("Compare files"),
         QStringLiteral("Drop two files side by side and see what changed."), open},
    };
}

QString keepAwakeCardText(bool active, const QString& statusLine) {
    return active ? statusLine
                  : QStringLiteral("Stop idle sleep for Open Claw-style agents, builds and long "
                                   "downloads.");
}

QString keepAwakeCardButton(bool active) {
    return active ? QStringLiteral("Manage") : QStringLiteral("Open");
}

QString keepAwakeTitle(bool active) {
    return active ? QStringLiteral("Keeping this Mac awake")
                  : QStringLiteral("Your Mac can sleep normally");
}

QString durationLabel(KeepAwakeManager::Duration duration) {
    switch (duration) {
    case KeepAwakeManager::Duration::UntilQuit:
        return QStringLiteral("Until I turn it off");
    case KeepAwakeManager::Duration::OneHour:
        return QStringLiteral("1 hour");
    case KeepAwakeManager::Duration::TwoHours:
        return QStringLiteral("2 hours");
    case KeepAwakeManager::Duration::FourHours:
        return QStringLiteral("4 hours");
    }
    return {};
}

PENDREL_TEXT(awakeAskPrompt, "Ask about sleep or long jobs")
PENDREL_TEXT(awakeAskQuestion, "How do I keep my Mac awake for a long agent job?")
PENDREL_TEXT(awakeHeading, "Keep awake")
PENDREL_TEXT(awakeIntro, "Stops idle sleep so long agent runs, builds and downloads are less "
                         "likely to stall. Uses the same public system stay-awake inhibitor as "
                         "systemd-inhibit in a terminal.")
PENDREL_TEXT(awakeDisplaySwitch, "Keep the display awake too")
PENDREL_TEXT(awakeDisplayNote,
             "Off by default — the Mac stays awake while the screen may dim. Turn on "
             "if a job needs the display active.")
PENDREL_TEXT(awakePowerSwitch, "Only while on power")
PENDREL_TEXT(awakePowerNote,
             "Recommended on laptops. Prevents an overnight drain if you forget it is "
             "on.")
PENDREL_TEXT(awakeDurationLabel, "Duration")
PENDREL_TEXT(awakeLimitsTitle, "What this will not do")

QStringList awakeLimits() {
    return {
        QStringLiteral("Closing a laptop lid usually still sleeps the machine — that is hardware "
                       "behaviour, not something Pendrel overrides."),
        QStringLiteral("Keep Awake turns off when Pendrel quits, when the timer ends, or when you "
                       "leave battery with “Only while on power” on."),
        QStringLiteral("Leaving it on heats the Mac and uses power. Turn it off when the job "
                       "is done."),
    };
}

QString awakeNote(const QString& lastNote, bool displayRefused) {
    QStringList lines;
    if (displayRefused)
        lines << awakeDisplayRefused();
    if (!lastNote.isEmpty())
        lines << lastNote;
    return lines.join(QLatin1Char('\n'));
}

PENDREL_TEXT(awakeDisplayRefused, "The display could not be kept awake on this desktop.")

PENDREL_TEXT(cleanupAskQuestion, "What developer caches are safe to delete?")
PENDREL_TEXT(cleanupTitle, "Reclaim developer space")
PENDREL_TEXT(cleanupSubtitle, "Build caches regenerate. Models and Docker data re-download. "
                              "Pendrel explains each one first.")
PENDREL_TEXT(preparingPage, "Preparing…")
PENDREL_TEXT(measuringPage, "Measuring developer data…")
PENDREL_TEXT(foundSoFarTitle, "Found so far")
PENDREL_TEXT(nothingTitle, "Nothing found here")

} // namespace DeveloperText
