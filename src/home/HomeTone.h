#pragma once

#include <QtGlobal>

// The colour a level of the home screen and the health report is drawn in. The screens map it
// onto the interface's colours: the standard green, yellow, orange and red, the accent, and the
// secondary grey for what is not known yet.
enum class HomeTone : quint8 { Green, Yellow, Orange, Red, Accent, Secondary };
