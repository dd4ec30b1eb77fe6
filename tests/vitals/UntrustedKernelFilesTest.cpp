// A sample never waits on, or believes, what sits in the kernel's file trees: a FIFO where a
// value file should be, or numbers no hardware can have.
#include "vitals/HwmonSMCClient.h"
#include "vitals/SystemStatsSampler.h"
#include "vitals/ThermalSampler.h"
#include "VitalsTestUtil.h"

#include <chrono>
#include <climits>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

using vitalstest::copyFixture;
using vitalstest::environment;

namespace {

// Replaces a file of the tree with a FIFO nobody writes to.
void plantFifo(const QString& path) {
    QFile::remove(path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
}

// Opens and closes each FIFO for writing, which lets a reader stuck in open() go on: a test
// that finds the sampler hanging fails instead of hanging itself.
void unblock(const QStringList& fifos) {
    for (const QString& path : fifos) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
}

} // namespace

TEST(UntrustedKernelFiles, FifosInPlaceOfValueFilesNeverHoldUpASample) {
    const QString root = copyFixture("laptop");
    const QStringList fifos = {
        root + "/proc/meminfo",
        root + "/proc/stat",
        root + "/proc/uptime",
        root + "/proc/100/stat",
        root + "/sys/class/hwmon/hwmon1/name",
        root + "/sys/class/hwmon/hwmon2/fan1_input",
        root + "/sys/class/hwmon/hwmon0/temp1_input",
        root + "/sys/class/power_supply/BAT0/capacity",
        root + "/sys/class/thermal/thermal_zone0/temp",
    };
    for (const QString& path : fifos)
        plantFifo(path);

    auto sampler = std::make_shared<SystemStatsSampler>(environment(root));
    auto sample = std::async(std::launch::async, [sampler] { return sampler->takeSample(); });
    const bool finished = sample.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!finished)
        unblock(fifos);
    ASSERT_TRUE(finished) << "the sample waited on a FIFO";

    const SystemSnapshot s = sample.get();
    EXPECT_EQ(s.memUsedBytes, 0u) << "memory figures come from the FIFO: none";
    EXPECT_FALSE(s.batteryPercent);
    // Everything that is still a file is read as before.
    QStringList names;
    for (const ProcessMemoryInfo& row : s.topProcesses)
        names.append(row.name);
    EXPECT_EQ(names.size(), 6);
    EXPECT_FALSE(names.contains("firefox-esr")) << "its stat file is the FIFO";
    EXPECT_EQ(s.thermal.fans.size(), 1) << "the second fan still reads";
}

TEST(UntrustedKernelFiles, AbsurdNumbersAreNoReadings) {
    // Fan channel 2147483647, values past 64 bits, negative speeds and counts, a pid past 2^31,
    // tick counters that would wrap when added (see the fixture's README).
    SystemStatsSampler sampler(environment(testsupport::fixture("vitals/absurd")));
    const SystemSnapshot s = sampler.takeSample();

    ASSERT_EQ(s.thermal.fans.size(), 1);
    EXPECT_EQ(s.thermal.fans[0].id, 3); // the other chip's fans 1 to 3 fill slots 0 to 2
    EXPECT_EQ(s.thermal.fans[0].rpm, 2000);
    EXPECT_FALSE(s.thermal.fans[0].maxRPM);
    EXPECT_EQ(s.thermal.cpuCelsius, 45.0);
    EXPECT_EQ(s.thermal.sensors.size(), 1);
    EXPECT_EQ(s.thermal.pressure, ThermalSnapshot::Pressure::Unknown);

    EXPECT_FALSE(s.batteryPercent);
    EXPECT_FALSE(s.batteryCycles);
    EXPECT_FALSE(s.batteryHealthPercent);
    EXPECT_FALSE(s.batteryCharging);

    EXPECT_EQ(s.cpuPercent, 0);
    ASSERT_EQ(s.topProcesses.size(), 1);
    EXPECT_EQ(s.topProcesses[0].name, "sane");
    EXPECT_EQ(s.topProcesses[0].memoryBytes, 2560u * 4096);
    EXPECT_LE(s.memUsedBytes, s.memTotalBytes);
    EXPECT_LE(s.memoryPressurePercent, 100.0);

    // A second sample measures CPU against the first without wrapping.
    const SystemSnapshot again = sampler.takeSample();
    EXPECT_EQ(again.cpuPercent, 0);
    EXPECT_TRUE(again.topCPUProcesses.isEmpty());
}

TEST(UntrustedKernelFiles, FanNumbersThatWouldOverflowTheSlotsAreSkipped) {
    // Layouts as a driver could report them, past what the folder reader accepts.
    const QString dir = testsupport::freshDir("fan-slots");
    vitalstest::writeFile(dir + "/a", "1000\n");
    vitalstest::writeFile(dir + "/b", "3000\n");
    HwmonChip huge{"hwmon0", "nct6775", {}, {}};
    huge.fans.append({INT_MAX, {}, dir + "/a", {}, {}, {}});
    huge.fans.append({0, {}, dir + "/a", {}, {}, {}});
    huge.fans.append({INT_MIN, {}, dir + "/a", {}, {}, {}});
    HwmonChip after{"hwmon1", "thinkpad", {}, {}};
    after.fans.append({2, {}, dir + "/b", {}, {}, {}});
    after.fans.append({INT_MAX, {}, dir + "/b", {}, {}, {}});

    HwmonSMCClient client(QList<HwmonChip>{huge, after});
    for (int slot = 0; slot < HwmonSMCClient::fanSlots; ++slot)
        EXPECT_FALSE(client.readKey(QStringLiteral("F%1Ac").arg(slot))) << slot;

    HwmonChip first{"hwmon0", "thinkpad", {}, {}};
    first.fans.append({2, {}, dir + "/b", {}, {}, {}});
    HwmonSMCClient usual(QList<HwmonChip>{first, after});
    EXPECT_FALSE(usual.readKey("F0Ac")) << "fan 1 of the first chip is missing: a gap";
    EXPECT_TRUE(usual.readKey("F1Ac"));
    EXPECT_TRUE(usual.readKey("F3Ac")) << "the second chip's fan 2 follows the first's two";
}
