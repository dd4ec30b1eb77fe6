#pragma once

#include <cstdint>

// What the calling thread has used so far: its processor time, and the bytes it has caused to be
// read from storage (the kernel's per-thread I/O accounting, which counts the reads of folders
// and inodes as well as of file contents; -1 where the kernel keeps none). Two system calls and
// no descriptor, so a loop that budgets its descriptors can ask it freely.
namespace ThreadUse {

struct Sample {
    int64_t cpuNs = 0;
    int64_t readBytes = -1;
};

Sample now();

} // namespace ThreadUse
