#pragma once

#include "vitals/MemoryRelief.h"

#include <cstdint>
#include <QList>

// Hands out tokens instead of memory, and records the traffic.
class FakeMemoryBlockAllocator final : public MemoryBlockAllocator {
public:
    int failAt = -1; // the allocation number (0-based) that fails; -1 never
    QList<quint64> requested;
    QList<void*> given, released;

    void* allocate(quint64 bytes) override {
        requested.append(bytes);
        if (failAt >= 0 && requested.size() - 1 >= failAt)
            return nullptr;
        void* token = reinterpret_cast<void*>(std::uintptr_t(0x1000 * (given.size() + 1)));
        given.append(token);
        return token;
    }
    void release(void* block, quint64) override { released.append(block); }
};
