#include "platform/MachineInfo.h"

#include <unistd.h>

namespace MachineInfo {

namespace {
quint64 positiveConf(int name, quint64 fallback) {
    const long value = sysconf(name);
    return value > 0 ? quint64(value) : fallback;
}
} // namespace

quint64 physicalMemoryBytes() {
    static const quint64 bytes = [] {
        const long pages = sysconf(_SC_PHYS_PAGES);
        return pages > 0 ? quint64(pages) * pageSize() : quint64(0);
    }();
    return bytes;
}

quint64 pageSize() {
    static const quint64 size = positiveConf(_SC_PAGESIZE, 4096);
    return size;
}

quint64 clockTicksPerSecond() {
    static const quint64 ticks = positiveConf(_SC_CLK_TCK, 100);
    return ticks;
}

} // namespace MachineInfo
