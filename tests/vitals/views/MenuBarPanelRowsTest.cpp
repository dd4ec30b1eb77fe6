// The menu-bar panel's rows and wording: the battery row only with a battery, the heat row, the
// header dot agreeing with the headline, and the memory texts.
#include "vitals/views/MenuBarPanelTestSupport.h"

using namespace panelviewtest;

TEST_F(PanelTest, BatteryRowAppearsOnlyWithABattery) {
    SystemSnapshot s = base();
    publish(s);
    EXPECT_FALSE(shown("batteryRow"));

    s.batteryPercent = 82;
    s.batteryCharging = true;
    publish(s);
    ASSERT_TRUE(shown("batteryRow"));
    EXPECT_EQ(text("batteryRowText"), "Battery 82%, on power");
    EXPECT_EQ(child<QWidget>("batteryRow")->findChild<QKSymbol*>()->symbol(), "battery.100.bolt");

    s.batteryPercent = 7;
    s.batteryCharging = false;
    publish(s);
    EXPECT_EQ(text("batteryRowText"), "Battery 7%");
    EXPECT_EQ(child<QWidget>("batteryRow")->findChild<QKSymbol*>()->symbol(), "battery.50");

    s.batteryPercent.reset();
    publish(s);
    EXPECT_FALSE(shown("batteryRow"));
}

TEST_F(PanelTest, HeatRowNamesTemperatureAndPressure) {
    using P = ThermalSnapshot::Pressure;
    auto* symbol = child<QWidget>("heatRow")->findChild<QKSymbol*>();
    SystemSnapshot s = base();

    // No reading at all: one "Unknown", calm.
    publish(s);
    EXPECT_EQ(text("heatRowText"), "Heat Unknown");
    EXPECT_EQ(symbol->symbol(), "thermometer.medium");
    EXPECT_EQ(colorOf(symbol), tone(QKForeground::Secondary));
    s.thermal.cpuCelsius = 48;
    publish(s);
    EXPECT_EQ(text("heatRowText"), "Heat 48°C · Unknown");
    s.thermal.cpuCelsius.reset();

    s.thermal.pressure = P::Nominal;
    s.thermal.cpuCelsius = 52.6;
    publish(s);
    EXPECT_EQ(text("heatRowText"), "Heat 53°C · Cool");
    EXPECT_EQ(symbol->symbol(), "thermometer.medium");

    s.thermal.pressure = P::Fair;
    s.thermal.cpuCelsius = 71.4;
    publish(s);
    EXPECT_EQ(text("heatRowText"), "Heat 71°C · Warm");
    EXPECT_EQ(symbol->symbol(), "thermometer.high");
    EXPECT_EQ(colorOf(symbol), tone(QKForeground::Orange));

    s.thermal.pressure = P::Critical;
    s.thermal.cpuCelsius.reset();
    publish(s);
    EXPECT_EQ(text("heatRowText"), "Heat Critical · Critical");
    EXPECT_EQ(symbol->symbol(), "thermometer.high");
}

TEST_F(PanelTest, TheHeaderDotSaysWhatTheHeadlineSays) {
    auto* dot = child<QKStatusDot>("statusDot");
    const auto ink = [dot](QKForeground::Style style) {
        return QKForeground::color(style, dot->palette());
    };
    EXPECT_EQ(text("headline"), "Your Mac is healthy.");
    EXPECT_EQ(dot->color(), ink(QKForeground::Green));

    SystemSnapshot s = base();
    s.thermal.pressure = ThermalSnapshot::Pressure::Serious;
    publish(s);
    EXPECT_EQ(text("headline"), "Your Mac is running hot right now.");
    EXPECT_EQ(dot->color(), ink(QKForeground::Red));

    s.thermal.pressure = ThermalSnapshot::Pressure::Nominal;
    s.cpuPercent = 95; // plenty of memory, but the CPU is working hard
    publish(s);
    EXPECT_EQ(text("headline"), "Something is working your Mac hard right now.");
    EXPECT_EQ(dot->color(), ink(QKForeground::Orange));

    s.cpuPercent = 5;
    publish(s);
    EXPECT_EQ(text("headline"), "Your Mac is healthy.");
    EXPECT_EQ(dot->color(), ink(QKForeground::Green));
}

TEST(PanelWording, AvailableMemorySaturates) {
    SystemSnapshot s;
    s.memCachedBytes = std::numeric_limits<quint64>::max();
    s.memFreeBytes = 2;
    EXPECT_EQ(MenuBarText::availableMemoryBytes(s), std::numeric_limits<quint64>::max());
}

TEST(PanelWording, FreedText) {
    EXPECT_EQ(MenuBarText::freedText(0), "Already tidy — little to recover");
    EXPECT_EQ(MenuBarText::freedText(-5), "Already tidy — little to recover");
    EXPECT_EQ(MenuBarText::freedText(1), "Recovered " + formatBytes(1));
    EXPECT_EQ(MenuBarText::freedText(std::numeric_limits<qint64>::max()),
              "Recovered " + formatBytes(std::numeric_limits<qint64>::max()));
}
