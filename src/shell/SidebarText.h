#pragma once

#include "vitals/SystemSnapshot.h"

// The sidebar's status line: its cut point, shared by the view and its tests.
namespace SidebarText {

// Whether used / total memory is above 0.85; false when the total is 0.
bool memoryIsHigh(const SystemSnapshot& snapshot);

} // namespace SidebarText
