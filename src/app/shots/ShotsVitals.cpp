#include "app/shots/Shots.h"

#include "fakes/FakeRunningApplications.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "ui-kit/ThemeSettings.h"
#include "vitals/AppState.h"
#include "vitals/PerformanceAutopilot.h"
#include "vitals/views/PerformanceView.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QVBoxLayout>

namespace {

constexpr quint64 GB = 1'000'000'000ull;
constexpr quint64 MB = 1'000'000ull;

// A desktop with a few applications open; quit requests go nowhere.
std::shared_ptr<FakeRunningApplications> stillApplications(const QStringList& names) {
    auto running = std::make_shared<FakeRunningApplications>();
    qint64 pid = 4000;
    for (const QString& name : names)
        running->apps.append(FakeRunningApplications::app(name, ++pid));
    running->frontmost = QStringLiteral("Terminal");
    running->deliverQuit = false;
    return running;
}

HardwareSensor sensor(const char* key, const char* name, double value, const char* plain) {
    return {
        QString::fromLatin1(key), QString::fromUtf8(name), HardwareSensor::Kind::Temperature, value,
        QStringLiteral("°C"),     QString::fromUtf8(plain)};
}

FanReading fan(int id, const char* name, int rpm, std::optional<int> min, std::optional<int> max,
               std::optional<int> target) {
    return {id, QString::fromUtf8(name), rpm, min, max, target};
}

using Shots::addCpu;
using Shots::addMemory;

void fillFanSpeeds(ThermalSnapshot& t) {
    t.fanRPMs.clear();
    for (const FanReading& f : t.fans) {
        if (f.rpm > 0)
            t.fanRPMs.append(f.rpm);
    }
}

// High CPU from an export, serious pressure, one fan near its maximum, battery running down.
SystemSnapshot hotLaptop() {
    SystemSnapshot s;
    s.memTotalBytes = 16 * GB;
    s.memUsedBytes = 14'700 * MB;
    s.memCachedBytes = 900 * MB;
    s.memFreeBytes = 400 * MB;
    s.cpuPercent = 91.4;
    s.diskTotalBytes = qint64(512 * GB);
    s.diskFreeBytes = qint64(44 * GB);
    s.diskUsedBytes = qint64(442 * GB); // ext4 keeps the other 26 GB for root
    s.batteryPercent = 34;
    s.batteryCharging = false;
    addCpu(s, "ffmpeg", 312.0);
    addCpu(s, "firefox-esr", 48.2);
    addCpu(s, "code", 21.7);
    addCpu(s, "Xorg", 9.1);
    addCpu(s, "pipewire", 3.0);
    addMemory(s, "firefox-esr", 3'400 * MB, 2101);
    addMemory(s, "code", 2'100 * MB, 2102);
    addMemory(s, "Slack", 1'250 * MB, 4001); // the pids of StillApplications' apps
    addMemory(s, "ffmpeg", 1'100 * MB, 2104);
    addMemory(s, "Thunderbird", 740 * MB, 4002);
    addMemory(s, "gnome-shell", 520 * MB, 2106);
    ThermalSnapshot& t = s.thermal;
    t.pressure = ThermalSnapshot::Pressure::Serious;
    t.cpuCelsius = 94.0;
    t.gpuCelsius = 78.0;
    t.sensors = {sensor("TC0D", "CPU package", 94, "CPU package temperature."),
                 sensor("TC0F", "CPU die", 91, "CPU die temperature."),
                 sensor("TG0D", "GPU die", 78, "Graphics die temperature."),
                 sensor("TB0T", "Battery", 41, "Battery temperature."),
                 sensor("TW0P", "Wireless", 39, "Wi-Fi / wireless module temperature.")};
    t.fans = {fan(0, "Left fan", 5600, 1200, 6000, 5800)};
    fillFanSpeeds(t);
    return s;
}

// Nothing exposed: no sensors, no fans, no thermal zones, no battery.
SystemSnapshot fanlessMachine() {
    SystemSnapshot s;
    s.memTotalBytes = 8 * GB;
    s.memUsedBytes = 3'100 * MB;
    s.memCachedBytes = 3'400 * MB;
    s.memFreeBytes = 1'500 * MB;
    s.cpuPercent = 12.0;
    s.diskTotalBytes = qint64(256 * GB);
    s.diskFreeBytes = qint64(41 * GB);
    addCpu(s, "firefox-esr", 6.5);
    addCpu(s, "gnome-shell", 2.1);
    addMemory(s, "firefox-esr", 1'400 * MB, 2201);
    addMemory(s, "gnome-shell", 380 * MB, 2202);
    addMemory(s, "evolution", 210 * MB, 2203);
    s.thermal.pressure = ThermalSnapshot::Pressure::Unknown;
    return s;
}

// A desktop at rest: cool sensors, two fans idle, on mains power (no battery).
SystemSnapshot idleDesktop() {
    SystemSnapshot s;
    s.memTotalBytes = 64 * GB;
    s.memUsedBytes = 9'800 * MB;
    s.memCachedBytes = 30 * GB;
    s.memFreeBytes = 24 * GB;
    s.cpuPercent = 3.2;
    s.diskTotalBytes = qint64(2'000 * GB);
    s.diskFreeBytes = qint64(1'210 * GB);
    addCpu(s, "gnome-shell", 1.4);
    addCpu(s, "Xorg", 0.8);
    addMemory(s, "code", 1'900 * MB, 2301);
    addMemory(s, "firefox-esr", 1'700 * MB, 2302);
    addMemory(s, "gnome-shell", 410 * MB, 2303);
    ThermalSnapshot& t = s.thermal;
    t.pressure = ThermalSnapshot::Pressure::Nominal;
    t.cpuCelsius = 38.0;
    t.sensors = {sensor("TC0D", "CPU package", 38, "CPU package temperature."),
                 sensor("TC0F", "CPU die", 36, "CPU die temperature."),
                 sensor("TA0P", "Ambient", 27, "Ambient / intake air temperature.")};
    t.fans = {fan(0, "CPU fan", 0, 0, 2200, std::nullopt),
              fan(1, "Case fan", 0, std::nullopt, std::nullopt, std::nullopt)};
    fillFanSpeeds(t);
    return s;
}

struct Fixture {
    const char* name;
    SystemSnapshot snapshot;
    QStringList runningApps; // what the autopilot sees
    bool autopilotOn;
};

} // namespace

// The Performance pages for three machines, in a window the size of the main window's detail
// card, and the overview at the smallest and largest text size. Each machine's figures come
// from a fixed sampler and its autopilot from a private settings file and a scripted desktop.
void renderVitalsShots(ShotContext& ctx) {
    const Fixture fixtures[] = {
        {"hot-laptop", hotLaptop(), {"Slack", "Thunderbird", "Terminal"}, true},
        {"fanless", fanlessMachine(), {}, true},
        {"idle-desktop", idleDesktop(), {}, false},
    };
    const QString settingsDir = QDir::homePath() + QStringLiteral("/performance-shots");
    QDir().mkpath(settingsDir);

    for (const Fixture& fixture : fixtures) {
        const QString name = QString::fromLatin1(fixture.name);
        auto samples = std::make_shared<FakeSamplerState>();
        samples->set(fixture.snapshot);
        AppState appState(AppState::Options{.makeSampler = FakeSnapshotSampler::factory(samples),
                                            .intervalMs = 3'600'000});
        Shots::waitFor([&] { return appState.hasFirstSample(); });

        QFile::remove(settingsDir + QStringLiteral("/") + name + QStringLiteral(".json"));
        UserDefaults defaults(settingsDir + QStringLiteral("/") + name + QStringLiteral(".json"));
        PerformanceAutopilot autopilot(defaults, stillApplications(fixture.runningApps));
        autopilot.setEnabled(fixture.autopilotOn);
        ScreenState screen;

        QWidget window;
        Shots::column(&window, QStringLiteral("performance"))
            ->addWidget(new PerformanceView(&appState, &autopilot, &screen, &window));

        // Tall enough for the whole overview; the other pages fit the detail card.
        window.resize(900, 1560);
        ctx.saveSettled(&window, QStringLiteral("performance-overview-") + name);
        if (fixture.autopilotOn && !fixture.runningApps.isEmpty()) {
            window.resize(900, 700);
            ctx.saveSettled(&window, QStringLiteral("performance-overview-top-") + name);
        }
        window.resize(900, 700);
        screen.setPerformanceMode(PerformanceMode::Sensors);
        ctx.saveSettled(&window, QStringLiteral("performance-sensors-") + name);
        screen.setPerformanceMode(PerformanceMode::Fans);
        ctx.saveSettled(&window, QStringLiteral("performance-fans-") + name);

        if (name == QLatin1String("fanless")) { // the Unknown wording, in both looks
            ctx.eachLook([&](const ShotLook& look) {
                const QString suffix = QStringLiteral("-%1-step%2-%3")
                                           .arg(look.appearance().toLower())
                                           .arg(look.step)
                                           .arg(name);
                screen.setPerformanceMode(PerformanceMode::Sensors);
                window.resize(900, look.step == 0 ? 700 : 1000);
                ctx.saveSettled(&window, QStringLiteral("performance-sensors") + suffix);
                screen.setPerformanceMode(PerformanceMode::Overview);
                window.resize(900, look.step == 0 ? 1400 : 1900);
                ctx.saveSettled(&window, QStringLiteral("performance-overview") + suffix);
            });
        }
        if (name == QLatin1String("hot-laptop")) {
            screen.setPerformanceMode(PerformanceMode::Overview);
            for (int step : {0, 4}) {
                ctx.setTextSize(step);
                window.resize(900, step == 0 ? 1400 : 1900);
                ctx.saveSettled(
                    &window, QStringLiteral("performance-overview-step%1-%2").arg(step).arg(name));
            }
            ctx.resetLook();
        }
        window.hide();
    }
}
