#include "vitals/ThermalSampler.h"
#include "vitals/HwmonSMCClient.h"
#include "vitals/SMCValueCodec.h"
#include "vitals/ThermalPressure.h"
#include "VitalsTestUtil.h"

#include <gtest/gtest.h>
#include <limits>

using vitalstest::bytes;
using Pressure = ThermalSnapshot::Pressure;

namespace {

struct Rig {
    FakeSMCClient* smc;
    ThermalSampler sampler;
};

std::unique_ptr<Rig> rig(QHash<QString, QByteArray> values, Pressure pressure = Pressure::Nominal) {
    auto fake = std::make_unique<FakeSMCClient>();
    fake->values = std::move(values);
    FakeSMCClient* raw = fake.get();
    return std::unique_ptr<Rig>(
        new Rig{raw, ThermalSampler(std::move(fake), [pressure] { return pressure; })});
}

QByteArray temp(double c) {
    return SMCValue::encodeTemperature(c);
}
QByteArray fl(float v) {
    return SMCValue::encodeFloat(v);
}

ThermalSampler hwmonSampler(const QString& machine) {
    const QString sys = testsupport::fixture("vitals/" + machine + "/sys");
    return ThermalSampler(std::make_unique<HwmonSMCClient>(sys),
                          [sys] { return readThermalPressure(sys); });
}

} // namespace

TEST(ThermalSampler, CurationDeduplicationAndOrder) {
    // Both "CPU proximity" keys read: only the first table row (Tp0P) is listed.
    auto r = rig({{"Tp0P", temp(50)},
                  {"TC0P", temp(55)},
                  {"TB0T", temp(50)},
                  {"Ts0P", temp(50)},
                  {"TA0P", temp(125.5)},
                  {"ZZZZ", temp(60)}});
    const auto sensors = r->sampler.readTemperatures();
    ASSERT_EQ(sensors.size(), 3);
    // Equal values keep table order: proximity (5), palm rest (18), battery (19).
    EXPECT_EQ(sensors[0].key, "Tp0P");
    EXPECT_EQ(sensors[1].name, "Palm rest / skin");
    EXPECT_EQ(sensors[2].name, "Battery");
    EXPECT_EQ(sensors[0].unit, "°C");
    EXPECT_EQ(sensors[0].kind, HardwareSensor::Kind::Temperature);
    EXPECT_EQ(sensors[0].plain, "Temperature near the CPU.");

    // Only "TC0P" reads: listed under the same name.
    auto only = rig({{"TC0P", temp(55)}});
    const auto one = only->sampler.readTemperatures();
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0].key, "TC0P");
    EXPECT_EQ(one[0].name, "CPU proximity");
}

TEST(ThermalSampler, ChoosingCpuAndGpuTemperatures) {
    auto r = rig({{"TC0F", temp(60)}, {"Te05", temp(70)}, {"Tg0P", temp(50)}, {"Ts0P", temp(90)}});
    const ThermalSnapshot t = r->sampler.sample();
    EXPECT_EQ(t.cpuCelsius, 70.0); // hottest whose name holds "CPU" or "SoC"
    EXPECT_EQ(t.gpuCelsius, 50.0); // "GPU proximity" counts as GPU; palm rest counts for neither
    EXPECT_EQ(t.pressure, Pressure::Nominal);

    QList<HardwareSensor> sensors = {
        {"X", "Palm rest / skin", HardwareSensor::Kind::Temperature, 90, "°C", ""},
        {"Y", "cpu die", HardwareSensor::Kind::Fan, 80, "", ""},
        {"Z", "My cpu", HardwareSensor::Kind::Temperature, 40, "", ""}};
    EXPECT_EQ(temperatureMatching(sensors, {"CPU"}), 40.0); // case-insensitive, temperatures only
    EXPECT_FALSE(temperatureMatching(sensors, {"GPU"}));
}

TEST(ThermalSampler, FallbackKeysWhenNoSensorNamed) {
    // No table key reads; a fallback key is tried in order (here the table keys again).
    auto r = rig({});
    EXPECT_FALSE(r->sampler.readFirstTemperature(ThermalSampler::cpuFallbackKeys()));
    r->smc->values = {{"TC0E", bytes({0xFF, 0x00})}, {"TC0D", temp(66)}};
    EXPECT_EQ(r->sampler.readFirstTemperature(ThermalSampler::cpuFallbackKeys()), 66.0);
}

TEST(ThermalSampler, FansWithGapsNamesAndLimits) {
    auto r = rig({{"F0Ac", fl(2900.4f)},
                  {"F0Mx", fl(6000)},
                  {"F0Mn", fl(1200)},
                  {"F0Tg", fl(2999.5f)},
                  {"F2Ac", bytes({0x05, 0x80})},
                  {"F2ID", QByteArray("\x01Right\0\0", 8)},
                  {"F3Ac", fl(-20)},
                  {"F1Mx", fl(5000)}});
    const ThermalSnapshot t = r->sampler.sample();
    ASSERT_EQ(t.fans.size(), 3);
    EXPECT_EQ(t.fans[0].id, 0);
    EXPECT_EQ(t.fans[0].name, "Fan 1");
    EXPECT_EQ(t.fans[0].rpm, 2900);
    EXPECT_EQ(t.fans[0].minRPM, 1200);
    EXPECT_EQ(t.fans[0].maxRPM, 6000);
    EXPECT_EQ(t.fans[0].targetRPM, 3000); // half away from zero
    EXPECT_EQ(t.fans[1].id, 2);
    EXPECT_EQ(t.fans[1].name, "Right");
    EXPECT_EQ(t.fans[1].rpm, 6); // 5.5 rounds up
    EXPECT_EQ(t.fans[2].id, 3);
    EXPECT_EQ(t.fans[2].rpm, 0); // negative speed becomes 0
    EXPECT_FALSE(t.fans[2].maxRPM);
    EXPECT_EQ(t.fanRPMs, QList<int>({2900, 6}));
}

TEST(ThermalSampler, FanIndexMissingInTheMiddleKeepsDefaultNames) {
    auto r = rig({{"F0Ac", fl(1000)}, {"F2Ac", fl(1200)}});
    const auto fans = r->sampler.readFans();
    ASSERT_EQ(fans.size(), 2);
    EXPECT_EQ(fans[0].name, "Fan 1");
    EXPECT_EQ(fans[1].id, 2);
    EXPECT_EQ(fans[1].name, "Fan 3");
}

TEST(ThermalSampler, UnusableFanValuesNeverStopTheSample) {
    const float inf = std::numeric_limits<float>::infinity();
    auto r = rig({{"F0Ac", fl(std::nanf(""))},
                  {"F1Ac", fl(inf)},
                  {"F2Ac", fl(3e9f)},
                  {"F3Ac", fl(1500)},
                  {"F3Mx", fl(inf)},
                  {"F3Tg", bytes({1})},
                  {"TC0D", temp(50)}});
    const ThermalSnapshot t = r->sampler.sample();
    ASSERT_EQ(t.fans.size(), 1); // speeds that are no whole number count as no fan
    EXPECT_EQ(t.fans[0].id, 3);
    EXPECT_FALSE(t.fans[0].maxRPM);
    EXPECT_FALSE(t.fans[0].targetRPM);
    EXPECT_EQ(t.cpuCelsius, 50.0);
}

TEST(ThermalSampler, ClosedClientGivesOnlyPressure) {
    auto r = rig({{"TC0D", temp(50)}, {"F0Ac", fl(1000)}}, Pressure::Fair);
    r->smc->open = false;
    const ThermalSnapshot t = r->sampler.sample();
    EXPECT_EQ(t.pressure, Pressure::Fair);
    EXPECT_TRUE(t.sensors.isEmpty() && t.fans.isEmpty() && t.fanRPMs.isEmpty());
    EXPECT_FALSE(t.cpuCelsius || t.gpuCelsius);
}

TEST(ThermalSampler, LaptopFromHwmon) {
    ThermalSampler sampler = hwmonSampler("laptop");
    const ThermalSnapshot t = sampler.sample();
    QStringList names;
    QList<double> values;
    for (const auto& s : t.sensors) {
        names << s.name;
        values << s.value;
    }
    EXPECT_EQ(names,
              QStringList({"CPU package", "CPU die", "CPU proximity", "Wireless", "Battery"}));
    EXPECT_EQ(values, QList<double>({62, 61, 48, 41, 31.5})); // "Core 2" is unreadable: skipped
    EXPECT_EQ(t.cpuCelsius, 62.0);
    EXPECT_FALSE(t.gpuCelsius);
    EXPECT_EQ(t.pressure, Pressure::Nominal);
    ASSERT_EQ(t.fans.size(), 2); // fan2 is missing from the ThinkPad chip
    EXPECT_EQ(t.fans[0].id, 0);
    EXPECT_EQ(t.fans[0].name, "Fan 1");
    EXPECT_EQ(t.fans[0].maxRPM, 5000);
    EXPECT_EQ(t.fans[1].id, 2);
    EXPECT_EQ(t.fans[1].name, "GPU fan");
    EXPECT_EQ(t.fanRPMs, QList<int>({2900, 3100}));
}

TEST(ThermalSampler, AmdDesktopFromHwmon) {
    ThermalSampler sampler = hwmonSampler("desktop-amd");
    const ThermalSnapshot t = sampler.sample();
    QStringList keys;
    for (const auto& s : t.sensors)
        keys << s.key;
    // nvme and the board's SYSTIN have no key; Tccd1/Tccd2 give their hottest.
    EXPECT_EQ(keys, QStringList({"TC0D", "TC0E", "Tg0D", "Tg0P", "Tg05", "Tp0P"}));
    EXPECT_EQ(t.sensors[1].value, 68.0);
    EXPECT_EQ(t.cpuCelsius, 71.5);
    EXPECT_EQ(t.gpuCelsius, 60.0);
    EXPECT_EQ(t.pressure, Pressure::Unknown); // no thermal zones
    ASSERT_EQ(t.fans.size(), 3);
    EXPECT_EQ(t.fans[0].rpm, 1450);
    EXPECT_EQ(t.fans[0].minRPM, 0);
    EXPECT_EQ(t.fans[0].maxRPM, 3300);
    EXPECT_EQ(t.fans[0].targetRPM, 1400);
    EXPECT_EQ(t.fans[1].id, 1); // the Super I/O chip's fans follow the GPU's
    EXPECT_EQ(t.fans[1].rpm, 0);
    EXPECT_EQ(t.fans[2].id, 2);
    EXPECT_EQ(t.fans[2].minRPM, 300);
    EXPECT_EQ(t.fanRPMs, QList<int>({1450, 1100}));
    EXPECT_EQ(ThermalSnapshot::fansSummary(t.fanRPMs, t.fans),
              "Fan 1 is gentle at 1450 RPM. Pendrel reads fans only — the system still controls "
              "them.");
}

TEST(ThermalSampler, AmdTdieIsThePackageWhereTctlCarriesAnOffset) {
    // A second-generation Ryzen: Tctl reads 10 °C above the die, and no CCD sensors.
    const QString root = vitalstest::copyFixture("desktop-amd");
    const QString chip = root + "/sys/class/hwmon/hwmon0/";
    for (const char* file : {"temp3_input", "temp3_label", "temp4_input", "temp4_label"})
        ASSERT_TRUE(QFile::remove(chip + file));
    vitalstest::writeFile(chip + "temp2_label", "Tdie\n");
    vitalstest::writeFile(chip + "temp2_input", "61500\n");
    ThermalSampler sampler(std::make_unique<HwmonSMCClient>(root + "/sys"), {});
    const ThermalSnapshot t = sampler.sample();
    ASSERT_FALSE(t.sensors.isEmpty());
    EXPECT_EQ(t.sensors.front().key, "TC0D");
    EXPECT_EQ(t.sensors.front().value, 61.5);
    EXPECT_EQ(t.cpuCelsius, 61.5);
    for (const HardwareSensor& s : t.sensors)
        EXPECT_NE(s.value, 71.5) << s.key.toStdString(); // Tctl is shown nowhere
}

TEST(ThermalSampler, BareMachineExposesNothing) {
    HwmonSMCClient client(testsupport::fixture("vitals/bare/sys"));
    EXPECT_FALSE(client.isOpen());
    EXPECT_FALSE(client.readKey("TC0D"));
    ThermalSampler sampler = hwmonSampler("bare");
    const ThermalSnapshot t = sampler.sample();
    EXPECT_EQ(t, ThermalSnapshot());
}

TEST(HwmonSMCClient, KeysMustBeFourBytes) {
    HwmonSMCClient client(testsupport::fixture("vitals/laptop/sys"));
    ASSERT_TRUE(client.isOpen());
    EXPECT_TRUE(client.readKey("TC0D"));
    EXPECT_FALSE(client.readKey("TC0"));
    EXPECT_FALSE(client.readKey("TC0DX"));
    EXPECT_FALSE(client.readKey("TC0é")); // five bytes of UTF-8
    EXPECT_FALSE(client.readKey("F1Ac")); // the gap
    EXPECT_FALSE(client.readKey("F0ID")); // no label
    EXPECT_EQ(client.readKey("F2ID"), QByteArray("GPU fan"));
}

TEST(HwmonSMCClient, ValuesAreReadAtEachRead) {
    const QString root = vitalstest::copyFixture("laptop");
    HwmonSMCClient client(root + "/sys");
    vitalstest::writeFile(root + "/sys/class/hwmon/hwmon1/temp1_input", "70500\n");
    EXPECT_EQ(SMCValue::decodeTemperature(*client.readKey("TC0D")), 70.5);
    vitalstest::writeFile(root + "/sys/class/hwmon/hwmon1/temp1_input", "");
    EXPECT_FALSE(client.readKey("TC0D"));
    vitalstest::writeFile(root + "/sys/class/hwmon/hwmon2/fan1_input", "not a number\n");
    EXPECT_FALSE(client.readKey("F0Ac"));
}

TEST(ThermalPressure, JudgedFromTripPoints) {
    auto zone = [](qint64 temp, QList<ThermalZone::Trip> trips) {
        ThermalZone z;
        z.milliCelsius = temp;
        z.trips = trips;
        return z;
    };
    const ThermalZone::Trip crit{"critical", 100'000}, passive{"passive", 90'000},
        active{"active", 40'000}, disabled{"passive", 0};
    EXPECT_EQ(judgeThermalPressure({}), Pressure::Unknown);
    EXPECT_EQ(judgeThermalPressure({zone(50'000, {})}), Pressure::Unknown);
    EXPECT_EQ(judgeThermalPressure({zone(50'000, {active, disabled})}), Pressure::Unknown);
    EXPECT_EQ(judgeThermalPressure({zone(50'000, {crit})}), Pressure::Nominal);
    EXPECT_EQ(judgeThermalPressure({zone(80'000, {crit})}), Pressure::Fair);
    EXPECT_EQ(judgeThermalPressure({zone(80'000, {passive})}), Pressure::Fair);
    EXPECT_EQ(judgeThermalPressure({zone(79'999, {passive})}), Pressure::Nominal);
    EXPECT_EQ(judgeThermalPressure({zone(90'000, {passive, crit})}), Pressure::Serious);
    EXPECT_EQ(judgeThermalPressure({zone(100'000, {passive, crit})}), Pressure::Critical);
    ThermalZone unreadable = zone(0, {crit});
    unreadable.milliCelsius.reset();
    // The worst judged zone wins; unreadable zones do not count.
    EXPECT_EQ(judgeThermalPressure({unreadable, zone(50'000, {crit}), zone(91'000, {passive})}),
              Pressure::Serious);
}
