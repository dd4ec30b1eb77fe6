#include "shell/SidebarText.h"

namespace SidebarText {

bool memoryIsHigh(const SystemSnapshot& s) {
    if (s.memTotalBytes == 0)
        return false;
    return double(s.memUsedBytes) / double(s.memTotalBytes) > 0.85;
}

} // namespace SidebarText
