#pragma once

#include <QtGlobal>

// Private anonymous memory whose every page has been written, so the kernel really had to find
// room for it (reclaiming caches to do so). Used by the free-memory action only.
namespace TouchedMemory {

// A block of `bytes`, all pages touched, or nullptr when the kernel refuses the mapping.
void* allocate(quint64 bytes);
// Returns a block from allocate() with the same size to the kernel at once.
void release(void* block, quint64 bytes);

} // namespace TouchedMemory
