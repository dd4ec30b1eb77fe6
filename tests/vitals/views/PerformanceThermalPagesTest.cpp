// The heat of the performance screen: the temperature card, the sensors page and the fans page,
// each for machines with and without what they show.
#include "vitals/views/PerformanceViewTestSupport.h"

using namespace perfviewtest;

TEST_F(PerformanceViewTest, TemperatureCardChipsOrNote) {
    SystemSnapshot s;
    s.thermal.pressure = P::Nominal;
    publish(s);
    auto view = makeView();
    PerformanceTemperatureCard* card =
        Find::part<PerformanceTemperatureCard>(overview(*view), "temperatureCard");
    EXPECT_EQ(Find::part<QKLineLabel>(card, "temperatureReading")->text(), "Cool");
    EXPECT_EQ(Find::part<QLabel>(*card, "temperatureSecondary")->text(), "Thermal pressure");
    EXPECT_TRUE(shown(Find::part<QLabel>(card, "temperatureNote"), card));
    EXPECT_FALSE(shown(Find::part<QWidget>(*card, "temperatureChips"), card));

    s.thermal.fanRPMs = {0, 0};
    publish(s);
    EXPECT_FALSE(shown(Find::part<QLabel>(card, "temperatureNote"), card));
    EXPECT_TRUE(shown(Find::part<QWidget>(*card, "temperatureChips"), card));
    EXPECT_TRUE(visibleChips(card).isEmpty());

    s.thermal.fanRPMs = {};
    s.thermal.gpuCelsius = 55;
    publish(s);
    ASSERT_EQ(visibleChips(card).size(), 1);
    EXPECT_EQ(visibleChips(card).front()->text(), "GPU 55°C");
    EXPECT_EQ(Find::part<QLabel>(*card, "temperatureSecondary")->text(), "GPU 55°C");
}

TEST_F(PerformanceViewTest, TemperatureCardAgreesOnUnknown) {
    SystemSnapshot s = withPressure(P::Unknown, 95); // a busy CPU is no reading of heat
    publish(s);
    auto view = makeView();
    PerformanceTemperatureCard* card =
        Find::part<PerformanceTemperatureCard>(overview(*view), "temperatureCard");
    EXPECT_EQ(Find::part<QKLineLabel>(card, "temperatureReading")->text(), "Unknown");
    EXPECT_EQ(Find::part<PerformanceBadge>(card, "temperatureBadge")->text(), "Unknown");
    EXPECT_EQ(Find::part<PerformanceBadge>(card, "temperatureBadge")->tone(),
              PerformanceText::Tone::Neutral);
    EXPECT_EQ(Find::part<QLabel>(card, "temperatureNote")->text(),
              PerformanceText::noSensorsNote(P::Unknown));

    s.thermal.pressure = P::Fair;
    publish(s);
    EXPECT_EQ(Find::part<PerformanceBadge>(card, "temperatureBadge")->text(), "Elevated");
    EXPECT_EQ(Find::part<QLabel>(card, "temperatureNote")->text(),
              PerformanceText::noSensorsNote(P::Fair));
}

TEST_F(PerformanceViewTest, SensorsPageListOrEmptyStateAndLikelyCause) {
    screen.setPerformanceMode(PerformanceMode::Sensors);
    SystemSnapshot s = withPressure(P::Unknown, 80.1);
    publish(s);
    auto view = makeView();
    PerformanceSensorsPage* page = sensors(*view);
    // Unknown, coloured by the CPU load (busy: orange), and nothing vouching for the signal.
    EXPECT_EQ(Find::part<PerformanceBadge>(page, "pressureBadge")->text(), "Unknown");
    EXPECT_EQ(Find::part<PerformanceBadge>(page, "pressureBadge")->tone(),
              PerformanceText::Tone::Orange);
    EXPECT_EQ(Find::part<QLabel>(page, "pressureSentence")->text(),
              "Thermal pressure could not be read.");
    EXPECT_FALSE(Find::part<QLabel>(page, "pressureSourceNote")->text().contains("always works"));
    EXPECT_FALSE(Find::part<QLabel>(page, "noSensorsText")->text().contains("trustworthy"));
    EXPECT_TRUE(shown(Find::part<QWidget>(page, "noSensorsBox"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(page, "sensorsBox"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(page, "causeBox"), page));

    s.thermal.sensors = {sensor("TC0D", "CPU package", 60), sensor("TC0F", "CPU die", 60)};
    s.topCPUProcesses = {cpuRow("ffmpeg", 30)};
    publish(s);
    EXPECT_FALSE(shown(Find::part<QWidget>(page, "noSensorsBox"), page));
    const QList<PerformanceSensorRow*> rows = shownParts<PerformanceSensorRow>(page, "sensorRow");
    ASSERT_EQ(rows.size(), 2);
    // Complete as soon as the snapshot is shown, without waiting for the event loop.
    EXPECT_TRUE(shown(rows.at(0), page));
    EXPECT_TRUE(shown(rows.at(1), page));
    EXPECT_EQ(Find::part<QLabel>(rows.at(0), "sensorName")->text(), "CPU package");
    EXPECT_EQ(Find::part<QLabel>(rows.at(1), "sensorName")->text(), "CPU die");
    EXPECT_EQ(Find::part<QKLineLabel>(rows.at(0), "sensorValue")->text(), "60°C");
    EXPECT_TRUE(shown(Find::part<QWidget>(rows.at(0), "sensorDivider"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(rows.at(1), "sensorDivider"), page));
    EXPECT_TRUE(shown(Find::part<QWidget>(page, "causeBox"), page));
    EXPECT_EQ(Find::part<QLabel>(page, "causeName")->text(), "ffmpeg");

    // Same keys: the rows stay and only their texts change.
    PerformanceSensorRow* first = rows.at(0);
    s.thermal.sensors[0].value = 71;
    publish(s);
    EXPECT_EQ(shownParts<PerformanceSensorRow>(page, "sensorRow").at(0), first);
    EXPECT_EQ(Find::part<QKLineLabel>(first, "sensorValue")->text(), "71°C");
}

TEST_F(PerformanceViewTest, FansPageCardsOrFanlessCard) {
    screen.setPerformanceMode(PerformanceMode::Fans);
    publish(withPressure(P::Nominal));
    auto view = makeView();
    PerformanceFansPage* page = fans(*view);
    EXPECT_TRUE(shown(Find::part<QWidget>(page, "fanlessCard"), page));
    EXPECT_TRUE(shownParts<PerformanceFanCard>(page, "fanCard").isEmpty());
    EXPECT_FALSE(shown(Find::part<QLabel>(page, "fansPressureNote"), page));

    SystemSnapshot s = withPressure(P::Fair);
    s.thermal.fans = {fan(0, 6500, {}, 6000, 0), fan(1, 3500, 1200, 0, 2400)};
    s.thermal.fanRPMs = {6500, 3500};
    publish(s);
    EXPECT_FALSE(shown(Find::part<QWidget>(page, "fanlessCard"), page));
    EXPECT_EQ(Find::part<QLabel>(page, "fansPressureNote")->text(),
              "Thermal pressure is warm, so elevated fan noise can be expected.");
    const QList<PerformanceFanCard*> cards = shownParts<PerformanceFanCard>(page, "fanCard");
    ASSERT_EQ(cards.size(), 2);
    EXPECT_TRUE(shown(cards.at(0), page));
    EXPECT_TRUE(shown(cards.at(1), page));
    const PerformanceFanCard* fast = cards.at(0);
    const auto* bar = Find::part<QProgressBar>(fast, "fanProgress");
    EXPECT_EQ(Find::part<QKLineLabel>(fast, "fanSpeed")->text(), "6500 RPM");
    EXPECT_EQ(Find::part<PerformanceBadge>(fast, "fanState")->tone(),
              PerformanceText::Tone::Orange);
    EXPECT_EQ(bar->value(), bar->maximum()); // full, never beyond
    EXPECT_EQ(Find::part<QLabel>(fast, "fanMin")->text(), "Min —");
    EXPECT_FALSE(shown(Find::part<QLabel>(fast, "fanTarget"), fast)); // a target of 0 is no target
    const PerformanceFanCard* slow = cards.at(1);
    EXPECT_EQ(Find::part<PerformanceBadge>(slow, "fanState")->tone(), PerformanceText::Tone::Green);
    EXPECT_FALSE(
        shown(Find::part<QProgressBar>(slow, "fanProgress"), slow)); // a maximum of 0 is no maximum
    EXPECT_FALSE(shown(Find::part<QWidget>(slow, "fanRange"), slow));
    EXPECT_EQ(Find::part<QLabel>(slow, "fanTarget")->text(), "System target about 2400 RPM");

    publish(withPressure(P::Nominal));
    EXPECT_TRUE(shown(Find::part<QWidget>(page, "fanlessCard"), page));
    EXPECT_TRUE(shownParts<PerformanceFanCard>(page, "fanCard").isEmpty());
}
