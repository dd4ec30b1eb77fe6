#pragma once

#include "vitals/SystemSnapshot.h"
#include "vitals/ThermalSnapshot.h"

#include <optional>
#include <QString>

// How the menu-bar panel words a snapshot, and where its cut points lie. Pure functions, shared
// by the panel and its tests.
namespace MenuBarText {

// Cached + free bytes, saturating at the largest unsigned value rather than wrapping.
quint64 availableMemoryBytes(const SystemSnapshot& snapshot);
// The line under "Free up memory" after a run: "Already tidy — little to recover" below 1 byte,
// else "Recovered " and the byte count.
QString freedText(qint64 bytes);
// "Battery 82%" or "Battery 82%, on power"; none without a battery percent.
std::optional<QString> batteryText(const SystemSnapshot& snapshot);
QString batterySymbol(const SystemSnapshot& snapshot);
// "Heat 52°C · Cool"; without a CPU reading the pressure word stands on both sides, except
// "Unknown", which is said once ("Heat Unknown").
QString heatText(const ThermalSnapshot& thermal);
// Fair, serious and critical pressure are shown raised (orange, "thermometer.high"); nominal and
// unknown calm (secondary, "thermometer.medium").
bool heatIsRaised(ThermalSnapshot::Pressure pressure);
QString heatSymbol(ThermalSnapshot::Pressure pressure);
// What assistive technology calls the panel: "Pendrel".
QString panelName();
// "Stop Keep Awake" while keep-awake is on, else "Keep Mac awake".
QString keepAwakeButton(bool active);
// "Freeing memory…" while a run is under way, else "Free up memory".
QString freeButton(bool freeing);
// The panel's fixed words: the two history rows' titles and the disk row's subtitle, and the
// buttons at its foot.
QString memoryTitle();  // "Available memory"
QString diskTitle();    // "Disk"
QString diskSubtitle(); // "free"
QString openButton();   // "Open Pendrel…"
QString refreshButton();
QString quitButton();
// The memory row's subtitle: "of " and the machine's memory, already formatted.
QString memorySubtitle(const QString& total);

} // namespace MenuBarText
