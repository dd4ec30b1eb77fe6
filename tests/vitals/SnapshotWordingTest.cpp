#include "support/ProcessRows.h"
#include "vitals/SystemSnapshot.h"

#include <gtest/gtest.h>

using Pressure = ThermalSnapshot::Pressure;

namespace {

SystemSnapshot snapshot(Pressure pressure, double cpu = 0) {
    SystemSnapshot s;
    s.memTotalBytes = 16'000'000'000;
    s.memUsedBytes = 4'000'000'000;
    s.cpuPercent = cpu;
    s.thermal.pressure = pressure;
    return s;
}

using testsupport::cpuRow;

using testsupport::memoryRow;

} // namespace

TEST(SnapshotWording, EmptySnapshot) {
    const SystemSnapshot s;
    EXPECT_EQ(s.memTotalBytes, SystemSnapshot::physicalMemoryBytes());
    EXPECT_GT(s.memTotalBytes, 0u);
    EXPECT_EQ(s.memUsedBytes, 0u);
    EXPECT_EQ(s.cpuPercent, 0);
    EXPECT_FALSE(s.batteryPercent || s.batteryHealthPercent || s.batteryCycles);
    EXPECT_FALSE(s.batteryCharging);
    EXPECT_EQ(s.thermal.pressure, Pressure::Unknown);
    EXPECT_TRUE(s.topProcesses.isEmpty() && s.thermal.sensors.isEmpty() &&
                s.thermal.fans.isEmpty());
    EXPECT_EQ(s.headline(), "Your Mac is healthy.");
}

TEST(SnapshotWording, MemoryBreakdownOrderAndSums) {
    SystemSnapshot s;
    s.memActiveBytes = 5;
    s.memCompressedBytes = 7;
    s.memWiredBytes = 11;
    s.memCachedBytes = 13;
    s.memBuffCacheBytes = 19;
    s.memFreeBytes = 17;
    const auto parts = s.memoryBreakdown();
    ASSERT_EQ(parts.size(), 6);
    const char* labels[] = {"Available", "App memory", "Compressed", "Wired", "Cache", "Free"};
    const quint64 values[] = {30, 5, 7, 11, 19, 17};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(parts[i].label, labels[i]);
        EXPECT_EQ(parts[i].bytes, values[i]);
    }
}

TEST(SnapshotWording, BusiestAppAndWarmHeadline) {
    SystemSnapshot s = snapshot(Pressure::Fair, 40);
    s.topProcesses = {memoryRow("Safari", 2'000'000'000)};
    s.topCPUProcesses = {cpuRow("ffmpeg", 8.0)};
    EXPECT_EQ(s.busiestAppName(), "ffmpeg");
    EXPECT_EQ(s.headline(), "Your Mac is warm — ffmpeg is working hard.");

    s.topCPUProcesses = {cpuRow("ffmpeg", 7.9)};
    EXPECT_FALSE(s.busiestAppName());
    EXPECT_EQ(s.headline(), "Your Mac is warm; the system is managing the heat.");

    s.cpuPercent = 40.1;
    EXPECT_EQ(s.busiestAppName(), "Safari");
    EXPECT_EQ(s.headline(), "Your Mac is warm — Safari is working hard.");

    s.topProcesses.clear();
    EXPECT_FALSE(s.busiestAppName());
}

TEST(SnapshotWording, HeadlineOrder) {
    EXPECT_EQ(snapshot(Pressure::Serious, 99).headline(), "Your Mac is running hot right now.");
    EXPECT_EQ(snapshot(Pressure::Critical).headline(),
              "Your Mac is critically hot — ease the load.");

    SystemSnapshot s = snapshot(Pressure::Nominal, 90);
    EXPECT_EQ(s.headline(), "Something is working your Mac hard right now.");
    s.memUsedBytes = 13'700'000'000; // 0.856 of total
    EXPECT_EQ(s.headline(), "Your Mac is juggling too much at once.");
    s.memUsedBytes = 13'600'000'000; // exactly 0.85 is not above
    EXPECT_EQ(s.headline(), "Something is working your Mac hard right now.");
    s.memTotalBytes = 0; // no total: the memory rule is skipped
    s.memUsedBytes = 1;
    s.cpuPercent = 80;
    EXPECT_EQ(s.headline(), "Your Mac is healthy.");
}

TEST(SnapshotWording, TheHeadlineLevelSaysWhatTheHeadlineSays) {
    const struct {
        SystemSnapshot snapshot;
        int level;
    } rows[] = {
        {snapshot(Pressure::Nominal, 10), 0}, {snapshot(Pressure::Unknown, 10), 0},
        {snapshot(Pressure::Nominal, 90), 1}, // working hard, whatever the memory
        {snapshot(Pressure::Fair), 1},        {snapshot(Pressure::Serious), 2},
        {snapshot(Pressure::Critical), 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.snapshot.headline().toStdString());
        EXPECT_EQ(row.snapshot.headlineLevel(), row.level);
    }
    SystemSnapshot juggling = snapshot(Pressure::Nominal);
    juggling.memUsedBytes = 13'700'000'000;
    EXPECT_EQ(juggling.headlineLevel(), 1);
}

TEST(SnapshotWording, ThermalExplanationSentences) {
    SystemSnapshot s = snapshot(Pressure::Nominal, 30);
    EXPECT_EQ(s.thermalExplanation(),
              "The system reports no thermal pressure. No fans reported (normal on fanless "
              "models). Nothing looks like it is forcing the Mac to overheat.");

    s.thermal.pressure = Pressure::Serious;
    s.thermal.cpuCelsius = 88.5;
    s.thermal.gpuCelsius = 70.4;
    s.thermal.fanRPMs = {3100, 5400};
    EXPECT_EQ(s.thermalExplanation(),
              "Your Mac is under real thermal pressure. Performance may be limited until it "
              "cools. CPU around 88°C. GPU around 70°C. Fans at 5400 RPM.");

    s.topCPUProcesses = {cpuRow("clang", 312.9)};
    EXPECT_TRUE(
        s.thermalExplanation().endsWith("Fans at 5400 RPM. clang is using about 312% CPU."));

    // A busy app under no pressure and moderate load is not blamed.
    s.thermal.pressure = Pressure::Unknown;
    EXPECT_EQ(s.thermalExplanation(),
              "Thermal pressure could not be read. CPU around 88°C. GPU around 70°C. Fans at "
              "5400 RPM. Nothing looks like it is forcing the Mac to overheat.");

    // Named from the memory list when no CPU row is there.
    s.topCPUProcesses.clear();
    s.topProcesses = {memoryRow("Xcode", 1)};
    s.cpuPercent = 60;
    EXPECT_TRUE(s.thermalExplanation().endsWith("Xcode is among the busiest apps."));
}

TEST(SnapshotWording, TheBusiestAppIsGivenItsOwnCpuFigure) {
    // The busiest app comes from the memory list (the first CPU row is under 8 %): another
    // process's CPU figure must not be put beside its name.
    SystemSnapshot s = snapshot(Pressure::Fair, 45);
    s.topProcesses = {memoryRow("firefox-esr", 3'000'000'000, 100), memoryRow("code", 1, 200)};
    s.topCPUProcesses = {cpuRow("Xorg-helper", 5.9, 300), cpuRow("code", 3.2, 200)};
    EXPECT_EQ(s.busiestAppName(), "firefox-esr");
    EXPECT_TRUE(s.thermalExplanation().endsWith("firefox-esr is among the busiest apps."))
        << s.thermalExplanation().toStdString();

    // Its own CPU row, found by pid (a row of the same name but another pid is not its own).
    s.topCPUProcesses = {cpuRow("firefox-esr", 7.4, 101), cpuRow("firefox-esr", 6.8, 100)};
    EXPECT_TRUE(s.thermalExplanation().endsWith("firefox-esr is using about 6% CPU."))
        << s.thermalExplanation().toStdString();

    // Rows that cannot be tied together say nothing about each other.
    s.topProcesses = {memoryRow("firefox-esr", 3'000'000'000)};
    s.topCPUProcesses = {cpuRow("firefox-esr", 7.4)};
    EXPECT_TRUE(s.thermalExplanation().endsWith("firefox-esr is among the busiest apps."));
}

TEST(SnapshotWording, DiskFullnessCountsAsDfDoes) {
    SystemSnapshot s;
    EXPECT_EQ(s.diskFreeFraction(), 1.0); // no size: nothing used
    s.diskTotalBytes = 1000;
    s.diskFreeBytes = 250;
    EXPECT_DOUBLE_EQ(s.diskFreeFraction(), 0.25); // no used figure: free ÷ total
    s.diskUsedBytes = 700;                        // 50 bytes reserved for root count as neither
    EXPECT_DOUBLE_EQ(s.diskFreeFraction(), 250.0 / 950.0);
    s.diskFreeBytes = 0;
    EXPECT_DOUBLE_EQ(s.diskFreeFraction(), 0.0); // full for the user, reserve or not
}
