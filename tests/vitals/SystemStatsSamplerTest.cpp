#include "vitals/SystemStatsSampler.h"
#include "VitalsTestUtil.h"

#include <gtest/gtest.h>

using vitalstest::copyFixture;
using vitalstest::environment;
using vitalstest::writeFile;

namespace {

QString fixtureMachine(const char* name) {
    return testsupport::fixture(QStringLiteral("vitals/") + name);
}

QByteArray statLine(int pid, const char* comm, quint64 rssPages, quint64 utime, quint64 start,
                    quint64 flags = 0x400100) {
    QStringList f = {QString::number(pid),
                     QStringLiteral("(%1)").arg(comm),
                     "S",
                     "1",
                     "1",
                     "1",
                     "0",
                     "-1",
                     QString::number(flags),
                     "0",
                     "0",
                     "0",
                     "0",
                     QString::number(utime),
                     "0",
                     "0",
                     "0",
                     "20",
                     "0",
                     "1",
                     "0",
                     QString::number(start),
                     "0",
                     QString::number(rssPages)};
    while (f.size() < 52)
        f << "0";
    return (f.join(' ') + '\n').toUtf8();
}

} // namespace

TEST(SystemStatsSampler, MemoryMappedLikeFree) {
    SystemStatsSampler sampler(environment(fixtureMachine("laptop")));
    SystemSnapshot s;
    EXPECT_EQ(sampler.sampleMemory(s), 0);
    EXPECT_EQ(s.memTotalBytes, 16'384'000'000u);
    EXPECT_EQ(s.memFreeBytes, 2'048'000'000u);
    EXPECT_EQ(s.memCachedBytes + s.memFreeBytes, 9'216'000'000u); // MemAvailable
    // "Cache" is free's buff/cache: Buffers + Cached + SReclaimable, not MemAvailable − MemFree.
    EXPECT_EQ(s.memBuffCacheBytes, (300'000ULL + 6'500'000ULL + 500'000ULL) * 1024);
    EXPECT_EQ(s.memoryBreakdown().at(4).label, "Cache");
    EXPECT_EQ(s.memoryBreakdown().at(4).bytes, s.memBuffCacheBytes);
    EXPECT_EQ(s.memUsedBytes, 16'384'000'000u - 9'216'000'000u);
    EXPECT_EQ(s.memCompressedBytes, 409'600'000u); // Zswap
    EXPECT_EQ(s.memWiredBytes, 460'000u * 1024);
    EXPECT_EQ(s.memUsedBytes, s.memWiredBytes + s.memActiveBytes + s.memCompressedBytes);
    EXPECT_DOUBLE_EQ(s.memoryPressurePercent, 43.75);
}

TEST(SystemStatsSampler, MemoryWithoutMemAvailableOrWithBadFiles) {
    const QString root = copyFixture("laptop");
    SystemStatsSampler sampler(environment(root));
    writeFile(root + "/proc/meminfo", "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\n"
                                      "Cached: 300 kB\nSReclaimable: 20 kB\nShmem: 70 kB\n"
                                      "SUnreclaim: 2000 kB\n");
    SystemSnapshot s;
    ASSERT_EQ(sampler.sampleMemory(s), 0);
    EXPECT_EQ(s.memCachedBytes + s.memFreeBytes, 400u * 1024); // 100 + 50 + 300 + 20 − 70
    EXPECT_EQ(s.memWiredBytes, 600u * 1024);                   // capped at used
    EXPECT_EQ(s.memActiveBytes, 0u);

    // Used above total cannot happen here, but pressure is capped whatever the inputs.
    writeFile(root + "/proc/meminfo", "MemFree: 100 kB\n");
    SystemSnapshot untouched;
    const SystemSnapshot before = untouched;
    EXPECT_EQ(sampler.sampleMemory(untouched), -1);
    EXPECT_EQ(untouched.memTotalBytes, before.memTotalBytes);
    EXPECT_EQ(untouched.memFreeBytes, 0u);

    SystemSnapshot zero;
    writeFile(root + "/proc/meminfo", "MemTotal: 0 kB\nMemFree: 0 kB\nMemAvailable: 0 kB\n");
    ASSERT_EQ(sampler.sampleMemory(zero), 0);
    EXPECT_EQ(zero.memoryPressurePercent, 0);
}

TEST(SystemStatsSampler, CpuLoadBetweenSamples) {
    const QString root = copyFixture("laptop");
    SystemStatsSampler sampler(environment(root));
    SystemSnapshot first;
    ASSERT_EQ(sampler.sampleCPU(first), 0);
    EXPECT_EQ(first.cpuPercent, 0); // nothing to compare with yet
    EXPECT_EQ(sampler.lastTotalTicks(), 10000u + 500 + 3000 + 80000 + 1000 + 0 + 200 + 0);
    EXPECT_EQ(sampler.lastIdleTicks(), 81000u);

    // 400 more ticks, 100 of them idle or iowait: 75 % busy.
    writeFile(root + "/proc/stat", "cpu  10200 500 3100 80080 1020 0 200 0 0 0\n");
    SystemSnapshot second;
    ASSERT_EQ(sampler.sampleCPU(second), 0);
    EXPECT_DOUBLE_EQ(second.cpuPercent, 75.0);

    // No tick change: the value stays as it was.
    SystemSnapshot same;
    same.cpuPercent = 12;
    ASSERT_EQ(sampler.sampleCPU(same), 0);
    EXPECT_EQ(same.cpuPercent, 12);

    // Idle went backwards (iowait revised down): no meaningful load, but new ticks are kept.
    writeFile(root + "/proc/stat", "cpu  10300 500 3100 80080 900 0 200 0 0 0\n");
    SystemSnapshot odd;
    ASSERT_EQ(sampler.sampleCPU(odd), 0);
    EXPECT_EQ(odd.cpuPercent, 0);
    EXPECT_EQ(sampler.lastIdleTicks(), 80980u);

    // An unreadable file changes nothing.
    writeFile(root + "/proc/stat", "intr 1 2 3\n");
    const quint64 ticks = sampler.lastTotalTicks();
    EXPECT_EQ(sampler.sampleCPU(odd), -1);
    EXPECT_EQ(sampler.lastTotalTicks(), ticks);
}

TEST(SystemStatsSampler, DiskFromTheHomeVolume) {
    SamplerEnvironment env = environment(fixtureMachine("laptop"));
    QString asked;
    env.volumeSpace = [&](const QString& path) {
        asked = path;
        return std::optional<VolumeSpace>(VolumeSpace{500'000, 123'000, 350'000});
    };
    SystemStatsSampler sampler(env);
    SystemSnapshot s;
    sampler.sampleDisk(s);
    EXPECT_EQ(asked, testsupport::home());
    EXPECT_EQ(s.diskTotalBytes, 500'000);
    EXPECT_EQ(s.diskFreeBytes, 123'000);
    EXPECT_EQ(s.diskUsedBytes, 350'000);

    SystemStatsSampler failing(environment(fixtureMachine("laptop")));
    SystemSnapshot none;
    failing.sampleDisk(none);
    EXPECT_EQ(none.diskTotalBytes, 0);
    EXPECT_EQ(none.diskFreeBytes, 0);
    EXPECT_FALSE(none.diskUsedBytes);
}

TEST(SystemStatsSampler, LiveVolumeAgreesWithStatvfsOfHome) {
    SamplerEnvironment env = environment(fixtureMachine("bare"));
    env.volumeSpace = {}; // the real statvfs of the sandboxed home
    SystemStatsSampler sampler(env);
    SystemSnapshot s;
    sampler.sampleDisk(s);
    EXPECT_GT(s.diskTotalBytes, 0);
    EXPECT_LE(s.diskFreeBytes, s.diskTotalBytes);
    ASSERT_TRUE(s.diskUsedBytes);
    EXPECT_LE(*s.diskUsedBytes + s.diskFreeBytes, s.diskTotalBytes); // reserved blocks aside
}

TEST(SystemStatsSampler, BatteryOfTheLaptopSkipsTheMouse) {
    SystemStatsSampler sampler(environment(fixtureMachine("laptop")));
    SystemSnapshot s;
    sampler.sampleBattery(s);
    EXPECT_EQ(s.batteryPercent, 87); // the mouse's 30 % would come last otherwise
    EXPECT_TRUE(s.batteryCharging);
    EXPECT_EQ(s.batteryCycles, 312);
    EXPECT_EQ(s.batteryHealthPercent, 90);
}

TEST(SystemStatsSampler, BatteryVariants) {
    const QString root = copyFixture("laptop");
    const QString bat = root + "/sys/class/power_supply/BAT0/";
    SystemStatsSampler sampler(environment(root));

    writeFile(root + "/sys/class/power_supply/AC/online", "0\n");
    writeFile(bat + "energy_full", "51500000\n"); // 103 % of design is stored as 100
    writeFile(bat + "capacity", "eighty\n");
    SystemSnapshot s;
    sampler.sampleBattery(s);
    EXPECT_FALSE(s.batteryCharging);
    EXPECT_EQ(s.batteryHealthPercent, 100);
    EXPECT_FALSE(s.batteryPercent);

    // No mains supply listed: the battery's own status tells.
    QDir(root + "/sys/class/power_supply/AC").removeRecursively();
    writeFile(bat + "status", "Full\n");
    // The charge pair when the energy pair is missing; a design of 0 gives no health.
    QFile::remove(bat + "energy_full");
    QFile::remove(bat + "energy_full_design");
    writeFile(bat + "charge_full", "4000000\n");
    writeFile(bat + "charge_full_design", "0\n");
    SystemSnapshot t;
    sampler.sampleBattery(t);
    EXPECT_TRUE(t.batteryCharging);
    EXPECT_FALSE(t.batteryHealthPercent);
    EXPECT_EQ(t.batteryCycles, 312);
    writeFile(bat + "charge_full_design", "5000000\n");
    SystemSnapshot u;
    sampler.sampleBattery(u);
    EXPECT_EQ(u.batteryHealthPercent, 80);
}

TEST(SystemStatsSampler, NoBatteryOnTheDesktop) {
    SystemStatsSampler sampler(environment(fixtureMachine("desktop-amd")));
    SystemSnapshot s;
    sampler.sampleBattery(s);
    EXPECT_FALSE(s.batteryPercent || s.batteryCycles || s.batteryHealthPercent);
    EXPECT_FALSE(s.batteryCharging);
}

TEST(SystemStatsSampler, LargestProcessesFromProc) {
    SystemStatsSampler sampler(environment(fixtureMachine("laptop")));
    const auto rows = sampler.topMemoryProcesses(6);
    QStringList names;
    for (const auto& r : rows)
        names << r.name;
    // Kernel threads and the malformed stat file are left out; a newline in a name is a space.
    EXPECT_EQ(names, QStringList({"firefox-esr", "code", "Isolated Web Co", "gnome-shell",
                                  "evil name", "Xorg"}));
    EXPECT_EQ(rows[0].memoryBytes, 400000ull * 4096);
    EXPECT_EQ(rows[0].pid, 100);
    EXPECT_EQ(rows[1].pid, 105);
    const auto all = sampler.topMemoryProcesses(50);
    ASSERT_EQ(all.size(), 10);
    bool sawParens = false;
    for (const auto& r : all)
        sawParens = sawParens || r.name == "(sd-pam)";
    EXPECT_TRUE(sawParens);
}

TEST(SystemStatsSampler, ANamelessOrMisleadingProcessIsStillListedReadably) {
    const QString root = copyFixture("laptop");
    writeFile(root + "/proc/120/stat", statLine(120, "", 900000, 0, 100));
    writeFile(root + "/proc/121/stat", statLine(121,
                                                "\xE2\x80\xAE"
                                                "exe.evil",
                                                800000, 0, 100));
    SystemStatsSampler sampler(environment(root));
    const auto rows = sampler.topMemoryProcesses(2);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].name, "Process 120");
    EXPECT_EQ(rows[0].pid, 120);
    EXPECT_EQ(rows[1].name, "exe.evil"); // the right-to-left override is gone
}

TEST(SystemStatsSampler, ProcessCpuIsMeasuredBetweenListings) {
    const QString root = copyFixture("laptop");
    SystemStatsSampler sampler(environment(root));
    EXPECT_TRUE(sampler.topCPUProcesses(5).isEmpty()); // the first listing has no baseline

    // Three seconds later (300 ticks of one core).
    writeFile(root + "/proc/uptime", "1003.00 1906.00\n");
    writeFile(root + "/proc/100/stat", statLine(100, "firefox-esr", 400000, 24000 + 150, 5000));
    writeFile(root + "/proc/105/stat", statLine(105, "code", 300000, 17000 + 30, 6000));
    writeFile(root + "/proc/104/stat", statLine(104, "Xorg", 50000, 40000 + 290, 400));
    writeFile(root + "/proc/50/stat", statLine(50, "kworker/0:1", 0, 999999, 5, 0x4208060));
    // A process that started during the window counts from its start...
    writeFile(root + "/proc/300/stat", statLine(300, "make", 100, 60, 100'100));
    // ...a reused pid is a new process...
    writeFile(root + "/proc/108/stat", statLine(108, "cc1plus", 100, 9, 100'200));
    // ...and one that was simply missed last time cannot be placed in time.
    writeFile(root + "/proc/301/stat", statLine(301, "old-daemon", 100, 500, 50));

    const auto rows = sampler.topCPUProcesses(5);
    QStringList names;
    QList<double> percents;
    for (const auto& r : rows) {
        names << r.name;
        percents << r.cpuPercent;
    }
    EXPECT_EQ(names, QStringList({"firefox-esr", "make", "code", "cc1plus"}));
    EXPECT_EQ(percents, QList<double>({50.0, 20.0, 10.0, 3.0}));

    // The clock standing still gives no rows and keeps the older baseline.
    EXPECT_TRUE(sampler.topCPUProcesses(5).isEmpty());
    writeFile(root + "/proc/uptime", "1004.00 1908.00\n");
    writeFile(root + "/proc/105/stat", statLine(105, "code", 300000, 17030 + 50, 6000));
    const auto later = sampler.topCPUProcesses(5);
    ASSERT_EQ(later.size(), 1);
    EXPECT_EQ(later[0].name, "code");
    EXPECT_DOUBLE_EQ(later[0].cpuPercent, 50.0);
}

TEST(SystemStatsSampler, FullSampleOnEachMachine) {
    SystemStatsSampler laptop(environment(fixtureMachine("laptop")));
    const SystemSnapshot a = laptop.takeSample();
    EXPECT_EQ(a.cpuPercent, 0);
    EXPECT_EQ(a.topProcesses.size(), 6);
    EXPECT_TRUE(a.topCPUProcesses.isEmpty());
    EXPECT_EQ(a.batteryPercent, 87);
    EXPECT_EQ(a.thermal.cpuCelsius, 62.0);
    EXPECT_EQ(a.thermal.pressure, ThermalSnapshot::Pressure::Nominal);
    EXPECT_EQ(a.headline(), "Your Mac is healthy.");

    SystemStatsSampler desktop(environment(fixtureMachine("desktop-amd")));
    const SystemSnapshot d = desktop.takeSample();
    EXPECT_EQ(d.memTotalBytes, 65'536'000ull * 1024);
    EXPECT_EQ(d.topProcesses.value(0).name, "blender");
    EXPECT_EQ(d.thermal.gpuCelsius, 60.0);
    EXPECT_EQ(d.thermal.pressure, ThermalSnapshot::Pressure::Unknown);

    SystemStatsSampler bare(environment(fixtureMachine("bare")));
    const SystemSnapshot b = bare.takeSample();
    EXPECT_EQ(b.memTotalBytes, SystemSnapshot::physicalMemoryBytes());
    EXPECT_EQ(b.memUsedBytes, 0u);
    EXPECT_EQ(b.cpuPercent, 0);
    EXPECT_TRUE(b.topProcesses.isEmpty());
    EXPECT_FALSE(b.batteryPercent);
    EXPECT_EQ(b.thermal, ThermalSnapshot());
    EXPECT_EQ(b.thermalExplanation(), "Thermal pressure could not be read. No fans reported "
                                      "(normal on fanless models). Nothing looks like it is "
                                      "forcing the Mac to overheat.");
}

// The first sample measures over a window of its own, so no screen is handed a load of 0 % and
// no busiest process just because nothing came before it.
TEST(SystemStatsSampler, TheFirstSampleCarriesAMeasuredLoad) {
    const QString root = copyFixture("laptop");
    SamplerEnvironment env = environment(root);
    int windows = 0;
    env.firstWindow = [&] {
        ++windows;
        // A quarter of a second on: 400 ticks, 50 of them idle, and firefox busy for 10 of 25.
        writeFile(root + "/proc/stat", "cpu  10350 500 3000 80040 1010 0 200 0 0 0\n");
        writeFile(root + "/proc/uptime", "1000.25 1906.00\n");
        writeFile(root + "/proc/100/stat", statLine(100, "firefox-esr", 400000, 24000 + 10, 5000));
    };
    SystemStatsSampler sampler(env);
    const SystemSnapshot first = sampler.takeSample();
    EXPECT_EQ(windows, 1);
    EXPECT_DOUBLE_EQ(first.cpuPercent, 87.5);
    ASSERT_FALSE(first.topCPUProcesses.isEmpty());
    EXPECT_EQ(first.topCPUProcesses.first().name, "firefox-esr");
    EXPECT_DOUBLE_EQ(first.topCPUProcesses.first().cpuPercent, 40.0);
    EXPECT_NE(first.headline(), "Your Mac is healthy."); // a busy machine is not called idle

    sampler.takeSample();
    EXPECT_EQ(windows, 1); // later samples measure from the one before
}

TEST(SystemStatsSampler, FreeMemoryStaysWithinHeadroom) {
    const QString root = copyFixture("laptop");
    SamplerEnvironment env = environment(root);
    auto allocator = std::make_shared<FakeMemoryBlockAllocator>();
    env.allocator = allocator;
    SystemStatsSampler sampler(env);

    // 9.216 GB available less a margin of a tenth of 16.384 GB; no cgroup limit set.
    EXPECT_EQ(sampler.memoryHeadroom(), 9'216'000'000u - 1'638'400'000u);
    sampler.relieveMemoryPressure();
    EXPECT_EQ(allocator->given.size(), 15); // 2,000,000,000 of 16 GB
    EXPECT_EQ(allocator->released, allocator->given);

    // The app's own cgroup allows only 500 MB more: that is inside the margin, so nothing.
    const QString scope = root + "/sys/fs/cgroup/user.slice/user-1000.slice/session-2.scope/";
    writeFile(scope + "memory.max", "3500000000\n");
    EXPECT_EQ(sampler.memoryHeadroom(), 0u);
    allocator->given.clear();
    sampler.relieveMemoryPressure();
    EXPECT_TRUE(allocator->given.isEmpty());

    writeFile(scope + "memory.max", "6000000000\n");
    EXPECT_EQ(sampler.memoryHeadroom(), 3'000'000'000u - 1'638'400'000u);
    // Unreadable memory figures: nothing is taken.
    writeFile(root + "/proc/meminfo", "");
    EXPECT_FALSE(sampler.memoryHeadroom());
}
