#include "vitals/MemoryRelief.h"
#include "fakes/FakeMemoryBlockAllocator.h"

#include <gtest/gtest.h>

namespace {
const auto plenty = [] { return std::optional<quint64>(64ull << 30); };
}

TEST(MemoryRelief, BlocksTakenForAQuarterOfMemoryCappedAtTwoGigabytes) {
    FakeMemoryBlockAllocator eight, four;
    EXPECT_EQ(MemoryRelief::run(8ull << 30, eight, plenty), 15); // target 2,000,000,000
    EXPECT_EQ(MemoryRelief::target(4ull << 30), 1'073'741'824u);
    EXPECT_EQ(MemoryRelief::run(4ull << 30, four, plenty), 8);
    for (quint64 size : eight.requested)
        EXPECT_EQ(size, MemoryRelief::blockBytes);
    // Everything taken is given back, in the order it was taken.
    EXPECT_EQ(eight.released, eight.given);
}

TEST(MemoryRelief, StopsAtTheFirstFailedBlockAndReleasesTheRest) {
    FakeMemoryBlockAllocator allocator;
    allocator.failAt = 2;
    EXPECT_EQ(MemoryRelief::run(16ull << 30, allocator, plenty), 2);
    EXPECT_EQ(allocator.requested.size(), 3);
    EXPECT_EQ(allocator.released, allocator.given);
}

TEST(MemoryRelief, NeverTakesMoreThanTheHeadroom) {
    FakeMemoryBlockAllocator allocator;
    // The headroom shrinks as blocks are taken, like MemAvailable does.
    quint64 room = 3 * MemoryRelief::blockBytes + 1;
    const auto headroom = [&] {
        const quint64 now = room;
        room = room >= MemoryRelief::blockBytes ? room - MemoryRelief::blockBytes : 0;
        return std::optional<quint64>(now);
    };
    EXPECT_EQ(MemoryRelief::run(16ull << 30, allocator, headroom), 3);

    FakeMemoryBlockAllocator none;
    EXPECT_EQ(MemoryRelief::run(16ull << 30, none, [] { return std::optional<quint64>(); }), 0);
    EXPECT_EQ(
        MemoryRelief::run(16ull << 30, none,
                          [] { return std::optional<quint64>(MemoryRelief::blockBytes - 1); }),
        0);
    EXPECT_TRUE(none.requested.isEmpty());
}

TEST(MemoryRelief, TinyOrUnknownMachinesAreLeftAlone) {
    FakeMemoryBlockAllocator allocator;
    EXPECT_EQ(MemoryRelief::run(3, allocator, plenty), 0);
    EXPECT_EQ(MemoryRelief::run(0, allocator, plenty), 0);
    EXPECT_TRUE(allocator.requested.isEmpty());
    // Small but real memory: one block is still attempted.
    EXPECT_EQ(MemoryRelief::run(4, allocator, plenty), 1);
}
