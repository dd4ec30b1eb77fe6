#include "vitals/ThermalSnapshot.h"

#include <gtest/gtest.h>

using Pressure = ThermalSnapshot::Pressure;

namespace {
FanReading fan(int id, int rpm, std::optional<int> max = {}, std::optional<int> target = {},
               QString name = {}) {
    FanReading f;
    f.id = id;
    f.rpm = rpm;
    f.maxRPM = max;
    f.targetRPM = target;
    f.name = name.isEmpty() ? QStringLiteral("Fan %1").arg(id + 1) : name;
    return f;
}
} // namespace

TEST(ThermalWording, SensorDisplayValueByKind) {
    HardwareSensor s{"TC0D", "CPU package", HardwareSensor::Kind::Temperature, 61.6, "°C", ""};
    EXPECT_EQ(s.displayValue(), "62°C");
    s.kind = HardwareSensor::Kind::Fan;
    s.value = 1999.6;
    EXPECT_EQ(s.displayValue(), "2000 RPM");
    s.kind = HardwareSensor::Kind::Power;
    s.value = 3.25;
    EXPECT_EQ(s.displayValue(), "3.2 W");
    s.kind = HardwareSensor::Kind::Other;
    s.value = 1.26;
    s.unit = "V";
    EXPECT_EQ(s.displayValue(), "1.3 V");
}

TEST(ThermalWording, RawValuesRoundTrip) {
    QStringList raw;
    for (auto p : allCases<Pressure>()) {
        raw << rawValue(p);
        EXPECT_EQ(fromRawValue<Pressure>(rawValue(p)), p);
    }
    EXPECT_EQ(raw, QStringList({"nominal", "fair", "serious", "critical", "unknown"}));
    EXPECT_FALSE(fromRawValue<Pressure>("Nominal"));
    EXPECT_EQ(fromRawValue<HardwareSensor::Kind>("fan"), HardwareSensor::Kind::Fan);
    EXPECT_EQ(allCases<HardwareSensor::Kind>().size(), 4);
    EXPECT_FALSE(fromRawValue<HardwareSensor::Kind>("voltage"));
}

TEST(ThermalWording, FanStateLabel) {
    EXPECT_EQ(fan(0, 0, 6000).stateLabel(), "Idle / off");
    EXPECT_EQ(fan(0, 5000, 6000).stateLabel(), "Active");       // 0.83
    EXPECT_EQ(fan(0, 5200, 6000).stateLabel(), "Near maximum"); // 0.87
    EXPECT_EQ(fan(0, 2700, 6000).stateLabel(), "Gentle");       // exactly 0.45
    EXPECT_EQ(fan(0, 4001).stateLabel(), "Active");
    EXPECT_EQ(fan(0, 4000, 0).stateLabel(), "Gentle"); // a zero maximum is no maximum
    EXPECT_EQ(fan(0, 1500).stateLabel(), "Low");
}

TEST(ThermalWording, FanExplanation) {
    EXPECT_EQ(fan(0, 0).explanation(), "This fan is not spinning right now.");
    EXPECT_EQ(fan(0, 1200, {}, 1400).explanation(), "Spinning at 1200 RPM.");
    EXPECT_EQ(fan(0, 1200, 6000, 1400).explanation(), "Spinning at 1200 of 6000 RPM maximum.");
    EXPECT_EQ(fan(0, 1200, 6000, 1401).explanation(), "Spinning at 1200 RPM (target about 1401).");
    EXPECT_EQ(fan(0, 1200, 0, 0).explanation(), "Spinning at 1200 RPM.");
}

TEST(ThermalWording, TemperatureAndSecondaryLabels) {
    ThermalSnapshot t;
    t.pressure = Pressure::Fair;
    EXPECT_EQ(t.temperatureLabel(), "Warm");
    EXPECT_EQ(t.secondaryLabel(), "Thermal pressure"); // no fans at all
    t.fanRPMs = {1800};
    EXPECT_EQ(t.secondaryLabel(), "1800 RPM"); // speeds alone when the fan list is empty
    t.fans = {fan(0, 0), fan(1, 0)};
    EXPECT_EQ(t.secondaryLabel(), "Thermal pressure"); // listed fans win, and none turns
    t.gpuCelsius = 47.6;
    EXPECT_EQ(t.secondaryLabel(), "GPU 48°C");
    t.cpuCelsius = 55.2;
    EXPECT_EQ(t.temperatureLabel(), "55°C");
    EXPECT_EQ(t.secondaryLabel(), "Warm");
    t.pressure = Pressure::Unknown;
    EXPECT_EQ(t.secondaryLabel(), "Unknown");
}

TEST(ThermalWording, FansSummary) {
    EXPECT_EQ(ThermalSnapshot::fansSummary({}, {}),
              "This Mac reports no fans (normal on many fanless laptops and virtual machines). "
              "Pendrel has no fan speeds to show.");
    EXPECT_EQ(ThermalSnapshot::fansSummary({900}, {}), "Fans are present but idle right now.");
    EXPECT_EQ(ThermalSnapshot::fansSummary({}, {fan(0, 0)}),
              "Fans are present but idle right now.");
    // The fastest fan, the first of equals.
    EXPECT_EQ(ThermalSnapshot::fansSummary(
                  {5200, 5200}, {fan(0, 5200, 6000, {}, "Left"), fan(1, 5200, 6000, {}, "Right")}),
              "Left is near maximum at 5200 RPM. Pendrel reads fans only — the system still "
              "controls them.");
}
