#include "platform/JpegDcDecoder.h"

#include "platform/ThreadScratch.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace JpegDcDecoder {

using JpegHuffman::BitReader;
using JpegHuffman::decodeSymbol;
using JpegHuffman::kLook;
using JpegHuffman::kPair;
using JpegMarkers::Component;

void destuff(const uint8_t* at, const uint8_t* end, Destuffed& out) {
    out.starts.assign(1, 0);
    out.ends.clear();
    // Written through a pointer into room for the most the data can give: a picture has tens of
    // thousands of stuffed bytes, and a vector's insert for each run between them cost more than
    // the copying. Growing zero-fills only what the buffer never had before.
    const size_t most = size_t(end - at) + kPadding;
    if (out.bytes.size() < most)
        out.bytes.resize(most);
    uint8_t* const base = out.bytes.data();
    uint8_t* to = base;
    while (at < end) {
        const auto* mark = static_cast<const uint8_t*>(std::memchr(at, 0xFF, size_t(end - at)));
        const uint8_t* stop = mark ? mark : end;
        std::memcpy(to, at, size_t(stop - at));
        to += stop - at;
        if (!mark || mark + 1 >= end)
            break;
        const uint8_t next = mark[1];
        if (next == 0x00) {
            *to++ = 0xFF;
            at = mark + 2;
        } else if (next == 0xFF) {
            at = mark + 1; // a fill byte before a marker
        } else if (next >= 0xD0 && next <= 0xD7) {
            out.ends.push_back(size_t(to - base));
            out.starts.push_back(size_t(to - base));
            at = mark + 2;
        } else {
            break; // the end of the scan
        }
    }
    const size_t used = size_t(to - base);
    out.ends.push_back(used);
    std::memset(to, 0, kPadding);
    out.bytes.resize(used + kPadding);
}

namespace {

// One block: its DC difference added to the component's prediction and made into the block's
// mean, its AC codes skipped. False for a code no table holds.
inline bool decodeBlock(BitReader& bits, const JpegHuffman::Table& dcTable,
                        const JpegHuffman::Table& acTable, int quant, int& prediction,
                        uint8_t& sample) {
    bits.fill();
    int length = 0;
    const int category = decodeSymbol(bits, dcTable, &length);
    if (category < 0)
        return false;
    bits.drop(length);
    // The difference's bits, and their sign, without a branch on either: a category of 0 gives 0.
    const int raw = int((bits.buffer >> 1) >> (63 - category)) & ((1 << category) - 1);
    bits.drop(category);
    const int diff = raw < ((1 << category) >> 1) ? raw - (1 << category) + 1 : raw;
    prediction += diff;
    // The mean of the block, as a 1/8-scaled inverse DCT gives it.
    sample = uint8_t(std::clamp(((prediction * quant + 4) >> 3) + 128, 0, 255));
    // A refill leaves 56 bits: enough for two look-ups of pairs (12 bits each) and one code the
    // pairs could not take (at most 26 with its value).
    for (int k = 1; k < 64;) {
        bits.fill();
        uint32_t pair = acTable.pairs[bits.peek(kPair)];
        if (k <= int(pair & 0xFF)) {
            bits.drop(int(pair >> 16));
            k += int((pair >> 8) & 0xFF);
            if (k >= 64)
                break;
            pair = acTable.pairs[bits.peek(kPair)];
            if (k <= int(pair & 0xFF)) {
                bits.drop(int(pair >> 16));
                k += int((pair >> 8) & 0xFF);
                continue;
            }
        }
        const uint16_t skip = acTable.skips[bits.peek(kLook)];
        if (skip) {
            bits.drop(skip >> 8);
            k += skip & 0xFF;
            continue;
        }
        const int symbol = decodeSymbol(bits, acTable, &length);
        if (symbol < 0)
            return false;
        const int run = symbol >> 4;
        const int size = symbol & 15;
        bits.drop(length + size);
        k += size ? run + 1 : (run == 15 ? 16 : 64);
    }
    return true;
}

} // namespace

std::optional<Planes> blockMeans(const JpegMarkers::Parsed& jp) {
    const int width = jp.size.width();
    const int height = jp.size.height();
    Planes out;
    for (const Component& c : jp.frame) {
        out.hMax = std::max(out.hMax, c.h);
        out.vMax = std::max(out.vMax, c.v);
    }
    const bool single = jp.frame.size() == 1;
    out.single = single;
    // In a scan of one component each MCU is one block, whatever its sampling factors.
    const int mcuWidth = single ? 8 : 8 * out.hMax;
    const int mcuHeight = single ? 8 : 8 * out.vMax;
    const int mcusAcross = (width + mcuWidth - 1) / mcuWidth;
    const int mcusDown = (height + mcuHeight - 1) / mcuHeight;
    std::vector<Plane>& planes = out.planes;
    for (const Component& c : jp.frame) {
        const int h = single ? 1 : c.h;
        const int v = single ? 1 : c.v;
        const int stride = mcusAcross * h;
        planes.push_back(Plane{h, v, stride, std::vector<uint8_t>(size_t(stride) * mcusDown * v)});
    }

    // The thread's own, kept from one picture to the next.
    thread_local Destuffed data;
    const ThreadScratch::Trim trim(data.bytes);
    destuff(jp.entropy, jp.end, data);
    const int interval = jp.restartInterval;
    const qint64 mcus = qint64(mcusAcross) * mcusDown;
    // One segment per restart interval (a trailing empty one is harmless), or exactly one.
    const qint64 segmentsNeeded = interval > 0 ? (mcus + interval - 1) / interval : 1;
    if (qint64(data.starts.size()) < segmentsNeeded || (interval == 0 && data.starts.size() > 1))
        return std::nullopt;
    // Past this a block could read beyond the padding: the data has run out long before.
    const uint8_t* const readLimit = data.bytes.data() + data.bytes.size() - kPadding + 8;
    size_t segment = 0;
    BitReader bits(data.bytes.data());
    std::array<int, 4> predictions{};
    int untilRestart = interval;
    // A segment that ran past its end was cut short or corrupt.
    const auto segmentIntact = [&] {
        return bits.used() <= 8 * (data.ends[segment] - data.starts[segment]);
    };
    for (int my = 0; my < mcusDown; ++my) {
        for (int mx = 0; mx < mcusAcross; ++mx) {
            if (interval > 0) {
                if (untilRestart == 0) {
                    if (!segmentIntact())
                        return std::nullopt;
                    ++segment;
                    bits = BitReader(data.bytes.data() + data.starts[segment]);
                    predictions.fill(0);
                    untilRestart = interval;
                }
                --untilRestart;
            }
            for (size_t s = 0; s < jp.scan.size(); ++s) {
                const size_t ci = size_t(jp.scan[s]);
                const Component& c = jp.frame[ci];
                Plane& plane = planes[ci];
                const JpegHuffman::Table& dcTable = jp.dc[size_t(c.dcTable)];
                const JpegHuffman::Table& acTable = jp.ac[size_t(c.acTable)];
                const int quant = jp.dcQuant[size_t(c.quant)];
                for (int by = 0; by < plane.v; ++by) {
                    for (int bx = 0; bx < plane.h; ++bx) {
                        if (bits.at > readLimit)
                            return std::nullopt;
                        uint8_t& sample =
                            plane.samples[size_t(my * plane.v + by) * size_t(plane.stride) +
                                          size_t(mx * plane.h + bx)];
                        if (!decodeBlock(bits, dcTable, acTable, quant, predictions[ci], sample))
                            return std::nullopt;
                    }
                }
            }
        }
    }
    if (!segmentIntact())
        return std::nullopt;
    return out;
}

} // namespace JpegDcDecoder
