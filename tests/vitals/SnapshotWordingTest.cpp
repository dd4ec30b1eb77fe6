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

ProcessCPUInfo cpuRow(const char* name, double percent) {
    ProcessCPUInfo row;
    row.name = name;
    row.cpuPercent = percent;
    return row;
}

ProcessMemoryInfo memoryRow(const char* name, quint64 bytes) {
    ProcessMemoryInfo row;
    row.name = name;
    row.memoryBytes = bytes;
    return row;
}

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
    s.memFreeBytes = 17;
    const auto parts = s.memoryBreakdown();
    ASSERT_EQ(parts.size(), 6);
    const char* labels[] = {"Available", "App memory", "Compressed", "Wired", "Cache", "Free"};
    const quint64 values[] = {30, 5, 7, 11, 13, 17};
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
    EXPECT_EQ(s.headline(), "Your Mac is warm; macOS is managing the heat.");

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

TEST(SnapshotWording, ThermalExplanationSentences) {
    SystemSnapshot s = snapshot(Pressure::Nominal, 30);
    EXPECT_EQ(s.thermalExplanation(),
              "macOS reports no thermal pressure. No fans reported (normal on fanless models). "
              "Nothing looks like it is forcing the Mac to overheat.");

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

TEST(SnapshotWording, PressureSentences) {
    const struct {
        Pressure p;
        const char* start;
    } rows[] = {
        {Pressure::Fair, "macOS is managing heat. Fans may spin up; light throttling is possible."},
        {Pressure::Critical,
         "Thermal pressure is critical. Close heavy work and let the Mac cool."},
    };
    for (const auto& row : rows) {
        const QString text = snapshot(row.p).thermalExplanation();
        EXPECT_TRUE(text.startsWith(row.start)) << text.toStdString();
        // Under pressure with no busy app, the explanation ends after the fan sentence.
        EXPECT_TRUE(text.endsWith("No fans reported (normal on fanless models)."))
            << text.toStdString();
    }
}

TEST(SnapshotWording, NamesAreNeverTreatedAsPlaceholders) {
    SystemSnapshot s = snapshot(Pressure::Fair);
    s.topCPUProcesses = {cpuRow("%1 %2", 50)};
    EXPECT_EQ(s.headline(), "Your Mac is warm — %1 %2 is working hard.");
    EXPECT_TRUE(s.thermalExplanation().endsWith("%1 %2 is using about 50% CPU."));
}
