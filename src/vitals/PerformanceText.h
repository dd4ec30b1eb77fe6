#pragma once

#include "vitals/PerformanceMode.h"
#include "vitals/SystemSnapshot.h"

#include <optional>
#include <QList>
#include <QString>

// What the Performance screen says about one sample: the levels of its cards, their values and
// "Because" sentences, the temperature card's chips and advice, the sensors page's pressure badge
// and likely cause, and the fans page's texts. Pure functions of their arguments, so every cut
// point can be checked without a widget; the screen only lays these out.
//
// The cut points are this screen's own (the menu-bar panel and the health check judge the same
// measures differently): CPU and memory tiles change level at 80/50 % and 0.9/0.75 of memory,
// while the memory sentence changes at 0.85/0.7.
namespace PerformanceText {

// How urgent a card is: 0 calm, 1 worth a look, 2 act now. Any value other than 0 and 1 reads
// as 2.
using Level = int;

// The colour a badge or line is drawn in; the screen maps it onto the interface's status colours.
// Neutral (the secondary text colour) is for what could not be judged.
enum class Tone { Green, Orange, Red, Neutral };

// "Healthy", "Elevated" or "High" (any other level).
QString levelWord(Level level);
Tone levelTone(Level level);

// --- Overview tiles -------------------------------------------------------------------------

// 2 above 80 %, 1 above 50 %, else 0.
Level cpuLevel(const SystemSnapshot& snapshot);
// "37%": the whole-machine load with no decimals.
QString cpuValue(const SystemSnapshot& snapshot);
QString cpuExplanation(const SystemSnapshot& snapshot);

// Used ÷ total: 2 above 0.9, 1 above 0.75, else 0; 0 when the total is 0.
Level memoryLevel(const SystemSnapshot& snapshot);
// The used bytes in file style.
QString memoryValue(const SystemSnapshot& snapshot);
QString memoryExplanation(const SystemSnapshot& snapshot);

// By the share the user can still write to, as df counts it (diskFreeFraction(); 1 when the
// volume reports no size): 2 below 0.1, 1 below 0.2, else 0.
Level storageLevel(const SystemSnapshot& snapshot);
// "75% full": SystemSnapshot::diskFullPercent(), so it agrees with df's Use% (the blocks
// reserved for root count as neither used nor free) and with the storage hub.
QString storageValue(const SystemSnapshot& snapshot);
QString storageExplanation(const SystemSnapshot& snapshot);

struct BatteryExplanation {
    Level level = 0;
    QString value;  // "54%"
    QString detail; // one sentence
    bool operator==(const BatteryExplanation&) const = default;
};
// None when the sample has no battery; the level is 2 below 20 %, 1 below 40 %, else 0.
std::optional<BatteryExplanation> batteryExplanation(const SystemSnapshot& snapshot);

// --- Temperature card -----------------------------------------------------------------------

// By thermal pressure: nominal 0, fair 1, serious and critical 2. None when the pressure could
// not be read: the card then shows "Unknown" in the neutral tone, since any level guessed from
// the CPU load would contradict the "Unknown" the card and the rest of the app show for heat.
std::optional<Level> temperatureLevel(const SystemSnapshot& snapshot);

// One reading beside the temperature: a symbol name and its text.
struct Chip {
    QString symbol;
    QString text;
    bool operator==(const Chip&) const = default;
};
// True when there is anything live to show (a CPU or GPU temperature, fan speeds or sensors);
// false means the card shows noSensorsNote() instead. The row may be shown with no chips in it
// (sensors without a CPU or GPU reading, fans that do not turn).
bool showsChips(const ThermalSnapshot& thermal);
// "CPU 61°C", "GPU 55°C", "2400 RPM" (the fastest fan, only when it turns), in that order.
QList<Chip> chips(const ThermalSnapshot& thermal);
// Says what the card still judges heat by: the pressure, or nothing when that could not be read
// either.
QString noSensorsNote(ThermalSnapshot::Pressure pressure);
// The advice line for serious or critical pressure; none otherwise.
std::optional<QString> temperatureAdvice(ThermalSnapshot::Pressure pressure);

// --- Sensors page ---------------------------------------------------------------------------

// The pressure badge's colour: nominal green, fair orange, serious and critical red; unknown
// follows the CPU load, which is still read: orange above 80 %, else green.
Tone pressureTone(ThermalSnapshot::Pressure pressure, double cpuPercent);
// One sentence on what the pressure means ("The system reports no thermal pressure." …).
QString pressureSentence(ThermalSnapshot::Pressure pressure);
// The caption under that sentence: where the signal comes from, or, when it could not be read,
// that the system is not publishing it (never that it "always works").
QString pressureSourceNote(ThermalSnapshot::Pressure pressure);
// The empty state's sentence when no temperature sensor is exposed; it vouches for the pressure
// above only when the pressure was read.
QString noSensorsText(ThermalSnapshot::Pressure pressure);

struct LikelyCause {
    QString appName;
    QString explanation; // SystemSnapshot::thermalExplanation()
    bool operator==(const LikelyCause&) const = default;
};
// Shown only when there is a busiest app and the machine is warm (fair, serious or critical
// pressure) or the CPU is above 50 %.
std::optional<LikelyCause> likelyCause(const SystemSnapshot& snapshot);

// --- Fans page ------------------------------------------------------------------------------

// "Thermal pressure is warm, so elevated fan noise can be expected." for fair, serious and
// critical pressure; none for nominal and unknown.
std::optional<QString> fanPressureNote(ThermalSnapshot::Pressure pressure);
// The fanless card's text: no fan was reported, and what that means on this machine.
QString fanlessText();
// Green up to 3500 RPM, orange from 3501.
Tone fanStateTone(int rpm);
// "2400 RPM".
QString rpmText(qint64 rpm);
// How far the fan is towards its maximum, 0 to 1; none when no maximum above 0 is known.
std::optional<double> fanProgress(const FanReading& fan);
// "Min 1200" or "Min —" when the minimum is unknown; "Max 6000".
QString fanMinText(const FanReading& fan);
QString fanMaxText(const FanReading& fan);
// "System target about 2400 RPM"; none without a target above 0.
std::optional<QString> fanTargetText(const FanReading& fan);

// --- Autopilot ------------------------------------------------------------------------------

// Why the Quit button the user pressed asked nothing: the application has gone (or its process
// now belongs to something else), or the request could not be delivered.
QString autopilotNotRunning(const QString& name);
QString autopilotNotDelivered(const QString& name);

// --- Questions handed to the assistant ------------------------------------------------------

QString askWhySlowQuestion();   // "Why is my Mac slow?"
QString askAboutHeatQuestion(); // "Why is my Mac running hot?"
QString askAboutFansQuestion(); // "Why are my fans loud?"

// --- The screen's fixed words ---------------------------------------------------------------

QString windowTitle();  // "Performance"
QString readingPage();  // while the first sample is read
QString becauseTitle(); // over a card's explanation

// The overview: its introduction, the tiles' titles (CPU and memory also head the impact list's
// two halves), the impact box and the two questions' buttons.
QString overviewIntro();
QString cpuTitle();
QString memoryTitle();
QString storageTitle();
QString batteryTitle();
QString impactTitle();
QString askWhyButton();
QString askHeatButton();

// The temperature card's title and its buttons to the two other pages.
QString temperatureTitle();
QString openSensorsButton();
QString openFansButton();

// The autopilot box: its title, two switches, the note on which apps are never quit, the line
// shown while nothing is suggested, and a suggestion's two buttons.
QString autopilotTitle();
QString autopilotSuggestSwitch();
QString autopilotAutoQuitSwitch();
QString autopilotProtectedNote();
QString autopilotNothing();
QString protectButton();
QString quitButton();

// The sensors page: its introduction, the pressure card's title, the empty state's title, the
// two boxes and the question's button.
QString sensorsIntro();
QString pressureTitle();
QString noSensorsTitle();
QString sensorsTitle();
QString likelyCauseTitle();
QString askHeatSensorsButton();

// The fans page: its introduction, the activity card's title, the fanless card's title, what it
// will not do (title and text) and the question's button.
QString fansIntro();
QString fanActivityTitle();
QString fanlessTitle();
QString fanLimitsTitle();
QString fanLimitsText();
QString askFansButton();

} // namespace PerformanceText
