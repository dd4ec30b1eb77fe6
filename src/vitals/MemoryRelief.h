#pragma once

#include <functional>
#include <optional>
#include <QtGlobal>

// Where the free-memory routine gets its blocks; tests inject a fake that records what was
// asked and fails on cue.
class MemoryBlockAllocator {
public:
    virtual ~MemoryBlockAllocator() = default;
    // A block of `bytes` whose pages are really backed (not merely reserved), or nullptr.
    virtual void* allocate(quint64 bytes) = 0;
    virtual void release(void* block, quint64 bytes) = 0;
};

// The live allocator: touched anonymous memory.
class TouchedMemoryAllocator final : public MemoryBlockAllocator {
public:
    void* allocate(quint64 bytes) override;
    void release(void* block, quint64 bytes) override;
};

// The free-memory routine: briefly takes a large amount of memory so the kernel reclaims caches
// and idle pages, then gives it all back; what it achieved shows as more free memory in the next
// sample.
//
// It takes 128 MiB blocks until min(physical / 4, 2,000,000,000) bytes are held or a block
// fails, then releases every block in the order taken. Before every block it asks `headroom`
// (bytes that may still be taken safely now): when that is unknown or below one block it stops,
// so the routine never pushes the machine, or the app's own memory limit, into the out-of-memory
// killer. It may therefore take nothing at all.
namespace MemoryRelief {

constexpr quint64 blockBytes = 134'217'728;
constexpr quint64 targetCap = 2'000'000'000;

// The amount the routine aims for; 0 below 4 bytes of physical memory.
quint64 target(quint64 physicalBytes);

// The memory kept untouched: max(512 MiB, a tenth of physical memory).
quint64 safetyMargin(quint64 physicalBytes);

// Runs the routine; returns the number of blocks that were held at the peak.
int run(quint64 physicalBytes, MemoryBlockAllocator& allocator,
        const std::function<std::optional<quint64>()>& headroom);

} // namespace MemoryRelief
