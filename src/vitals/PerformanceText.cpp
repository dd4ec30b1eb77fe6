#include "vitals/PerformanceText.h"

#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "platform/TextConstant.h"
#include "vitals/DecimalFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using P = ThermalSnapshot::Pressure;

// The whole part of a percentage, truncated toward zero; a non-finite value (a broken sample)
// reads as 0 rather than overflowing the conversion.
qint64 wholePart(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = 9.0e18;
    return static_cast<qint64>(std::trunc(std::clamp(value, -limit, limit)));
}

bool warm(P pressure) {
    return pressure == P::Fair || pressure == P::Serious || pressure == P::Critical;
}

double memoryRatio(const SystemSnapshot& s) {
    return double(s.memUsedBytes) / double(s.memTotalBytes);
}

// The share of the volume the user can still write to, as df counts it (see
// SystemSnapshot::diskFreeFraction); 1 (nothing used) when the volume reports no size.
double freeRatio(const SystemSnapshot& s) {
    return s.diskFreeFraction();
}

} // namespace

namespace PerformanceText {

QString levelWord(Level level) {
    switch (level) {
    case 0:
        return QStringLiteral("Healthy");
    case 1:
        return QStringLiteral("Elevated");
    default:
        return QStringLiteral("High");
    }
}

Tone levelTone(Level level) {
    switch (level) {
    case 0:
        return Tone::Green;
    case 1:
        return Tone::Orange;
    default:
        return Tone::Red;
    }
}

// --- Overview tiles ---------------------------------------------------------------------------

Level cpuLevel(const SystemSnapshot& s) {
    if (s.cpuPercent > 80)
        return 2;
    if (s.cpuPercent > 50)
        return 1;
    return 0;
}

QString cpuValue(const SystemSnapshot& s) {
    return fixedDecimal(s.cpuPercent, 0) + u'%';
}

QString cpuExplanation(const SystemSnapshot& s) {
    if (s.cpuPercent > 80 && !s.topCPUProcesses.isEmpty())
        return s.topCPUProcesses.constFirst().name +
               QStringLiteral(" is using the most CPU right now. Heavy tasks like video export, "
                              "indexing or AI workloads push this up.");
    if (s.cpuPercent > 50)
        return QStringLiteral("Several apps are active. This is normal when you are working, but "
                              "worth checking if the fan is loud with nothing obvious running.");
    return QStringLiteral("Load is low. Nothing is demanding much from the processor.");
}

Level memoryLevel(const SystemSnapshot& s) {
    if (s.memTotalBytes == 0)
        return 0;
    const double ratio = memoryRatio(s);
    if (ratio > 0.9)
        return 2;
    if (ratio > 0.75)
        return 1;
    return 0;
}

QString memoryValue(const SystemSnapshot& s) {
    return formatBytesClamped(s.memUsedBytes);
}

QString memoryExplanation(const SystemSnapshot& s) {
    const QString headroom =
        QStringLiteral("Plenty of headroom. Your Mac is not juggling too much at once.");
    if (s.memTotalBytes == 0)
        return headroom;
    const double ratio = memoryRatio(s);
    if (ratio > 0.85 && !s.topProcesses.isEmpty()) {
        const ProcessMemoryInfo& first = s.topProcesses.constFirst();
        return first.name + QStringLiteral(" is using ") + formatBytesClamped(first.memoryBytes) +
               QStringLiteral(". The system frees caches when it can, but quitting unused apps "
                              "frees the most.");
    }
    if (ratio > 0.7)
        return QStringLiteral(
            "Memory pressure is building. Browsers with many tabs are the usual cause.");
    return headroom;
}

Level storageLevel(const SystemSnapshot& s) {
    const double ratio = freeRatio(s);
    if (ratio < 0.1)
        return 2;
    if (ratio < 0.2)
        return 1;
    return 0;
}

QString storageValue(const SystemSnapshot& s) {
    return QString::number(s.diskFullPercent()) + QStringLiteral("% full");
}

QString storageExplanation(const SystemSnapshot& s) {
    const double ratio = freeRatio(s);
    if (ratio < 0.1)
        return QStringLiteral("Your SSD is over 90% full. The system slows down when storage is "
                              "this tight — caches cannot grow and apps struggle to save.");
    if (ratio < 0.2)
        return QStringLiteral("Storage is getting tight. Clearing caches, old downloads and "
                              "developer junk usually helps before it becomes a problem.");
    return formatBytes(s.diskFreeBytes) + QStringLiteral(" free of ") +
           formatBytes(s.diskTotalBytes) + QStringLiteral(". No storage pressure right now.");
}

std::optional<BatteryExplanation> batteryExplanation(const SystemSnapshot& s) {
    if (!s.batteryPercent)
        return std::nullopt;
    const int percent = *s.batteryPercent;
    BatteryExplanation out;
    out.level = percent < 20 ? 2 : percent < 40 ? 1 : 0;
    out.value = QString::number(percent) + u'%';
    if (s.batteryCharging)
        out.detail = QStringLiteral("On power, so drain is not a concern.");
    else if (s.cpuPercent > 40 && !s.topProcesses.isEmpty())
        out.detail = s.topProcesses.constFirst().name + QStringLiteral(" is active with CPU at ") +
                     QString::number(wholePart(s.cpuPercent)) +
                     QStringLiteral("%. That combination drains battery faster.");
    else
        out.detail = QStringLiteral("Not charging.");
    return out;
}

// --- Temperature card -------------------------------------------------------------------------

std::optional<Level> temperatureLevel(const SystemSnapshot& s) {
    switch (s.thermal.pressure) {
    case P::Nominal:
        return 0;
    case P::Fair:
        return 1;
    case P::Serious:
    case P::Critical:
        return 2;
    case P::Unknown:
        break;
    }
    return std::nullopt;
}

bool showsChips(const ThermalSnapshot& t) {
    return t.cpuCelsius || t.gpuCelsius || !t.fanRPMs.isEmpty() || !t.sensors.isEmpty();
}

QList<Chip> chips(const ThermalSnapshot& t) {
    QList<Chip> out;
    if (t.cpuCelsius)
        out.append({"cpu"_sym, QStringLiteral("CPU ") + fixedDecimal(*t.cpuCelsius, 0) +
                                   QStringLiteral("°C")});
    if (t.gpuCelsius)
        out.append(
            {"rectangle.on.rectangle"_sym,
             QStringLiteral("GPU ") + fixedDecimal(*t.gpuCelsius, 0) + QStringLiteral("°C")});
    if (!t.fanRPMs.isEmpty()) {
        const int fastest = *std::max_element(t.fanRPMs.cbegin(), t.fanRPMs.cend());
        if (fastest >= 1)
            out.append({"fan"_sym, rpmText(fastest)});
    }
    return out;
}

QString noSensorsNote(P pressure) {
    if (pressure == P::Unknown)
        return QStringLiteral("Live °C sensors are not exposed on this Mac, and thermal pressure "
                              "could not be read either.");
    return QStringLiteral("Live °C sensors are not exposed on this Mac. Pendrel still uses the "
                          "system’s thermal pressure, which is the signal the system itself "
                          "trusts.");
}

std::optional<QString> temperatureAdvice(P pressure) {
    if (pressure != P::Serious && pressure != P::Critical)
        return std::nullopt;
    return QStringLiteral("Try quitting the busiest app, pausing heavy exports, and keeping vents "
                          "clear. Pendrel does not override fan control — the system manages "
                          "cooling safely.");
}

// --- Sensors page -----------------------------------------------------------------------------

Tone pressureTone(P pressure, double cpuPercent) {
    switch (pressure) {
    case P::Nominal:
        return Tone::Green;
    case P::Fair:
        return Tone::Orange;
    case P::Serious:
    case P::Critical:
        return Tone::Red;
    case P::Unknown:
        break;
    }
    return cpuPercent > 80 ? Tone::Orange : Tone::Green;
}

QString pressureSentence(P pressure) {
    return ThermalSnapshot::pressureSentence(pressure);
}

QString pressureSourceNote(P pressure) {
    if (pressure == P::Unknown)
        return QStringLiteral("The system is not publishing this signal on this machine right "
                              "now.");
    return QStringLiteral("This is the system’s public signal. It works even when °C sensors "
                          "are hidden.");
}

QString noSensorsText(P pressure) {
    // The pressure line above is vouched for only when there is one.
    const QString pressureLine =
        pressure == P::Unknown ? QString()
                               : QStringLiteral("Thermal pressure above is still trustworthy. ");
    return QStringLiteral("This Mac is not publishing die temperatures to user apps right now. ") +
           pressureLine + QStringLiteral("The Fans tab may still show RPM if fans exist.");
}

std::optional<LikelyCause> likelyCause(const SystemSnapshot& s) {
    const std::optional<QString> app = s.busiestAppName();
    if (!app || !(warm(s.thermal.pressure) || s.cpuPercent > 50))
        return std::nullopt;
    return LikelyCause{*app, s.thermalExplanation()};
}

// --- Fans page --------------------------------------------------------------------------------

std::optional<QString> fanPressureNote(P pressure) {
    if (!warm(pressure))
        return std::nullopt;
    return QStringLiteral("Thermal pressure is ") + pressureWord(pressure).toLower() +
           QStringLiteral(", so elevated fan noise can be expected.");
}

PENDREL_TEXT(fanlessText, "No fan sensors were reported. Many thin laptops are fanless. If this "
                          "machine has fans, its drivers do not expose their sensors.")

Tone fanStateTone(int rpm) {
    return rpm <= 3500 ? Tone::Green : Tone::Orange;
}

QString rpmText(qint64 rpm) {
    return QString::number(rpm) + QStringLiteral(" RPM");
}

std::optional<double> fanProgress(const FanReading& fan) {
    if (!fan.maxRPM || *fan.maxRPM <= 0)
        return std::nullopt;
    return std::clamp(double(fan.rpm) / double(*fan.maxRPM), 0.0, 1.0);
}

QString fanMinText(const FanReading& fan) {
    return fan.minRPM ? QStringLiteral("Min ") + QString::number(*fan.minRPM)
                      : QStringLiteral("Min —");
}

QString fanMaxText(const FanReading& fan) {
    return QStringLiteral("Max ") + QString::number(fan.maxRPM.value_or(0));
}

std::optional<QString> fanTargetText(const FanReading& fan) {
    if (!fan.targetRPM || *fan.targetRPM <= 0)
        return std::nullopt;
    return QStringLiteral("System target about ") + rpmText(*fan.targetRPM);
}

// --- Autopilot ----------------------------------------------------------------------------------

QString autopilotNotRunning(const QString& name) {
    return name + QStringLiteral(" is no longer running, so nothing was asked to quit.");
}
QString autopilotNotDelivered(const QString& name) {
    return QStringLiteral("Couldn't reach ") + name +
           QStringLiteral(" to ask it to quit. Nothing was closed.");
}

// --- Questions ----------------------------------------------------------------------------------

PENDREL_TEXT(askWhySlowQuestion, "Why is my Mac slow?")
PENDREL_TEXT(askAboutHeatQuestion, "Why is my Mac running hot?")
PENDREL_TEXT(askAboutFansQuestion, "Why are my fans loud?")

PENDREL_TEXT(windowTitle, "Performance")
PENDREL_TEXT(readingPage, "Reading your Mac…")
PENDREL_TEXT(becauseTitle, "Because")

PENDREL_TEXT(overviewIntro, "What is happening right now, and why.")
PENDREL_TEXT(cpuTitle, "CPU")
PENDREL_TEXT(memoryTitle, "Memory")
PENDREL_TEXT(storageTitle, "Storage")
PENDREL_TEXT(batteryTitle, "Battery")
PENDREL_TEXT(impactTitle, "Biggest impact right now")
PENDREL_TEXT(askWhyButton, "Ask Pendrel why")
PENDREL_TEXT(askHeatButton, "Ask about heat")

PENDREL_TEXT(temperatureTitle, "Temperature")
PENDREL_TEXT(openSensorsButton, "Open Sensors")
PENDREL_TEXT(openFansButton, "Open Fans")

PENDREL_TEXT(autopilotTitle, "Performance Autopilot")
PENDREL_TEXT(autopilotSuggestSwitch, "Suggest unused background apps")
PENDREL_TEXT(autopilotAutoQuitSwitch, "Auto-quit suggested apps")
PENDREL_TEXT(autopilotProtectedNote,
             "Pendrel only quits regular apps that are not frontmost. The file manager, "
             "terminals, Cursor and Pendrel itself are protected. You can protect more below.")
PENDREL_TEXT(autopilotNothing, "Nothing to suggest right now.")
PENDREL_TEXT(protectButton, "Protect")
PENDREL_TEXT(quitButton, "Quit")

PENDREL_TEXT(sensorsIntro, "Curated sensors Pendrel can explain. Not every voltage of the sensor "
                           "chips — only temperatures that help you understand heat.")
PENDREL_TEXT(pressureTitle, "Thermal pressure")
PENDREL_TEXT(noSensorsTitle, "No temperature sensors exposed")
PENDREL_TEXT(sensorsTitle, "Temperature sensors")
PENDREL_TEXT(likelyCauseTitle, "Likely cause")
PENDREL_TEXT(askHeatSensorsButton, "Ask Pendrel about heat")

PENDREL_TEXT(fansIntro, "Read-only fan status. Pendrel never overrides cooling — the system stays "
                        "in charge.")
PENDREL_TEXT(fanActivityTitle, "What the fans are doing")
PENDREL_TEXT(fanlessTitle, "Fanless or unavailable")
PENDREL_TEXT(fanLimitsTitle, "What Pendrel will not do")
PENDREL_TEXT(fanLimitsText, "There is no manual fan boost or custom fan curve here. Overriding "
                            "cooling can shorten hardware life and fights the system’s thermal "
                            "management. Pendrel explains noise and heat; it does not take over "
                            "the fans.")
PENDREL_TEXT(askFansButton, "Ask why fans are loud")

} // namespace PerformanceText
