#include "vitals/PerformanceTestSupport.h"

#include "vitals/PerformanceText.h"

#include <gtest/gtest.h>

using namespace perftest;
namespace Text = PerformanceText;
using P = ThermalSnapshot::Pressure;

namespace {

struct LevelCase {
    const char* what;
    SystemSnapshot snapshot;
    Text::Level (*level)(const SystemSnapshot&);
    QString word;
};

const QString kSeveral = "Several apps are active. This is normal when you are working, but worth "
                         "checking if the fan is loud with nothing obvious running.";
const QString kLowLoad = "Load is low. Nothing is demanding much from the processor.";
const QString kBuilding =
    "Memory pressure is building. Browsers with many tabs are the usual cause.";
const QString kHeadroom = "Plenty of headroom. Your Mac is not juggling too much at once.";

} // namespace

TEST(PerformanceLevels, WordAndToneOfEveryLevel) {
    EXPECT_EQ(Text::levelWord(0), "Healthy");
    EXPECT_EQ(Text::levelWord(1), "Elevated");
    EXPECT_EQ(Text::levelWord(2), "High");
    EXPECT_EQ(Text::levelWord(7), "High");
    EXPECT_EQ(Text::levelWord(-1), "High");
    EXPECT_EQ(Text::levelTone(0), Text::Tone::Green);
    EXPECT_EQ(Text::levelTone(1), Text::Tone::Orange);
    EXPECT_EQ(Text::levelTone(-3), Text::Tone::Red);
}

TEST(PerformanceLevels, CutPointsOfEveryCard) {
    const LevelCase cases[] = {
        {"cpu 50", withCpu(50.0), Text::cpuLevel, "Healthy"},
        {"cpu 50.1", withCpu(50.1), Text::cpuLevel, "Elevated"},
        {"cpu 80", withCpu(80.0), Text::cpuLevel, "Elevated"},
        {"cpu 80.1", withCpu(80.1), Text::cpuLevel, "High"},
        {"memory 0.75", withMemoryRatio(0.75), Text::memoryLevel, "Healthy"},
        {"memory 0.8", withMemoryRatio(0.8), Text::memoryLevel, "Elevated"},
        {"memory 0.9", withMemoryRatio(0.9), Text::memoryLevel, "Elevated"},
        {"memory 0.91", withMemoryRatio(0.91), Text::memoryLevel, "High"},
        {"memory total 0", withMemoryRatio(0.0), Text::memoryLevel, "Healthy"},
        {"disk free 0.2", withDisk(200, 1000), Text::storageLevel, "Healthy"},
        {"disk free 0.1", withDisk(100, 1000), Text::storageLevel, "Elevated"},
        {"disk free 0.099", withDisk(99, 1000), Text::storageLevel, "High"},
        {"disk total 0", withDisk(0, 0), Text::storageLevel, "Healthy"},
        {"disk df 0.1 free", withDiskUsed(100, 900, 1050), Text::storageLevel, "Elevated"},
        {"disk df 0.099 free", withDiskUsed(99, 901, 1050), Text::storageLevel, "High"},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Text::levelWord(c.level(c.snapshot)), c.word);
    }
    SystemSnapshot empty = withMemoryRatio(0);
    empty.memTotalBytes = 0;
    EXPECT_EQ(Text::memoryLevel(empty), 0);
}

TEST(PerformanceLevels, TemperatureFollowsPressureAndHasNoLevelWhenItIsUnknown) {
    EXPECT_EQ(Text::temperatureLevel(withPressure(P::Nominal, 99)), 0);
    EXPECT_EQ(Text::temperatureLevel(withPressure(P::Fair)), 1);
    EXPECT_EQ(Text::temperatureLevel(withPressure(P::Serious)), 2);
    EXPECT_EQ(Text::temperatureLevel(withPressure(P::Critical)), 2);
    // A busy CPU says nothing about heat that could not be read: no "Elevated" beside "Unknown".
    EXPECT_EQ(Text::temperatureLevel(withPressure(P::Unknown, 90)), std::nullopt);
    EXPECT_EQ(Text::temperatureLevel(withPressure(P::Unknown, 10)), std::nullopt);
}

TEST(PerformanceTiles, Values) {
    EXPECT_EQ(Text::cpuValue(withCpu(37.4)), "37%");
    EXPECT_EQ(Text::storageValue(withDisk(250'000'000'000, 1'000'000'000'000)), "75% full");
    EXPECT_EQ(Text::storageValue(withDisk(0, 0)), "0% full");
    // A volume reporting more free space than its size, or negative space, stays within 0–100 %.
    EXPECT_EQ(Text::storageValue(withDisk(1500, 1000)), "0% full");
    EXPECT_EQ(Text::storageValue(withDisk(-10, 1000)), "100% full");
    // As df counts it: the blocks reserved for root are neither used nor the user's to fill.
    // 90 used and 300 available on a 1000-byte volume is 24 % full (23.08 rounded up), not 70 %.
    EXPECT_EQ(Text::storageValue(withDiskUsed(300, 90, 1000)), "24% full");
    // df rounds a share past a whole percent up, and leaves a whole one as it is.
    EXPECT_EQ(Text::storageValue(withDiskUsed(398, 602, 1000)), "61% full");
    EXPECT_EQ(Text::storageValue(withDiskUsed(400, 600, 1000)), "60% full");
    EXPECT_EQ(Text::storageValue(withDiskUsed(99'999, 1, 1'000'000)), "1% full");
    EXPECT_EQ(Text::storageValue(withDiskUsed(0, 950, 1000)), "100% full");
    EXPECT_EQ(Text::storageValue(withDiskUsed(0, 0, 1000)), "100% full"); // all reserved
    SystemSnapshot memory = withMemoryRatio(0.5);
    memory.memUsedBytes = 14'700'000'000;
    EXPECT_EQ(Text::memoryValue(memory), "14.7 GB");
}

TEST(PerformanceTiles, CpuSentence) {
    SystemSnapshot busy = withCpu(85);
    EXPECT_EQ(Text::cpuExplanation(busy), kSeveral); // no process to name
    busy.topCPUProcesses = {cpuRow("ffmpeg", 300), cpuRow("firefox", 20)};
    EXPECT_EQ(Text::cpuExplanation(busy),
              "ffmpeg is using the most CPU right now. Heavy tasks like video export, indexing or "
              "AI workloads push this up.");
    SystemSnapshot at80 = withCpu(80);
    at80.topCPUProcesses = busy.topCPUProcesses;
    EXPECT_EQ(Text::cpuExplanation(at80), kSeveral);
    EXPECT_EQ(Text::cpuExplanation(withCpu(50.1)), kSeveral);
    EXPECT_EQ(Text::cpuExplanation(withCpu(50)), kLowLoad);
}

TEST(PerformanceTiles, MemoryLevelAndSentenceUseTheirOwnCutPoints) {
    const struct {
        double ratio;
        bool withList;
        QString level;
        QString sentence;
    } cases[] = {
        {0.8, true, "Elevated", kBuilding},
        {0.72, true, "Healthy", kBuilding},
        {0.7, true, "Healthy", kHeadroom},
        {0.85, true, "Elevated", kBuilding},
        {0.88, true, "Elevated",
         "firefox is using 3.4 GB. The system frees caches when it can, but quitting unused "
         "apps frees the most."},
        {0.9, false, "Elevated", kBuilding},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ratio);
        SystemSnapshot s = withMemoryRatio(c.ratio);
        if (c.withList)
            s.topProcesses = {memoryRow("firefox", 3'400'000'000), memoryRow("code", 1)};
        EXPECT_EQ(Text::levelWord(Text::memoryLevel(s)), c.level);
        EXPECT_EQ(Text::memoryExplanation(s), c.sentence);
    }
    SystemSnapshot noTotal = withMemoryRatio(0.95);
    noTotal.memTotalBytes = 0;
    EXPECT_EQ(Text::memoryExplanation(noTotal), kHeadroom);
}

TEST(PerformanceTiles, StorageSentence) {
    EXPECT_EQ(Text::storageExplanation(withDisk(99, 1000)),
              "Your SSD is over 90% full. The system slows down when storage is this tight — "
              "caches cannot grow and apps struggle to save.");
    EXPECT_EQ(Text::storageExplanation(withDiskUsed(300, 90, 1000)),
              "300 bytes free of 1 KB. No storage pressure right now.");
    EXPECT_EQ(Text::storageExplanation(withDisk(100, 1000)),
              "Storage is getting tight. Clearing caches, old downloads and developer junk "
              "usually helps before it becomes a problem.");
    EXPECT_EQ(Text::storageExplanation(withDisk(250'000'000'000, 1'000'000'000'000)),
              "250 GB free of 1 TB. No storage pressure right now.");
    EXPECT_EQ(Text::storageExplanation(withDisk(0, 0)),
              "Zero KB free of Zero KB. No storage pressure right now.");
}

TEST(PerformanceTiles, Battery) {
    EXPECT_FALSE(Text::batteryExplanation(SystemSnapshot()));

    const struct {
        int percent;
        int level;
    } levels[] = {{19, 2}, {20, 1}, {39, 1}, {40, 0}, {100, 0}};
    for (const auto& c : levels) {
        SystemSnapshot s;
        s.batteryPercent = c.percent;
        const auto b = Text::batteryExplanation(s);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->level, c.level) << c.percent;
        EXPECT_EQ(b->value, QString::number(c.percent) + "%");
    }

    SystemSnapshot s;
    s.batteryPercent = 54;
    s.cpuPercent = 41.9;
    s.topProcesses = {memoryRow("Slack", 1)};
    s.topCPUProcesses = {cpuRow("ffmpeg", 300)};
    // Names the biggest memory process, not the busiest CPU one.
    EXPECT_EQ(Text::batteryExplanation(s)->detail,
              "Slack is active with CPU at 41%. That combination drains battery faster.");
    s.batteryCharging = true;
    EXPECT_EQ(Text::batteryExplanation(s)->detail, "On power, so drain is not a concern.");
    s.batteryCharging = false;
    s.cpuPercent = 40;
    EXPECT_EQ(Text::batteryExplanation(s)->detail, "Not charging.");
    s.cpuPercent = 90;
    s.topProcesses.clear();
    EXPECT_EQ(Text::batteryExplanation(s)->detail, "Not charging.");
}

TEST(PerformanceTemperature, ChipsOrNote) {
    ThermalSnapshot gpuOnly;
    gpuOnly.pressure = P::Nominal;
    gpuOnly.gpuCelsius = 55;
    EXPECT_EQ(gpuOnly.temperatureLabel(), "Cool");
    EXPECT_EQ(gpuOnly.secondaryLabel(), "GPU 55°C");
    EXPECT_TRUE(Text::showsChips(gpuOnly));
    EXPECT_EQ(Text::chips(gpuOnly), QList<Text::Chip>({{"rectangle.on.rectangle", "GPU 55°C"}}));

    ThermalSnapshot full;
    full.cpuCelsius = 61.4;
    full.gpuCelsius = 48;
    full.fanRPMs = {1200, 2400};
    EXPECT_EQ(Text::chips(full), QList<Text::Chip>({{"cpu", "CPU 61°C"},
                                                    {"rectangle.on.rectangle", "GPU 48°C"},
                                                    {"fan", "2400 RPM"}}));

    ThermalSnapshot stillFans;
    stillFans.fanRPMs = {0, 0};
    EXPECT_TRUE(Text::showsChips(stillFans));
    EXPECT_TRUE(Text::chips(stillFans).isEmpty());

    ThermalSnapshot sensorsOnly;
    sensorsOnly.sensors = {sensor("TB0T", "Battery", 31)};
    EXPECT_TRUE(Text::showsChips(sensorsOnly));
    EXPECT_TRUE(Text::chips(sensorsOnly).isEmpty());

    EXPECT_FALSE(Text::showsChips(ThermalSnapshot()));
    EXPECT_EQ(Text::noSensorsNote(P::Nominal),
              "Live °C sensors are not exposed on this Mac. Pendrel still uses the system’s "
              "thermal pressure, which is the signal the system itself trusts.");
    EXPECT_EQ(Text::noSensorsNote(P::Unknown),
              "Live °C sensors are not exposed on this Mac, and thermal pressure could not be "
              "read either.");
}

TEST(PerformanceTemperature, AdviceOnlyUnderSeriousOrCriticalPressure) {
    EXPECT_FALSE(Text::temperatureAdvice(P::Nominal));
    EXPECT_FALSE(Text::temperatureAdvice(P::Fair));
    EXPECT_FALSE(Text::temperatureAdvice(P::Unknown));
    const QString advice = "Try quitting the busiest app, pausing heavy exports, and keeping vents "
                           "clear. Pendrel does not override fan control — the system manages "
                           "cooling safely.";
    EXPECT_EQ(Text::temperatureAdvice(P::Serious), advice);
    EXPECT_EQ(Text::temperatureAdvice(P::Critical), advice);
}

TEST(PerformanceSensors, PressureBadgeAndSentence) {
    // A read pressure decides alone; an unknown one goes by the CPU load.
    EXPECT_EQ(Text::pressureTone(P::Nominal, 99), Text::Tone::Green);
    EXPECT_EQ(Text::pressureTone(P::Fair, 0), Text::Tone::Orange);
    EXPECT_EQ(Text::pressureTone(P::Serious, 0), Text::Tone::Red);
    EXPECT_EQ(Text::pressureTone(P::Critical, 0), Text::Tone::Red);
    EXPECT_EQ(Text::pressureTone(P::Unknown, 80.0), Text::Tone::Green);
    EXPECT_EQ(Text::pressureTone(P::Unknown, 80.1), Text::Tone::Orange);

    EXPECT_EQ(Text::pressureSentence(P::Nominal), "The system reports no thermal pressure.");
    EXPECT_EQ(Text::pressureSentence(P::Fair),
              "The system is managing heat. Fans may spin up; light throttling is possible.");
    EXPECT_EQ(Text::pressureSentence(P::Serious),
              "Your Mac is under real thermal pressure. Performance may be limited until it "
              "cools.");
    EXPECT_EQ(Text::pressureSentence(P::Critical),
              "Thermal pressure is critical. Close heavy work and let the Mac cool.");
    EXPECT_EQ(Text::pressureSentence(P::Unknown), "Thermal pressure could not be read.");

    // Nothing under an unread signal vouches for it.
    for (P p : {P::Nominal, P::Fair, P::Serious, P::Critical}) {
        EXPECT_EQ(Text::pressureSourceNote(p),
                  "This is the system’s public signal. It works even when °C sensors are hidden.");
        EXPECT_TRUE(
            Text::noSensorsText(p).contains("Thermal pressure above is still trustworthy."));
    }
    EXPECT_EQ(Text::pressureSourceNote(P::Unknown),
              "The system is not publishing this signal on this machine right now.");
    EXPECT_EQ(Text::noSensorsText(P::Unknown),
              "This Mac is not publishing die temperatures to user apps right now. The Fans tab "
              "may still show RPM if fans exist.");
    // The tab it points to is the one the screen has.
    EXPECT_TRUE(Text::noSensorsText(P::Fair).contains(title(PerformanceMode::Fans) + " tab"));
}

TEST(PerformanceSensors, LikelyCause) {
    // No busy app (first CPU row below 8 %, load at most 40): never, whatever the pressure.
    SystemSnapshot calm = withPressure(P::Critical, 40);
    calm.topCPUProcesses = {cpuRow("mds", 7.9)};
    calm.topProcesses = {memoryRow("firefox", 1)};
    EXPECT_FALSE(Text::likelyCause(calm));

    SystemSnapshot working = withPressure(P::Nominal, 50.0);
    working.topCPUProcesses = {cpuRow("ffmpeg", 30)};
    EXPECT_FALSE(Text::likelyCause(working));
    working.cpuPercent = 50.1;
    const auto cause = Text::likelyCause(working);
    ASSERT_TRUE(cause);
    EXPECT_EQ(cause->appName, "ffmpeg");
    EXPECT_EQ(cause->explanation, working.thermalExplanation());

    SystemSnapshot warm = withPressure(P::Fair, 10);
    warm.topCPUProcesses = {cpuRow("ffmpeg", 30)};
    EXPECT_TRUE(Text::likelyCause(warm));
}

TEST(PerformanceFans, CardTexts) {
    EXPECT_EQ(Text::fanStateTone(3500), Text::Tone::Green);
    EXPECT_EQ(Text::fanStateTone(3501), Text::Tone::Orange);
    EXPECT_EQ(Text::rpmText(2400), "2400 RPM");

    EXPECT_EQ(Text::fanProgress(fan(0, 7000, 1000, 6000)), 1.0);
    EXPECT_EQ(Text::fanProgress(fan(0, 3000, 1000, 6000)), 0.5);
    EXPECT_FALSE(Text::fanProgress(fan(0, 3000, 1000, 0)));
    EXPECT_FALSE(Text::fanProgress(fan(0, 3000)));

    EXPECT_EQ(Text::fanMinText(fan(0, 3000, {}, 6000)), "Min —");
    EXPECT_EQ(Text::fanMinText(fan(0, 3000, 1200, 6000)), "Min 1200");
    EXPECT_EQ(Text::fanMaxText(fan(0, 3000, 1200, 6000)), "Max 6000");

    EXPECT_FALSE(Text::fanTargetText(fan(0, 3000, {}, {}, 0)));
    EXPECT_FALSE(Text::fanTargetText(fan(0, 3000)));
    EXPECT_EQ(Text::fanTargetText(fan(0, 3000, {}, {}, 2400)), "System target about 2400 RPM");
}

TEST(PerformanceFans, PressureNote) {
    EXPECT_FALSE(Text::fanPressureNote(P::Nominal));
    EXPECT_FALSE(Text::fanPressureNote(P::Unknown));
    EXPECT_EQ(Text::fanPressureNote(P::Fair),
              "Thermal pressure is warm, so elevated fan noise can be expected.");
    EXPECT_EQ(Text::fanPressureNote(P::Serious),
              "Thermal pressure is hot, so elevated fan noise can be expected.");
    EXPECT_EQ(Text::fanPressureNote(P::Critical),
              "Thermal pressure is critical, so elevated fan noise can be expected.");
    // No fans reported: the drivers of this machine are the reason, not an OS build.
    EXPECT_EQ(Text::fanlessText(), "No fan sensors were reported. Many thin laptops are fanless. "
                                   "If this machine has fans, its drivers do not expose their "
                                   "sensors.");
}
