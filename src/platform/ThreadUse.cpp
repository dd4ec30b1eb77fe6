#include "platform/ThreadUse.h"

#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace ThreadUse {

Sample now() {
    // Without the kernel's I/O accounting there is no io file and the block count stays 0, which
    // would read as "never touched the disk".
    static const bool accounted = ::access("/proc/self/io", R_OK) == 0;
    Sample sample;
    // The thread's own clock, to the nanosecond: getrusage's times move in whole clock ticks.
    timespec cpu{};
    if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu) == 0)
        sample.cpuNs = int64_t(cpu.tv_sec) * 1000000000 + int64_t(cpu.tv_nsec);
    rusage use{};
    if (accounted && ::getrusage(RUSAGE_THREAD, &use) == 0)
        sample.readBytes = int64_t(use.ru_inblock) * 512;
    return sample;
}

} // namespace ThreadUse
