#pragma once

#include <sys/resource.h>

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

} // namespace DescriptorLimit
