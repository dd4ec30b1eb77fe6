#pragma once

#include <sys/resource.h>
#include <vector>

// The process's limit on open files. Desktop sessions start programs with a soft limit of 1,024
// and a far higher hard limit, so that old code built on select() never meets a larger
// descriptor. The app waits on descriptors with poll() only, and its duplicate search keeps a
// folder open for every folder that holds candidates (a file of each is opened through it), so
// the app raises its own soft limit once at start; the programs it starts inherit the raised
// limit, which matters only to one that itself opens more than 1,024 files and uses select().
namespace DescriptorLimit {

// Past this many the search gains nothing it could use, and a child that closes every possible
// descriptor before it runs something would spend long doing so.
constexpr rlim_t cap = 65536;

// What a soft limit becomes: the hard limit, at most `cap`, and never lower than it was.
rlim_t raised(rlim_t soft, rlim_t hard);

// Raises this process's soft limit to raised(); false when the limit could not be read or set.
bool raise();

// The descriptors this process has open now, in ascending order (less the one that lists them);
// none when that cannot be read.
std::vector<int> openNow();

// Half of what a process may still open under the soft limit `soft` (RLIM_INFINITY counts as
// 2^20) with `open` descriptors open, once each of `threads` threads holds two more: the other
// half stays for the rest of the app. Never below 0, never above 2^16.
int spareHalf(rlim_t soft, long long open, int threads);

// spareHalf() of this process now; 0 when its limit cannot be read.
int spareHalf(int threads);

// Makes the process's descriptor table large enough for `count` descriptors at once (at most
// the soft limit less one), in one step. Left to grow as files open, the table doubles again and
// again while threads open them, and each time every thread that opens a file waits until the
// kernel has swapped the table.
void reserveTable(int count);

} // namespace DescriptorLimit
