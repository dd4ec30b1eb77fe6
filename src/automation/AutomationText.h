#pragma once

#include "automation/AutomationRuleState.h"
#include "measuring/CleanCategory.h"
#include "platform/ToolRunner.h"

#include <optional>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// The automation's wording apart from any widget: the one-line results of the five runners,
// the status lines of the schedule check, and the texts of the automation screen.
namespace AutomationText {

// ---- Schedule check
QString checking();   // "Checking schedules…"
QString nothingDue(); // "No enabled schedules are due right now."
// "<rule title>: <result>", the status line after a run.
QString statusLine(const QString& title, const QString& result);
// "Pendrel · <rule title>", a notification's title.
QString notificationTitle(const QString& title);

// ---- Runner results. Byte amounts in the file style (formatBytes), counts in plain digits.
QString downloadsNothing();
// With failures: "Moved <freed>; <n> skipped."; else "Moved <freed> (<count> files) to Trash."
QString downloadsMoved(qint64 freedBytes, int fileCount, const QStringList& failures);
QString developerUnavailable();
QString developerNothing();
// With failures: "Freed <freed>; <n> skipped."; else "Freed <freed> of developer caches."
QString developerFreed(qint64 freedBytes, const QStringList& failures);
QString screenshotsUnavailable();
// "No screenshots older than 7 days found." only when nothing was freed and nothing failed: a
// clean whose every move failed says so ("Moved Zero KB; 3 skipped.") instead of claiming there
// was nothing to move.
QString screenshotsMoved(qint64 freedBytes, const QStringList& failures);
// A run the guard refused for some of its rows, never "nothing found": the result so far (none
// when nothing else was done), then the first refused row's line ("Left alone: /home/ada is
// your home folder, so Pendrel will not search it.") and " N more places were left alone." for
// the rest.
QString withRefusals(const std::optional<QString>& result, const QList<CleanCategory>& refused);

// "Disk is <percent>% full — <free> free. Open Storage to reclaim space." The percent is the
// one fullness figure every screen shows (SystemSnapshot::diskFullPercent), so the alert never
// counts the blocks reserved for root as used.
QString storageAlert(int fullPercent, qint64 freeBytes);

QString dockerNotFound(); // "Docker CLI not found — skipped."
// The prune's outcome: "Could not run Docker: <reason>" when it did not start; when it ran over
// its time, "Docker prune failed: " and that; when it ended with another status than 0 (or was
// ended by a signal), "Docker prune failed: " and the first 120 characters of its error output
// as it is (or "failed" when that is not UTF-8); on success the first 200 characters of its
// trimmed output, or "Docker unused data pruned." when it printed nothing.
QString dockerOutcome(const ToolResult& result, int timeoutMs);
// Whether the prune started, finished in time and ended with status 0: every other outcome is
// one of dockerOutcome's failure lines.
bool dockerSucceeded(const ToolResult& result);

// ---- Screen
QString title();       // "Automation"
QString description(); // the line under the title
QString runNow();      // "Run now"
// What assistive technology reads for a rule's "Run now": "Run now: <rule title>".
QString runNowAccessibleName(const QString& ruleTitle);
QString checkNow(); // "Check schedules now"
QString howTitle(); // "How scheduling works"
QString howBody();
// The run-mode tip, shown only in window-only mode.
QString windowOnlyTip();

// What a rule's row shows as its status, the first that holds: running → "Running…"; a last
// run → "Last run <date> at <time>"; switched on → "Enabled — waiting for schedule"; "Off".
QString rowStatus(const std::optional<AutomationRuleState>& state, bool running,
                  const QLocale& locale = QLocale(),
                  const std::optional<QTimeZone>& zone = std::nullopt);
// An abbreviated date and a shortened time: "Mar 8, 2024 at 3:45 PM" in US English.
QString lastRunDate(const QDateTime& moment, const QLocale& locale,
                    const std::optional<QTimeZone>& zone = std::nullopt);
// The status message is shown in the secondary colour only while it is exactly "Checking
// schedules…"; a run's result flagged as a problem in red, as the cleaners show theirs; any
// other message in green.
bool statusIsProgress(const QString& message);

} // namespace AutomationText
