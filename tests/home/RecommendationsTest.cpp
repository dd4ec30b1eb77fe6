#include "home/HomeTestSupport.h"

#include "home/Recommendations.h"
#include "platform/NotificationCenter.h"
#include "shell/ScreenState.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QObject>

using namespace hometest;
using P = ThermalSnapshot::Pressure;
using S = IssueSeverity;

namespace {

const HealthCheck::Status notChecked;

QStringList ids(const QList<RecCard>& cards) {
    return testsupport::strings(cards, &RecCard::id);
}

std::optional<RecCard> only(const SystemSnapshot& s, const HealthCheck::Status& junk = notChecked,
                            const HealthCheck::Status& big = notChecked) {
    const QList<RecCard> cards = Recommendations::make(s, junk, big);
    if (cards.size() != 1)
        return std::nullopt;
    return cards.front();
}

SystemSnapshot withTopUser(double memoryUsed) {
    SystemSnapshot s = sample(memoryUsed);
    s.topProcesses = {memoryUser("Chrome", 3'200'000'000)};
    return s;
}

TEST(Recommendations, MemoryCutsNeedATopProcess) {
    EXPECT_FALSE(only(withTopUser(0.8)));
    EXPECT_EQ(only(withTopUser(0.9))->severity, S::Watch);
    const RecCard act = *only(withTopUser(0.9012));
    EXPECT_EQ(act.severity, S::Act);
    EXPECT_EQ(act.title, "Chrome is putting pressure on memory");
    EXPECT_EQ(act.why, "It is using 3.2 GB while memory is 90% full.");
    EXPECT_FALSE(only(sample(0.95))) << "no process to name, no card";
}

TEST(Recommendations, StorageCuts) {
    EXPECT_FALSE(only(sample(0.5, 0.15)));
    EXPECT_EQ(only(sample(0.5, 0.1))->severity, S::Watch);
    const RecCard act = *only(sample(0.5, 0.099));
    EXPECT_EQ(act.severity, S::Act);
    EXPECT_EQ(act.why, "Only 99 KB remains free. The system needs room to work smoothly.");
    SystemSnapshot unmeasured = sample(0.5, 0.0);
    unmeasured.diskTotalBytes = 0;
    EXPECT_FALSE(only(unmeasured));
}

TEST(Recommendations, HeatAndWarmth) {
    EXPECT_FALSE(only(sample(0.5, 0.5, 60.0, P::Fair)));
    EXPECT_EQ(only(sample(0.5, 0.5, 60.1, P::Fair))->id, "warm");
    EXPECT_FALSE(only(sample(0.5, 0.5, 99, P::Nominal)));
    EXPECT_FALSE(only(sample(0.5, 0.5, 99, P::Unknown)));

    const SystemSnapshot serious = sample(0.5, 0.5, 10, P::Serious);
    const RecCard hot = *only(serious);
    EXPECT_EQ(hot.title, "Your Mac is running hot");
    EXPECT_EQ(hot.why, serious.thermalExplanation()) << "no busiest app, nothing appended";
    EXPECT_EQ(hot.severity, S::Watch);

    SystemSnapshot critical = sample(0.5, 0.5, 10, P::Critical);
    ProcessCPUInfo busy;
    busy.name = "ffmpeg";
    busy.cpuPercent = 250;
    critical.topCPUProcesses = {busy};
    const RecCard burning = *only(critical);
    EXPECT_EQ(burning.severity, S::Act);
    EXPECT_TRUE(burning.why.endsWith(" ffmpeg looks like the main load."));
}

TEST(Recommendations, MeasurementsAddCardsOnlyWhenDoneAndNonZero) {
    EXPECT_FALSE(only(sample(), junkDone(0)));
    EXPECT_FALSE(only(sample(), notChecked, bigDone(0, 0)));
    EXPECT_FALSE(
        only(sample(), HealthCheck::Status::checking(), HealthCheck::Status::failed("no")));
    const RecCard junk = *only(sample(), junkDone(2'000'000'000));
    EXPECT_EQ(junk.title, "2 GB can be safely recovered");
    EXPECT_EQ(junk.severity, S::Watch);
    EXPECT_EQ(only(sample(), notChecked, bigDone(1'500'000'000, 1))->why,
              "1 file is at least 1 GB each.");
    EXPECT_EQ(only(sample(), notChecked, bigDone(3'000'000'000, 2))->why,
              "2 files are at least 1 GB each.");
}

TEST(Recommendations, MostSevereFirstStableAndCutToThree) {
    // Junk watch, memory act, heat watch, disk act, large files watch.
    SystemSnapshot s = sample(0.95, 0.05, 10, P::Serious);
    s.topProcesses = {memoryUser("Xcode", 9'000'000'000)};
    EXPECT_EQ(ids(Recommendations::make(s, junkDone(1'000'000), bigDone(2'000'000'000, 2))),
              QStringList({"mem", "disk", "junk"}));

    // Four of equal severity keep rule order; the last of them goes.
    SystemSnapshot watch = sample(0.85, 0.12, 10, P::Serious);
    watch.topProcesses = {memoryUser("Xcode", 9'000'000'000)};
    EXPECT_EQ(ids(Recommendations::make(watch, junkDone(1'000'000), notChecked)),
              QStringList({"junk", "mem", "heat"}));
}

TEST(Recommendations, OpeningWritesTheModeBeforePostingTheSection) {
    NotificationCenter center;
    ScreenState screen;
    screen.setDiskMode(DiskMode::Mail);
    QStringList events;
    QObject context;
    center.observe(Notifications::OpenSection, &context, [&](const QString& id) {
        events << "open " + id + " " + rawValue(screen.diskMode()) + " " +
                      rawValue(screen.folderMode());
    });

    RecCard card;
    card.featureID = "disk";
    card.id = "junk";
    Recommendations::open(card, screen, center);
    card.id = "disk";
    Recommendations::open(card, screen, center);
    card.id = "big";
    card.featureID = "folders";
    Recommendations::open(card, screen, center);
    screen.setDiskMode(DiskMode::Hub);
    card.id = "mem";
    card.featureID = "performance";
    Recommendations::open(card, screen, center);
    EXPECT_EQ(events, QStringList({"open disk system browse", "open disk growth browse",
                                   "open folders growth biggest", "open performance hub biggest"}));
}

} // namespace
