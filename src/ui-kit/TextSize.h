#pragma once

#include <optional>
#include <QString>
#include <QtGlobal>

class UserDefaults;

// The text-size step under "theme.fontSize": 0 "Small" (0.85), 1 "Slightly smaller" (0.92),
// 2 "Normal" (1.0), 3 "Bigger" (1.18), 4 "Biggest" (1.35). Any other stored integer counts as
// step 2 wherever a name or a scale is derived from it; the stored value itself is left alone
// until a command or control writes a new one.
namespace TextSize {

inline constexpr int Smallest = 0;
inline constexpr int Normal = 2;
inline constexpr int Largest = 4;

bool isValidStep(qint64 step);
// The table's scale, or 1.0 outside 0…4.
qreal scale(qint64 step);
// The table's name, or "Normal" outside 0…4.
QString name(qint64 step);

// The raw stored step as the sidebar control sees it: the stored integer, even when outside
// 0…4; 2 when the key is missing or holds anything but an integer.
qint64 rawStep(const UserDefaults& defaults);

// What the menu commands write, given fontSizeSetting().
int biggerCommandStep(int setting);  // min(setting, 3) + 1
int smallerCommandStep(int setting); // 0 below 2, else setting − 1

} // namespace TextSize

// The stored step for the menu commands: the integer under "theme.fontSize" when it lies in
// 0…4; 2 when the key is missing, holds a non-integer, or an integer outside 0…4.
int fontSizeSetting(const UserDefaults& defaults);
int fontSizeSetting(); // of UserDefaults::standard()
