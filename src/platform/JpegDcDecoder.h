#pragma once

#include "platform/JpegMarkers.h"

#include <cstdint>
#include <optional>
#include <vector>

// The entropy decoder of JpegDcImage: the DC coefficient of every block of a baseline scan, made
// into the block's mean sample, while the AC coefficients are only skipped over.
namespace JpegDcDecoder {

// Zeros after the entropy-coded data: more than one block can take (63 codes of at most 31 bits)
// plus a word.
constexpr size_t kPadding = 512;

// The entropy-coded data of a scan with the stuffed zero after each 0xFF dropped, cut at its
// restart markers: segment i runs from starts[i] to ends[i]. Padded with kPadding zeros past the
// end, so a reader may load whole words anywhere inside it.
struct Destuffed {
    std::vector<uint8_t> bytes;
    std::vector<size_t> starts;
    std::vector<size_t> ends;
};
// Fills `out` anew, keeping the memory it already holds.
void destuff(const uint8_t* at, const uint8_t* end, Destuffed& out);

// One component's block means, `stride` blocks a row, padded to whole MCUs; h and v blocks of it
// in each MCU.
struct Plane {
    int h, v, stride;
    std::vector<uint8_t> samples;
};

struct Planes {
    std::vector<Plane> planes; // in frame order
    int hMax = 1;
    int vMax = 1;
    // One component: each MCU is one block, whatever its sampling factors.
    bool single = false;

    // Where in `plane` (of frame component `c`) the mean of the block lies that covers pixel
    // (x, y) of the eighth-scaled picture: the planes of subsampled components have fewer blocks,
    // each standing for several pixels.
    size_t offsetOf(size_t plane, const JpegMarkers::Component& c, int x, int y) const {
        const Plane& p = planes[plane];
        const int px = single ? x : x * c.h / hMax;
        const int py = single ? y : y * c.v / vMax;
        return size_t(py) * size_t(p.stride) + size_t(px);
    }
};

// The block means of a decodable picture; nothing when its data breaks off or is corrupt.
std::optional<Planes> blockMeans(const JpegMarkers::Parsed& jp);

} // namespace JpegDcDecoder
