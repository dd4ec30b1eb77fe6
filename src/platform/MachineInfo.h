#pragma once

#include <QtGlobal>

// Fixed facts about the running machine, read once from the C library.
namespace MachineInfo {

// Physical memory in bytes (0 if the system will not say).
quint64 physicalMemoryBytes();
// The kernel's page size in bytes (4096 if the system will not say).
quint64 pageSize();
// Clock ticks per second of the kernel's CPU-time counters (100 if the system will not say).
quint64 clockTicksPerSecond();

} // namespace MachineInfo
