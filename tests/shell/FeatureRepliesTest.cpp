#include "shell/FeatureReplies.h"
#include "shell/QKFeature.h"
#include "support/ProcessRows.h"
#include "vitals/SystemSnapshot.h"

#include <gtest/gtest.h>

namespace {

SystemSnapshot calmSnapshot() {
    SystemSnapshot s;
    s.memTotalBytes = 10'000'000'000;
    s.memUsedBytes = 5'000'000'000;
    s.cpuPercent = 0;
    s.diskFreeBytes = 250'000'000'000;
    s.diskTotalBytes = 500'000'000'000;
    s.thermal.pressure = ThermalSnapshot::Pressure::Nominal;
    return s;
}

using testsupport::memoryRow;

using testsupport::cpuRow;

FanReading fan(int id, const char* name, int rpm, std::optional<int> max) {
    FanReading f;
    f.id = id;
    f.name = QString::fromUtf8(name);
    f.rpm = rpm;
    f.maxRPM = max;
    return f;
}

} // namespace

TEST(FeatureReplies, RecordsCarryTheirReplies) {
    const SystemSnapshot s = calmSnapshot();
    EXPECT_EQ(QKFeature::lookup("dashboard")->reply(s), FeatureReplies::dashboard(s));
    EXPECT_EQ(QKFeature::lookup("tamso")->reply(s), FeatureReplies::explain(s));
    EXPECT_EQ(QKFeature::lookup("disk")->reply(s), FeatureReplies::disk(s));
    EXPECT_EQ(QKFeature::lookup("devclean")->reply(s), FeatureReplies::devClean(s));
    EXPECT_EQ(QKFeature::lookup("performance")->reply(s), FeatureReplies::performance(s));
    // What the developer reply names is what a Linux machine has.
    EXPECT_FALSE(FeatureReplies::devClean(s).contains(QLatin1String("Xcode")));
}

TEST(FeatureReplies, WhyIsMyMacSlowNamesWhatIsStrainedOrThatNothingIs) {
    SystemSnapshot s = calmSnapshot();
    s.cpuPercent = 12.4;
    s.topProcesses = {memoryRow("Safari", 1'500'000'000)};
    EXPECT_EQ(FeatureReplies::explain(s),
              "Your Mac is healthy. CPU load is 12%. You are using 5 GB of your 10 GB of memory. "
              "Nothing here is slowing it down right now.");

    // A busy processor names the app behind it; memory above 70 % its biggest user; a disk
    // under a tenth free says so.
    s.cpuPercent = 97;
    s.topCPUProcesses = {cpuRow("ffmpeg", 88)};
    s.memUsedBytes = 7'100'000'000;
    s.diskFreeBytes = 40'000'000'000;
    EXPECT_EQ(FeatureReplies::explain(s),
              "Something is working your Mac hard right now. CPU load is 97%. ffmpeg looks like "
              "the main load. You are using 7.1 GB of your 10 GB of memory. The biggest memory "
              "user right now is Safari at 1.5 GB. Quitting it would free the most. Your disk is "
              "over 90% full, and the system slows down when storage is this tight.");

    // Warm but idle: the headline carries the heat, and nothing is called fine.
    s = calmSnapshot();
    s.thermal.pressure = ThermalSnapshot::Pressure::Fair;
    EXPECT_EQ(FeatureReplies::explain(s),
              "Your Mac is warm; the system is managing the heat. CPU load is 0%. You are using "
              "5 GB of your 10 GB of memory.");
}

TEST(FeatureReplies, HomeNamesTheBiggestUserAndHintsOnlyAboveSeventyPercent) {
    SystemSnapshot s = calmSnapshot();
    s.cpuPercent = 12.4;
    EXPECT_EQ(FeatureReplies::dashboard(s),
              "Your Mac is healthy. You are using 5 GB of 10 GB. CPU load is 12%.");

    s.topProcesses = {memoryRow("Safari", 1'500'000'000)};
    s.memUsedBytes = 7'000'000'000; // exactly 70 %
    EXPECT_EQ(FeatureReplies::dashboard(s),
              "Your Mac is healthy. You are using 7 GB of 10 GB. The biggest memory user right "
              "now is Safari at 1.5 GB. CPU load is 12%.");

    s.memUsedBytes = 7'100'000'000;
    EXPECT_TRUE(FeatureReplies::dashboard(s).endsWith(
        "Safari at 1.5 GB. Quitting it would free the most. CPU load is 12%."));

    s.memTotalBytes = 0; // no total: no ratio, no hint, no division
    EXPECT_FALSE(FeatureReplies::dashboard(s).contains("Quitting"));
}

TEST(FeatureReplies, HomeKeepsPercentSignsInProcessNames) {
    SystemSnapshot s = calmSnapshot();
    s.topProcesses = {memoryRow("odd%1%2name", 2'000'000'000)};
    EXPECT_TRUE(FeatureReplies::dashboard(s).contains("is odd%1%2name at 2 GB."));
}

TEST(FeatureReplies, StorageStatesFreeAndTotal) {
    EXPECT_EQ(FeatureReplies::disk(calmSnapshot()),
              "You have 250 GB free of 500 GB. Pendrel explains what is using space before "
              "anything is deleted — including database .bak files. Safe cleanup goes to the "
              "Trash so you can undo.");
}

TEST(FeatureReplies, PerformanceOnACoolIdleMachineIsThreeSentences) {
    EXPECT_EQ(FeatureReplies::performance(calmSnapshot()),
              "CPU is at 0% and thermal pressure is cool. No fans are reported on this Mac. "
              "The system reports no thermal pressure.");
}

TEST(FeatureReplies, PerformanceNamesTheFastestFanFirstOnTies) {
    SystemSnapshot s = calmSnapshot();
    s.cpuPercent = 37.9;
    s.thermal.cpuCelsius = 52.4;
    s.thermal.fans = {fan(0, "Left fan", 2000, 6000), fan(1, "Right fan", 2000, 6000)};
    s.thermal.fanRPMs = {2000, 2000};
    EXPECT_EQ(FeatureReplies::performance(s),
              "CPU is at 37% and thermal pressure is cool. CPU temperature is around 52°C. "
              "Left fan is at 2000 RPM (gentle). The system reports no thermal pressure.");

    // Speeds known without fan rows: neither a fan sentence nor "no fans".
    s.thermal.fans.clear();
    EXPECT_EQ(FeatureReplies::performance(s),
              "CPU is at 37% and thermal pressure is cool. CPU temperature is around 52°C. "
              "The system reports no thermal pressure.");
}

TEST(FeatureReplies, PerformanceNamesTheMainLoadOnlyWhenBusyOrWarm) {
    SystemSnapshot s = calmSnapshot();
    s.topCPUProcesses = {cpuRow("ffmpeg", 90)};
    s.cpuPercent = 50.0;
    EXPECT_TRUE(
        FeatureReplies::performance(s).endsWith(" The system reports no thermal pressure."));

    s.cpuPercent = 50.1;
    EXPECT_EQ(FeatureReplies::performance(s),
              "CPU is at 50% and thermal pressure is cool. No fans are reported on this Mac. "
              "ffmpeg looks like the main load.");

    s.cpuPercent = 10;
    s.thermal.pressure = ThermalSnapshot::Pressure::Serious;
    EXPECT_TRUE(FeatureReplies::performance(s).endsWith(" ffmpeg looks like the main load."));

    s.topCPUProcesses.clear(); // warm but nobody to blame
    EXPECT_TRUE(FeatureReplies::performance(s).endsWith(
        "is hot. No fans are reported on this Mac. Your Mac is under real thermal pressure. "
        "Performance may be limited until it cools."));

    // The first sentence already says the pressure is unknown; it is not said twice.
    s.thermal.pressure = ThermalSnapshot::Pressure::Unknown;
    EXPECT_TRUE(FeatureReplies::performance(s).endsWith(
        "thermal pressure is unknown. No fans are reported on this Mac."))
        << FeatureReplies::performance(s).toStdString();
}
