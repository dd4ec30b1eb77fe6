#pragma once

#include <optional>
#include <QString>
#include <QtGlobal>

class UserDefaults;

// The text-size step under "theme.fontSize": 0 "Small" (0.85), 1 "Slightly smaller" (0.92),
// 2 "Normal" (1.0), 3 "Bigger" (1.18), 4 "Biggest" (1.35). A stored integer outside 0…4 (a
// hand-edited file, an older version's wider range) is read as the nearest step, so 9 is
// "Biggest" everywhere: the control, the menu commands and the scale agree on it. The stored value
// itself is left alone until a command or control writes a new one.
namespace TextSize {

inline constexpr int Smallest = 0;
inline constexpr int Normal = 2;
inline constexpr int Largest = 4;

bool isValidStep(qint64 step);
// `step` clamped to 0…4.
qint64 nearestStep(qint64 step);
// The table's scale of the nearest step.
qreal scale(qint64 step);
// The table's name of the nearest step.
QString name(qint64 step);

// The stored step, read as the nearest one in 0…4; 2 when the key is missing or holds anything
// but an integer.
qint64 rawStep(const UserDefaults& defaults);

// What the menu commands write, given fontSizeSetting().
int biggerCommandStep(int setting);  // min(setting, 3) + 1
int smallerCommandStep(int setting); // 0 below 2, else setting − 1

} // namespace TextSize

// The stored step for the menu commands: TextSize::rawStep().
int fontSizeSetting(const UserDefaults& defaults);
int fontSizeSetting(); // of UserDefaults::standard()
