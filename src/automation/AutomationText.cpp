#include "automation/AutomationText.h"

#include "cleaning/CleanerPaneText.h"
#include "platform/AppSupportFolder.h"
#include "platform/ByteFormat.h"
#include "platform/CountText.h"
#include "platform/TextConstant.h"
#include "platform/TimelineEntry.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace AutomationText {

namespace {

// The text of UTF-8 bytes, or nothing when they are not valid UTF-8.
std::optional<QString> utf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString movedWithSkips(const QString& verb, qint64 freedBytes, const QStringList& failures) {
    return verb + QLatin1Char(' ') + formatBytes(freedBytes) + QStringLiteral("; ") +
           QString::number(failures.size()) + QStringLiteral(" skipped.");
}

} // namespace

PENDREL_TEXT(checking, "Checking schedules…")
PENDREL_TEXT(nothingDue, "No enabled schedules are due right now.")

QString statusLine(const QString& title, const QString& result) {
    return title + QStringLiteral(": ") + result;
}

QString notificationTitle(const QString& title) {
    return QStringLiteral("Pendrel · ") + title;
}

PENDREL_TEXT(downloadsNothing, "Nothing older than 30 days in Downloads.")

QString downloadsMoved(qint64 freedBytes, int fileCount, const QStringList& failures) {
    if (!failures.isEmpty())
        return movedWithSkips(QStringLiteral("Moved"), freedBytes, failures);
    return QStringLiteral("Moved ") + formatBytes(freedBytes) + QStringLiteral(" (") +
           CountText::of(fileCount, "file", "files") + QStringLiteral(") to Trash.");
}

PENDREL_TEXT(developerUnavailable, "Developer cleaner unavailable.")
PENDREL_TEXT(developerNothing, "No regenerable developer caches found.")

QString developerFreed(qint64 freedBytes, const QStringList& failures) {
    if (!failures.isEmpty())
        return movedWithSkips(QStringLiteral("Freed"), freedBytes, failures);
    return QStringLiteral("Freed ") + formatBytes(freedBytes) +
           QStringLiteral(" of developer caches.");
}

PENDREL_TEXT(screenshotsUnavailable, "Screenshot cleaner unavailable.")

QString screenshotsMoved(qint64 freedBytes, const QStringList& failures) {
    if (!failures.isEmpty())
        return movedWithSkips(QStringLiteral("Moved"), freedBytes, failures);
    if (freedBytes == 0)
        return QStringLiteral("No screenshots older than 7 days found.");
    return QStringLiteral("Moved ") + formatBytes(freedBytes) +
           QStringLiteral(" of old screenshots to Trash.");
}

QString withRefusals(const std::optional<QString>& result, const QList<CleanCategory>& refused) {
    QStringList parts;
    if (result)
        parts.append(*result);
    if (!refused.isEmpty()) {
        const CleanCategory& first = refused.first();
        parts.append(CleanerPaneText::refusalLine(*first.refusal, first.cleansFoundItems()));
    }
    if (refused.size() == 2)
        parts.append(QStringLiteral("1 more place was left alone."));
    else if (refused.size() > 2)
        parts.append(QString::number(refused.size() - 1) +
                     QStringLiteral(" more places were left alone."));
    return parts.join(QLatin1Char(' '));
}

QString storageAlert(int fullPercent, qint64 freeBytes) {
    return QStringLiteral("Disk is ") + QString::number(fullPercent) + QStringLiteral("% full — ") +
           formatBytes(freeBytes) + QStringLiteral(" free. Open Storage to reclaim space.");
}

PENDREL_TEXT(dockerNotFound, "Docker CLI not found — skipped.")

QString dockerOutcome(const ToolResult& result, int timeoutMs) {
    if (!result.started)
        return QStringLiteral("Could not run Docker: ") + result.startError;
    if (result.timedOut) {
        const bool inMinutes = timeoutMs >= 60'000;
        const int amount = std::max(1, inMinutes ? timeoutMs / 60'000 : timeoutMs / 1000);
        const QString unit = inMinutes ? QStringLiteral("minute") : QStringLiteral("second");
        return QStringLiteral("Docker prune failed: it did not finish within %1 %2%3.")
            .arg(amount)
            .arg(unit, amount == 1 ? QString() : QStringLiteral("s"));
    }
    if (!dockerSucceeded(result)) {
        const QString error = utf8(result.standardError).value_or(QStringLiteral("failed"));
        return QStringLiteral("Docker prune failed: ") + leadingCharacters(error, 120);
    }
    const QString output = utf8(result.standardOutput).value_or(QString()).trimmed();
    if (output.isEmpty())
        return QStringLiteral("Docker unused data pruned.");
    return leadingCharacters(output, 200);
}

bool dockerSucceeded(const ToolResult& result) {
    return result.started && !result.timedOut && result.exitedNormally && result.exitCode == 0;
}

PENDREL_TEXT(title, "Automation")
PENDREL_TEXT(description, "Tell Pendrel what to maintain automatically. Enabled rules run on "
                          "schedule while Pendrel is open, and at launch if it starts with your "
                          "Mac.")
PENDREL_TEXT(runNow, "Run now")

QString runNowAccessibleName(const QString& ruleTitle) {
    return runNow() + QStringLiteral(": ") + ruleTitle;
}
PENDREL_TEXT(checkNow, "Check schedules now")
PENDREL_TEXT(howTitle, "How scheduling works")
PENDREL_TEXT(howBody, "Weekly cleanups run once on their day. Storage alert fires when the "
                      "disk is over 90% full (at most once per day). Results land in a "
                      "notification and in each rule below.")
PENDREL_TEXT(windowOnlyTip, "Tip: turn on “Keep in the menu bar” or “Start at login” in Settings "
                            "so Pendrel is around when a schedule fires.")

QString rowStatus(const std::optional<AutomationRuleState>& state, bool running,
                  const QLocale& locale, const std::optional<QTimeZone>& zone) {
    if (running)
        return QStringLiteral("Running…");
    if (state && state->lastRun)
        return QStringLiteral("Last run ") +
               lastRunDate(dateFromReferenceSeconds(*state->lastRun), locale, zone);
    if (state && state->enabled)
        return QStringLiteral("Enabled — waiting for schedule");
    return QStringLiteral("Off");
}

QString lastRunDate(const QDateTime& moment, const QLocale& locale,
                    const std::optional<QTimeZone>& zone) {
    const QDateTime local = zone ? moment.toTimeZone(*zone) : moment.toLocalTime();
    // Some locales' short time still carries seconds; a shortened time never does.
    static const QRegularExpression seconds(QStringLiteral(R"([:.]ss(\.z+)?)"));
    const QString time = locale.timeFormat(QLocale::ShortFormat).remove(seconds);
    return locale.toString(local.date(), QStringLiteral("MMM d, yyyy")) + QStringLiteral(" at ") +
           locale.toString(local.time(), time);
}

bool statusIsProgress(const QString& message) {
    return message == checking();
}

} // namespace AutomationText
