#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <QtEndian>

// The Huffman coding of a baseline JPEG's entropy-coded data, as JpegDcImage reads it: the
// tables of a DHT segment made into look-ups, and the bits of a segment read most significant
// first.
namespace JpegHuffman {

// Codes up to this long are found by one table look-up; longer ones (rare) by the canonical walk.
constexpr int kLook = 10;
// AC codes are skipped up to two at a time by a look-up of this many bits.
constexpr int kPair = 12;

// A Huffman table as the entropy decoder uses it: `symbols` gives (length << 8 | symbol) for
// every code of at most kLook bits by its first kLook bits; `skips` gives, for the same codes of
// an AC table, how many bits the code and the value after it take (<< 8) and how far it moves
// along the block (64 for the end of the block). A zero entry sends the decoder to the walk.
struct Table {
    bool defined = false;
    std::array<uint16_t, 1 << kLook> symbols{};
    std::array<uint16_t, 1 << kLook> skips{};
    std::array<int, 18> maxCode{};
    std::array<int, 17> valueAt{};
    std::array<int, 17> minCode{};
    std::array<uint8_t, 256> values{};
    // Builds the table from a DHT segment's 16 counts and `total` values; false for a broken
    // table, or values an 8-bit DC (`dc`) or AC table cannot hold.
    bool build(const uint8_t* counts, const uint8_t* vals, int total, bool dc);

    // For AC tables, by the next kPair bits: the one or two codes with their values that lie
    // wholly inside them, as (bits << 16 | advance << 8 | last k). They may be taken at any
    // position k of the block up to `last k`: a pair only while its first code leaves the block
    // unfinished, an end of block only after codes that stay inside it. An end of block
    // advances by 64. Zero where the first code does not fit.
    std::array<uint32_t, 1 << kPair> pairs{};

private:
    void buildPairs();
};

// Bits of one segment, most significant first. The refill takes whole words without a branch
// (a byte only partly taken is read again at the same place), so at least 56 bits are always at
// hand after it.
struct BitReader {
    const uint8_t* base;
    const uint8_t* at;
    uint64_t buffer = 0; // the next `count` bits, from the top; zeros below them
    int count = 0;

    explicit BitReader(const uint8_t* start) : base(start), at(start) {}
    void fill() {
        uint64_t word;
        std::memcpy(&word, at, 8);
        buffer |= qFromBigEndian(word) >> count;
        at += (63 - count) >> 3;
        count |= 56;
    }
    uint32_t peek(int bits) const { return uint32_t(buffer >> (64 - bits)); }
    void drop(int bits) {
        buffer <<= bits;
        count -= bits;
    }
    // How many bits of the segment have been used.
    size_t used() const { return size_t(at - base) * 8 - size_t(count); }
};

// The symbol of the next code; -1 for a code no table holds.
inline int decodeSymbol(BitReader& bits, const Table& table, int* length) {
    const uint16_t entry = table.symbols[bits.peek(kLook)];
    if (entry) {
        *length = entry >> 8;
        return entry & 0xFF;
    }
    int l = kLook + 1;
    int code = int(bits.peek(l));
    while (l <= 16 && code > table.maxCode[size_t(l)]) {
        ++l;
        code = int(bits.peek(l));
    }
    if (l > 16)
        return -1;
    *length = l;
    return table.values[size_t(table.valueAt[size_t(l)] + code - table.minCode[size_t(l)]) & 0xFF];
}

} // namespace JpegHuffman
