#include "home/HomeTestSupport.h"

#include "home/DashboardText.h"
#include "home/GlanceText.h"
#include "home/GuidedReview.h"
#include "home/HeadroomText.h"
#include "home/HealthReportText.h"
#include "platform/AccountName.h"

#include <gtest/gtest.h>

using namespace hometest;
using P = ThermalSnapshot::Pressure;

namespace {

// --- Header ------------------------------------------------------------------------------------

TEST(DashboardText, StatusRowsTakeTheHigherRowAtTheirBounds) {
    EXPECT_EQ(DashboardText::status(85).text, "Your Mac is healthy.");
    EXPECT_EQ(DashboardText::status(84).level, 1);
    EXPECT_EQ(DashboardText::status(70).text, "A little attention would help.");
    EXPECT_EQ(DashboardText::status(70).tone, HomeTone::Yellow);
    EXPECT_EQ(DashboardText::status(45).text, "Your Mac needs a review.");
    EXPECT_EQ(DashboardText::status(44).text, "Your Mac needs attention now.");
    EXPECT_EQ(DashboardText::status(44).symbol, "exclamationmark.octagon.fill");
}

// The header stands beside the tiles and under the sidebar's dot: it follows the worse of the
// score and the live figures those two show.
TEST(DashboardText, TheStatusIsNeverCalmerThanTheTilesAndTheDot) {
    // CPU at 100 % costs the score only 15 points, yet the tile and the dot say "working hard".
    const SystemSnapshot busy = sample(0.5, 0.5, 100);
    EXPECT_EQ(HeadroomText::headroom(busy, 0).score, 85);
    EXPECT_EQ(DashboardText::liveLevel(busy), 2);
    const DashboardText::Status status = DashboardText::status(85, DashboardText::liveLevel(busy));
    EXPECT_EQ(status.text, "Your Mac needs a review.");
    EXPECT_EQ(status.tone, HomeTone::Orange);
    EXPECT_EQ(DashboardText::countLine(0, false, status.level),
              "Live vitals need attention. Complete today's check for the full picture.");
    // The card under the header reads the same level: no "look good" beside "needs a review".
    EXPECT_EQ(DashboardText::attentionEmptyMessage(false, status.level),
              "Live vitals need attention. Check temporary files and large files for the full "
              "picture.");
    EXPECT_EQ(DashboardText::attentionEmptyTitle(true, status.level), "Nothing to clean today.");
    EXPECT_EQ(DashboardText::attentionEmptyMessage(true, status.level),
              "Live vitals need attention; the tiles below say why.");
    EXPECT_EQ(DashboardText::attentionEmptyMessage(false, 0),
              "Live vitals look good. Check temporary files and large files for the full "
              "picture.");

    EXPECT_EQ(DashboardText::liveLevel(sample()), 0);
    EXPECT_EQ(DashboardText::liveLevel(sample(0.5, 0.5, 70.1)), 2); // the tile's own cut
    EXPECT_EQ(DashboardText::liveLevel(sample(0.5, 0.15)), 2);      // storage getting tight
    EXPECT_EQ(DashboardText::liveLevel(sample(0.5, 0.05)), 3);      // storage critically low
    EXPECT_EQ(DashboardText::liveLevel(sample(0.5, 0.5, 10, P::Serious)), 3);
    SystemSnapshot unmeasured = sample();
    unmeasured.diskTotalBytes = 0;
    EXPECT_EQ(DashboardText::liveLevel(unmeasured), 0); // grey: not measured yet

    // A worse score keeps its own row; a calm one stays calm.
    EXPECT_EQ(DashboardText::status(40, 2).text, "Your Mac needs attention now.");
    EXPECT_EQ(DashboardText::status(90, 0), DashboardText::status(90));
    EXPECT_EQ(DashboardText::status(75, 3).symbol, "exclamationmark.octagon.fill");
}

TEST(DashboardText, GreetingByHourAndFirstName) {
    EXPECT_EQ(DashboardText::greetingWord(0), "morning");
    EXPECT_EQ(DashboardText::greetingWord(11), "morning");
    EXPECT_EQ(DashboardText::greetingWord(12), "afternoon");
    EXPECT_EQ(DashboardText::greetingWord(17), "afternoon");
    EXPECT_EQ(DashboardText::greetingWord(18), "evening");
    EXPECT_EQ(DashboardText::firstName(" Ana  Lima\n"), "Ana");
    EXPECT_EQ(DashboardText::firstName("   "), "there");
    EXPECT_EQ(DashboardText::greeting(9, QString()), "Good morning, there");
}

TEST(DashboardText, AccountNameFromTheGecosField) {
    EXPECT_EQ(PasswdAccountName::fromGecos("Ana Lima,Room 4,555-1234,,", "ana"), "Ana Lima");
    EXPECT_EQ(PasswdAccountName::fromGecos("& Lima", "ana"), "Ana Lima");
    EXPECT_EQ(PasswdAccountName::fromGecos("Zoë Ødegård", "zoe"), QString::fromUtf8("Zoë Ødegård"));
    EXPECT_EQ(PasswdAccountName::fromGecos(",,,", "x"), "");
}

TEST(DashboardText, CountLine) {
    EXPECT_EQ(DashboardText::countLine(1, false, 3),
              "Pendrel found one thing worth your attention today.");
    EXPECT_EQ(DashboardText::countLine(3, true, 0),
              "Pendrel found 3 things worth your attention today.");
    EXPECT_EQ(DashboardText::countLine(0, true, 0), "Nothing needs you today.");
    // The empty recommendations card says the same as the header once the check is complete.
    EXPECT_EQ(DashboardText::attentionEmptyTitle(true, 0), DashboardText::countLine(0, true, 0));
    EXPECT_EQ(DashboardText::countLine(0, true, 2),
              "Live vitals need attention; run a check for a fuller diagnosis.");
    EXPECT_EQ(DashboardText::countLine(0, false, 0),
              "Live vitals look good. Complete today's check for the full picture.");
    EXPECT_EQ(DashboardText::countLine(0, false, 1),
              "Live vitals need attention. Complete today's check for the full picture.");
    // A failed large-file walk leaves the check incomplete.
    EXPECT_FALSE(
        DashboardText::hasCompletedCheck(junkDone(0), HealthCheck::Status::failed("unreadable")));
    EXPECT_TRUE(DashboardText::hasCompletedCheck(junkDone(0), bigDone(0, 0)));
}

TEST(DashboardText, LastCheckedLeavesTheSecondsOut) {
    const QDateTime when(QDate(2026, 6, 1), QTime(14, 5, 33), Qt::LocalTime);
    EXPECT_EQ(DashboardText::lastCheckedLine(when, QLocale(QLocale::German)), "Last checked 14:05");
}

// --- At a glance -------------------------------------------------------------------------------

TEST(GlanceText, StorageTile) {
    SystemSnapshot unmeasured = sample(0.5, 0.0);
    unmeasured.diskTotalBytes = 0;
    unmeasured.diskFreeBytes = 12'000'000'000;
    const GlanceText::Tile grey = GlanceText::storage(unmeasured);
    EXPECT_EQ(grey.message, "Storage is still being measured.");
    EXPECT_EQ(grey.tone, HomeTone::Secondary);
    EXPECT_EQ(grey.figure, "12 GB available");
    EXPECT_EQ(GlanceText::storage(sample(0.5, 0.099)).tone, HomeTone::Red);
    EXPECT_EQ(GlanceText::storage(sample(0.5, 0.1)).message, "Storage is getting tight.");
    EXPECT_EQ(GlanceText::storage(sample(0.5, 0.2)).message, "You have plenty of storage room.");
}

TEST(GlanceText, MemoryAndPerformanceTiles) {
    EXPECT_EQ(GlanceText::memory(sample(0.8)).message, "Memory usage is normal.");
    EXPECT_EQ(GlanceText::memory(sample(0.801)).tone, HomeTone::Orange);
    SystemSnapshot none = sample();
    none.memTotalBytes = 0;
    EXPECT_EQ(GlanceText::memory(none).tone, HomeTone::Green);
    EXPECT_EQ(GlanceText::memory(sample(0.5)).figure, "500 KB of 1 MB in use");
    EXPECT_EQ(GlanceText::performance(sample(0.5, 0.5, 70.0)).message, "Performance looks normal.");
    const GlanceText::Tile busy = GlanceText::performance(sample(0.5, 0.5, 70.1));
    EXPECT_EQ(busy.message, "Your Mac is working hard.");
    EXPECT_EQ(busy.figure, "CPU load is 70%");
}

TEST(GlanceText, TemperatureTile) {
    const GlanceText::Tile unknown = GlanceText::temperature(sample(0.5, 0.5, 10, P::Unknown));
    EXPECT_EQ(unknown.message, "Thermal status is unavailable.");
    EXPECT_EQ(unknown.tone, HomeTone::Green);
    EXPECT_EQ(unknown.figure, "System thermal pressure: unknown");
    SystemSnapshot fair = sample(0.5, 0.5, 10, P::Fair);
    fair.thermal.cpuCelsius = 61.6;
    EXPECT_EQ(GlanceText::temperature(fair).figure, QString::fromUtf8("CPU around 62°C · Warm"));
    EXPECT_EQ(GlanceText::temperature(fair).tone, HomeTone::Orange);
    EXPECT_EQ(GlanceText::temperature(sample(0.5, 0.5, 10, P::Critical)).tone, HomeTone::Red);
    EXPECT_EQ(GlanceText::temperature(sample(0.5, 0.5, 10, P::Serious)).symbol, "thermometer.high");
}

// --- Guided review -----------------------------------------------------------------------------

TEST(GuidedReview, SkippingThroughThreeCards) {
    GuidedReview r;
    EXPECT_EQ(GuidedReview::entryButton(r.step, 3), "Start guided review");
    r.start(3);
    EXPECT_TRUE(r.showing);
    EXPECT_EQ(GuidedReview::stepHeader(GuidedReview::shownIndex(r.step, 3), 3),
              "Recommendation 1 of 3");
    r.skip();
    r.skip();
    EXPECT_EQ(GuidedReview::shownIndex(r.step, 3), 2);
    EXPECT_FALSE(GuidedReview::isFinished(r.step, 3));
    r.skip();
    EXPECT_TRUE(GuidedReview::isFinished(r.step, 3));
    EXPECT_TRUE(r.showing);
    r.close();
    r.start(3);
    EXPECT_EQ(r.step, 0) << "a finished review starts over";
}

TEST(GuidedReview, ActingClosingAndAShrinkingList) {
    GuidedReview r;
    r.start(3);
    r.act();
    EXPECT_FALSE(r.showing);
    EXPECT_EQ(GuidedReview::entryTitle(r.step, 3), "Continue today's review");
    EXPECT_EQ(GuidedReview::entryButton(r.step, 3), "Continue");
    r.start(3);
    EXPECT_EQ(r.step, 1) << "resumes at the next card";
    r.skip();
    r.close();
    EXPECT_EQ(r.step, 2) << "closing keeps the card";
    // The list shrank to one card: the review counts as finished and starts over.
    EXPECT_EQ(GuidedReview::entryButton(r.step, 1), "Start guided review");
    EXPECT_EQ(GuidedReview::shownIndex(r.step, 1), 0);
    r.start(1);
    EXPECT_EQ(r.step, 0);
    EXPECT_TRUE(GuidedReview::isFinished(0, 0)) << "no cards: the finished view";
}

// --- Health report -----------------------------------------------------------------------------

TEST(HealthReportText, ScoreCutsAndColours) {
    EXPECT_EQ(HealthReportText::healthScore(sample(0.85, 0.5, 50)), 92);
    EXPECT_EQ(HealthReportText::healthScore(sample(0.7, 0.5, 50)), 100);
    EXPECT_EQ(HealthReportText::healthScore(sample(0.5, 0.5, 80.0)), 100);
    EXPECT_EQ(HealthReportText::healthScore(sample(0.5, 0.1, 10)), 90);
    EXPECT_EQ(HealthReportText::healthScore(sample(0.5, 0.2, 10)), 100);
    EXPECT_EQ(HealthReportText::healthScore(sample(0.9, 0.05, 90)), 55);
    EXPECT_EQ(HealthReportText::scoreTone(90), HomeTone::Green);
    EXPECT_EQ(HealthReportText::scoreTone(89), HomeTone::Orange);
    EXPECT_EQ(HealthReportText::scoreTone(70), HomeTone::Orange);
    EXPECT_EQ(HealthReportText::scoreTone(69), HomeTone::Red);
    EXPECT_EQ(HealthReportText::performanceVerdict(sample(0.5, 0.5, 81)), "Needs attention");
    EXPECT_EQ(HealthReportText::performanceVerdict(sample(0.71)), "Fair");
    EXPECT_EQ(HealthReportText::recoveryPotential(0), "Nothing flagged yet");
}

TEST(HealthReportText, ClearingNamesOnlyTheTemporaryFiles) {
    SystemSnapshot s = sample(0.85, 0.1);
    s.topProcesses = {memoryUser("Slack", 1'500'000'000)};
    using R = HealthReportText::Recommendation;
    EXPECT_EQ(
        HealthReportText::recommendations(s, 2'000'000'000),
        QList<R>({{"Clear 2 GB of safe temporary files.", "disk"},
                  {"Quit Slack to free 1.5 GB of memory.", "performance"},
                  {"Storage is tight. Pendrel can explain where the space went.", "folders"}}));
    // Large files alone (no junk) are never offered as temporary files to clear.
    EXPECT_EQ(HealthReportText::recommendations(sample(), 0),
              QList<R>({{"Nothing urgent. Your Mac looks healthy.", std::nullopt}}));
    // Every section a recommendation opens is named by its "Open" button.
    EXPECT_EQ(HealthReportText::openName("disk"), "Open Storage");
    EXPECT_EQ(HealthReportText::openName("performance"), "Open Performance");
    EXPECT_EQ(HealthReportText::openName("folders"), "Open Browse Storage");
    EXPECT_EQ(HealthReportText::openName("nowhere"), "Open");
}

TEST(HealthReportText, BatteryCard) {
    SystemSnapshot desktop = sample();
    const HealthReportText::Card battery = HealthReportText::cards(desktop).at(3);
    EXPECT_EQ(battery.value, "N/A");
    EXPECT_EQ(battery.detail, "Desktop Mac");
    desktop.batteryPercent = 54;
    desktop.batteryCharging = true;
    EXPECT_EQ(HealthReportText::cards(desktop).at(3).value, "54%");
    EXPECT_EQ(HealthReportText::cards(desktop).at(3).detail, "Charging");
}

} // namespace
