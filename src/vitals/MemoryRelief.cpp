#include "vitals/MemoryRelief.h"

#include "platform/TouchedMemory.h"

#include <algorithm>
#include <QList>

void* TouchedMemoryAllocator::allocate(quint64 bytes) {
    return TouchedMemory::allocate(bytes);
}

void TouchedMemoryAllocator::release(void* block, quint64 bytes) {
    TouchedMemory::release(block, bytes);
}

namespace MemoryRelief {

quint64 target(quint64 physicalBytes) {
    if (physicalBytes < 4)
        return 0;
    return std::min(physicalBytes / 4, targetCap);
}

quint64 safetyMargin(quint64 physicalBytes) {
    return std::max<quint64>(512ull * 1024 * 1024, physicalBytes / 10);
}

int run(quint64 physicalBytes, MemoryBlockAllocator& allocator,
        const std::function<std::optional<quint64>()>& headroom) {
    const quint64 goal = target(physicalBytes);
    if (goal == 0)
        return 0;
    QList<void*> blocks;
    quint64 held = 0;
    do {
        const auto room = headroom ? headroom() : std::nullopt;
        if (!room || *room < blockBytes)
            break;
        void* block = allocator.allocate(blockBytes);
        if (!block)
            break;
        blocks.append(block);
        held += blockBytes;
    } while (held < goal);
    for (void* block : blocks)
        allocator.release(block, blockBytes);
    return int(blocks.size());
}

} // namespace MemoryRelief
