#include "automation/AutomationText.h"
#include "automation/AutomationRule.h"
#include "fakes/FakeToolRunner.h"
#include "platform/ByteFormat.h"
#include "shell/RunModeManager.h"

#include <gtest/gtest.h>

namespace T = AutomationText;

TEST(AutomationText, RunnerResults) {
    const qint64 gb = 1'000'000'000;
    EXPECT_EQ(T::downloadsMoved(1'200'000'000, 3, {}), "Moved 1.2 GB (3 files) to Trash.");
    EXPECT_EQ(T::downloadsMoved(4096, 3, {"a: denied", "b: denied"}), "Moved 4 KB; 2 skipped.");
    EXPECT_EQ(T::developerFreed(3'400'000'000, {}), "Freed 3.4 GB of developer caches.");
    EXPECT_EQ(T::developerFreed(0, {"x: busy"}), "Freed Zero KB; 1 skipped.");
    EXPECT_EQ(T::screenshotsMoved(0, {}), "No screenshots older than 7 days found.");
    EXPECT_EQ(T::screenshotsMoved(8192, {}), "Moved 8 KB of old screenshots to Trash.");
    // Every move failed: that is said, not that there was nothing to move.
    EXPECT_EQ(T::screenshotsMoved(0, {"a.png: denied", "b.png: denied"}),
              "Moved Zero KB; 2 skipped.");
    EXPECT_EQ(T::storageAlert(90, 95 * gb), "Disk is 90% full — " + formatBytes(95 * gb) +
                                                " free. Open Storage to reclaim space.");
    EXPECT_EQ(T::statusLine("Storage alert", "Disk is 91% full"),
              "Storage alert: Disk is 91% full");
    EXPECT_EQ(T::notificationTitle("Storage alert"), "Pendrel · Storage alert");
}

TEST(AutomationText, DockerOutcomes) {
    ToolResult notStarted;
    notStarted.startError = QStringLiteral("Permission denied");
    EXPECT_EQ(T::dockerOutcome(notStarted, 60000), "Could not run Docker: Permission denied");

    ToolResult slow = FakeToolRunner::exited(-1, {}, {});
    slow.timedOut = true;
    slow.exitedNormally = false;
    EXPECT_EQ(T::dockerOutcome(slow, 600000),
              "Docker prune failed: it did not finish within 10 minutes.");

    EXPECT_EQ(T::dockerOutcome(FakeToolRunner::exited(0, "", ""), 1), "Docker unused data pruned.");
    EXPECT_EQ(
        T::dockerOutcome(FakeToolRunner::exited(0, "\n  Total reclaimed space: 1.2GB\n", ""), 1),
        "Total reclaimed space: 1.2GB");
    EXPECT_EQ(T::dockerOutcome(FakeToolRunner::exited(0, QByteArray(500, 'x'), ""), 1),
              QString(200, 'x'));

    // The error output is cut at 120 characters as a reader counts them, and kept untrimmed.
    const QString flags = QString(130, QChar(0x2691)).replace(0, 2, QStringLiteral("🇩🇪"));
    const QString failed = T::dockerOutcome(FakeToolRunner::exited(1, "", flags.toUtf8()), 1);
    EXPECT_EQ(failed, "Docker prune failed: " + flags.left(4 + 119));
    EXPECT_EQ(T::dockerOutcome(FakeToolRunner::exited(125, "", "daemon not running\n"), 1),
              "Docker prune failed: daemon not running\n");
    EXPECT_EQ(T::dockerOutcome(FakeToolRunner::exited(1, "", "\xff\xfe bad"), 1),
              "Docker prune failed: failed");
    ToolResult killed = FakeToolRunner::exited(0, "partial", "");
    killed.exitedNormally = false;
    EXPECT_EQ(T::dockerOutcome(killed, 1), "Docker prune failed: ");
}

TEST(AutomationText, RowStatusTakesTheFirstThatHolds) {
    AutomationRuleState ran;
    ran.lastRun = 0; // 1 January 2001 00:00 UTC
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QTimeZone utc = QTimeZone::utc();
    EXPECT_EQ(T::rowStatus(ran, true, us, utc), "Running…");
    EXPECT_EQ(T::rowStatus(ran, false, us, utc), "Last run Jan 1, 2001 at 12:00 AM");
    ran.enabled = true;
    EXPECT_EQ(T::rowStatus(ran, false, us, utc), "Last run Jan 1, 2001 at 12:00 AM")
        << "a last run wins over the switch";
    AutomationRuleState on;
    on.enabled = true;
    EXPECT_EQ(T::rowStatus(on, false), "Enabled — waiting for schedule");
    EXPECT_EQ(T::rowStatus(AutomationRuleState(), false), "Off");
    EXPECT_EQ(T::rowStatus(std::nullopt, false), "Off");
}

TEST(AutomationText, OnlyTheCheckingMessageIsProgress) {
    EXPECT_TRUE(T::statusIsProgress("Checking schedules…"));
    EXPECT_FALSE(T::statusIsProgress("Checking schedules..."));
    EXPECT_FALSE(T::statusIsProgress(T::nothingDue()));
    EXPECT_FALSE(T::statusIsProgress("Storage alert: Disk is 91% full"));
}

// The tip names the choices as Settings shows them, and the rules name what is cleaned here.
TEST(AutomationText, TipAndRulesNameWhatThisSystemShows) {
    for (const RunMode mode : {RunMode::MenuBar, RunMode::Login}) {
        const QString choice =
            QString::fromUtf8("“") + runModeRawValue(mode) + QString::fromUtf8("”");
        EXPECT_TRUE(T::windowOnlyTip().contains(choice)) << choice.toStdString();
    }
    for (const AutomationRule& rule : AutomationRule::all())
        EXPECT_FALSE(rule.detail.contains("Xcode")) << rule.detail.toStdString();
}
