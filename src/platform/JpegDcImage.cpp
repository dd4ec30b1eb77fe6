#include "platform/JpegDcImage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <QtEndian>
#include <vector>

namespace JpegDcImage {

namespace {

// Zeros after the entropy-coded data: more than one block can take (63 codes of at most 31 bits)
// plus a word.
constexpr size_t kPadding = 512;

// Codes up to this long are found by one table look-up; longer ones (rare) by the canonical walk.
constexpr int kLook = 10;
// AC codes are skipped up to two at a time by a look-up of this many bits.
constexpr int kPair = 12;

// A Huffman table as the entropy decoder uses it: `symbols` gives (length << 8 | symbol) for
// every code of at most kLook bits by its first kLook bits; `skips` gives, for the same codes of
// an AC table, how many bits the code and the value after it take (<< 8) and how far it moves
// along the block (64 for the end of the block). A zero entry sends the decoder to the walk.
struct Huffman {
    bool defined = false;
    std::array<uint16_t, 1 << kLook> symbols{};
    std::array<uint16_t, 1 << kLook> skips{};
    std::array<int, 18> maxCode{};
    std::array<int, 17> valueAt{};
    std::array<int, 17> minCode{};
    std::array<uint8_t, 256> values{};
    bool build(const uint8_t* counts, const uint8_t* vals, int total, bool dc) {
        symbols.fill(0);
        skips.fill(0);
        int code = 0;
        int k = 0;
        for (int length = 1; length <= 16; ++length) {
            const int n = counts[length - 1];
            valueAt[size_t(length)] = k;
            minCode[size_t(length)] = code;
            for (int i = 0; i < n; ++i, ++code, ++k) {
                // A code past the end of its length's code space is a broken table; it must be
                // refused before it indexes the look-up tables below.
                if (code >= (1 << length))
                    return false;
                const uint8_t symbol = vals[k];
                // Eight-bit samples have DC differences of at most 11 bits and AC values of
                // at most 10; the refill counts on it.
                if (dc ? symbol > 11 : (symbol & 15) > 10)
                    return false;
                if (length <= kLook) {
                    const int first = code << (kLook - length);
                    const int span = 1 << (kLook - length);
                    const int run = symbol >> 4;
                    const int bits = symbol & 15;
                    const int advance = bits ? run + 1 : (run == 15 ? 16 : 64);
                    for (int j = 0; j < span; ++j) {
                        symbols[size_t(first + j)] = uint16_t(length << 8 | symbol);
                        skips[size_t(first + j)] = uint16_t((length + bits) << 8 | advance);
                    }
                }
            }
            maxCode[size_t(length)] = n ? code - 1 : -1;
            code <<= 1;
        }
        maxCode[17] = 0x7fffffff;
        std::copy(vals, vals + total, values.begin());
        if (!dc)
            buildPairs();
        defined = true;
        return true;
    }

    // For AC tables, by the next kPair bits: the one or two codes with their values that lie
    // wholly inside them, as (bits << 16 | advance << 8 | last k). They may be taken at any
    // position k of the block up to `last k`: a pair only while its first code leaves the block
    // unfinished, an end of block only after codes that stay inside it. An end of block
    // advances by 64. Zero where the first code does not fit.
    std::array<uint32_t, 1 << kPair> pairs{};

    void buildPairs() {
        for (int i = 0; i < (1 << kPair); ++i) {
            pairs[size_t(i)] = 0;
            const uint16_t first = skips[size_t(i >> (kPair - kLook))];
            const int firstBits = first >> 8;
            if (!first || firstBits > kPair)
                continue;
            const int firstMove = first & 0xFF;
            const auto entry = [](int bits, int move, int lastK) {
                return uint32_t(bits) << 16 | uint32_t(move) << 8 | uint32_t(lastK);
            };
            pairs[size_t(i)] = entry(firstBits, firstMove, 63);
            if (firstMove == 64)
                continue;
            const int rest = (i << firstBits) & ((1 << kPair) - 1);
            const uint16_t second = skips[size_t(rest >> (kPair - kLook))];
            const int secondBits = second >> 8;
            if (!second || firstBits + secondBits > kPair)
                continue;
            const int secondMove = second & 0xFF;
            pairs[size_t(i)] = secondMove == 64
                                   ? entry(firstBits + secondBits, 64, 63 - firstMove)
                                   : entry(firstBits + secondBits, firstMove + secondMove,
                                           64 - firstMove - secondMove);
        }
    }
};

// The entropy-coded data of a scan with the stuffed zero after each 0xFF dropped, cut at its
// restart markers: segment i runs from starts[i] to ends[i]. Padded with zeros past the end, so
// a reader may load whole words anywhere inside it.
struct Destuffed {
    std::vector<uint8_t> bytes;
    std::vector<size_t> starts;
    std::vector<size_t> ends;
};

Destuffed destuff(const uint8_t* at, const uint8_t* end) {
    Destuffed out;
    out.bytes.reserve(size_t(end - at) + kPadding);
    out.starts.push_back(0);
    while (at < end) {
        const auto* mark = static_cast<const uint8_t*>(std::memchr(at, 0xFF, size_t(end - at)));
        const uint8_t* stop = mark ? mark : end;
        out.bytes.insert(out.bytes.end(), at, stop);
        if (!mark || mark + 1 >= end)
            break;
        const uint8_t next = mark[1];
        if (next == 0x00) {
            out.bytes.push_back(0xFF);
            at = mark + 2;
        } else if (next == 0xFF) {
            at = mark + 1; // a fill byte before a marker
        } else if (next >= 0xD0 && next <= 0xD7) {
            out.ends.push_back(out.bytes.size());
            out.starts.push_back(out.bytes.size());
            at = mark + 2;
        } else {
            break; // the end of the scan
        }
    }
    out.ends.push_back(out.bytes.size());
    out.bytes.resize(out.bytes.size() + kPadding, 0);
    return out;
}

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
inline int decodeSymbol(BitReader& bits, const Huffman& table, int* length) {
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

struct Component {
    int id = 0;
    int h = 1;
    int v = 1;
    int quant = 0;
    int dcTable = 0;
    int acTable = 0;
};

struct Parsed {
    QSize size;
    bool decodable = false;
    std::vector<Component> frame;
    std::vector<int> scan; // frame indices in scan order
    std::array<Huffman, 4> dc;
    std::array<Huffman, 4> ac;
    std::array<int, 4> dcQuant{};
    std::array<bool, 4> quantDefined{};
    int restartInterval = 0;
    qint64 coefficientBytes = 0;
    const uint8_t* entropy = nullptr;
    const uint8_t* end = nullptr;
};

inline int be16(const uint8_t* p) {
    return p[0] << 8 | p[1];
}

// Reads the markers up to the first scan, building the Huffman tables when `tables` is set (a
// header alone only notes which are defined). Nothing when the bytes are not a JPEG with a frame.
std::optional<Parsed> parse(QByteArrayView jpeg, bool tables) {
    const auto* d = reinterpret_cast<const uint8_t*>(jpeg.data());
    const size_t n = size_t(jpeg.size());
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return std::nullopt;
    Parsed out;
    bool haveFrame = false;
    bool supportedFrame = false;
    bool jfif = false;
    int adobeTransform = -1;
    size_t p = 2;
    const auto finish = [&](bool decodable) -> std::optional<Parsed> {
        if (!haveFrame)
            return std::nullopt;
        out.decodable = decodable && supportedFrame;
        return std::move(out);
    };
    while (true) {
        if (p + 1 >= n || d[p] != 0xFF)
            return finish(false);
        while (p + 1 < n && d[p + 1] == 0xFF)
            ++p;
        if (p + 1 >= n)
            return finish(false);
        const int marker = d[p + 1];
        p += 2;
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD9 || p + 2 > n)
            return finish(false);
        const size_t length = size_t(be16(d + p));
        if (length < 2 || p + length > n)
            return finish(false);
        const uint8_t* seg = d + p + 2;
        const size_t segLength = length - 2;
        switch (marker) {
        case 0xC0:
        case 0xC1:
        case 0xC2:
        case 0xC3:
        case 0xC5:
        case 0xC6:
        case 0xC7:
        case 0xC9:
        case 0xCA:
        case 0xCB:
        case 0xCD:
        case 0xCE:
        case 0xCF: {
            if (haveFrame || segLength < 6)
                return finish(false);
            haveFrame = true;
            const int precision = seg[0];
            const int height = be16(seg + 1);
            const int width = be16(seg + 3);
            const int count = seg[5];
            out.size = QSize(width, height);
            if (segLength < size_t(6 + 3 * count))
                return finish(false);
            for (int i = 0; i < count; ++i) {
                const uint8_t* c = seg + 6 + 3 * i;
                out.frame.push_back(Component{c[0], c[1] >> 4, c[1] & 15, c[2], 0, 0});
            }
            const bool sane =
                std::all_of(out.frame.begin(), out.frame.end(), [](const Component& c) {
                    return c.h >= 1 && c.h <= 4 && c.v >= 1 && c.v <= 4 && c.quant < 4;
                });
            if (sane && width > 0 && height > 0) {
                int hMax = 1;
                int vMax = 1;
                for (const Component& c : out.frame) {
                    hMax = std::max(hMax, c.h);
                    vMax = std::max(vMax, c.v);
                }
                for (const Component& c : out.frame) {
                    const qint64 across = ((qint64(width) * c.h + hMax - 1) / hMax + 7) / 8;
                    const qint64 down = ((qint64(height) * c.v + vMax - 1) / vMax + 7) / 8;
                    out.coefficientBytes += across * down * 64 * 2;
                }
            }
            // Baseline and extended sequential Huffman coding only.
            supportedFrame = (marker == 0xC0 || marker == 0xC1) && precision == 8 && sane &&
                             width > 0 && height > 0 && (count == 1 || count == 3);
            if (marker != 0xC0 && marker != 0xC1)
                return finish(false);
            break;
        }
        case 0xC4: {
            size_t q = 0;
            while (q + 17 <= segLength) {
                const int cls = seg[q] >> 4;
                const int index = seg[q] & 15;
                int total = 0;
                for (int i = 0; i < 16; ++i)
                    total += seg[q + 1 + size_t(i)];
                if (cls > 1 || index > 3 || total > 256 || q + 17 + size_t(total) > segLength)
                    return finish(false);
                Huffman& table = cls == 0 ? out.dc[size_t(index)] : out.ac[size_t(index)];
                if (!tables)
                    table.defined = true;
                else if (!table.build(seg + q + 1, seg + q + 17, total, cls == 0))
                    return finish(false);
                q += 17 + size_t(total);
            }
            break;
        }
        case 0xDB: {
            size_t q = 0;
            while (q < segLength) {
                const int wide = seg[q] >> 4;
                const int index = seg[q] & 15;
                const size_t bytes = 1 + 64 * size_t(wide ? 2 : 1);
                if (index > 3 || q + bytes > segLength)
                    return finish(false);
                out.dcQuant[size_t(index)] = wide ? be16(seg + q + 1) : seg[q + 1];
                out.quantDefined[size_t(index)] = true;
                q += bytes;
            }
            break;
        }
        case 0xDD:
            if (segLength < 2)
                return finish(false);
            out.restartInterval = be16(seg);
            break;
        case 0xE0:
            if (segLength >= 5 && std::equal(seg, seg + 5, "JFIF"))
                jfif = true;
            break;
        case 0xEE:
            if (segLength >= 12 && std::equal(seg, seg + 5, "Adobe"))
                adobeTransform = seg[11];
            break;
        case 0xDA: {
            if (!haveFrame || segLength < 1)
                return finish(false);
            const int count = seg[0];
            if (segLength < size_t(4 + 2 * count))
                return finish(false);
            for (int i = 0; i < count; ++i) {
                const uint8_t* c = seg + 1 + 2 * i;
                const auto at = std::find_if(out.frame.begin(), out.frame.end(),
                                             [&](const Component& f) { return f.id == c[0]; });
                if (at == out.frame.end())
                    return finish(false);
                at->dcTable = c[1] >> 4;
                at->acTable = c[1] & 15;
                out.scan.push_back(int(at - out.frame.begin()));
            }
            const uint8_t* tail = seg + 1 + 2 * count;
            const bool sequential = tail[0] == 0 && tail[1] == 63 && tail[2] == 0;
            // Three components are YCbCr unless the file says they are RGB: an Adobe marker with
            // transform 0, or, with neither JFIF nor Adobe marker, the ids R, G and B.
            const bool rgb =
                out.frame.size() == 3 &&
                (adobeTransform == 0 || (!jfif && adobeTransform < 0 && out.frame[0].id == 'R' &&
                                         out.frame[1].id == 'G' && out.frame[2].id == 'B'));
            bool ready = sequential && !rgb && out.scan.size() == out.frame.size();
            for (const int i : out.scan) {
                const Component& c = out.frame[size_t(i)];
                ready = ready && c.dcTable < 4 && c.acTable < 4 && c.quant < 4 &&
                        out.dc[size_t(c.dcTable)].defined && out.ac[size_t(c.acTable)].defined &&
                        out.quantDefined[size_t(c.quant)];
            }
            out.entropy = d + p + length;
            out.end = d + n;
            return finish(ready);
        }
        default:
            break;
        }
        p += length;
    }
}

inline uint8_t clampSample(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

} // namespace

std::optional<Header> header(QByteArrayView jpeg) {
    const std::optional<Parsed> parsed = parse(jpeg, false);
    if (!parsed)
        return std::nullopt;
    return Header{parsed->size, parsed->decodable, parsed->coefficientBytes};
}

qint64 workingBytes(const QSize& size) {
    const qint64 blocks = qint64((size.width() + 7) / 8) * qint64((size.height() + 7) / 8);
    // The three block planes (with the padding of whole MCUs) and the RGB32 picture.
    return blocks * 8 + 4096;
}

std::optional<QImage> decode(QByteArrayView jpeg) {
    std::optional<Parsed> parsed = parse(jpeg, true);
    if (!parsed || !parsed->decodable)
        return std::nullopt;
    Parsed& jp = *parsed;
    const int width = jp.size.width();
    const int height = jp.size.height();
    int hMax = 1;
    int vMax = 1;
    for (const Component& c : jp.frame) {
        hMax = std::max(hMax, c.h);
        vMax = std::max(vMax, c.v);
    }
    const bool single = jp.frame.size() == 1;
    // In a scan of one component each MCU is one block, whatever its sampling factors.
    const int mcuWidth = single ? 8 : 8 * hMax;
    const int mcuHeight = single ? 8 : 8 * vMax;
    const int mcusAcross = (width + mcuWidth - 1) / mcuWidth;
    const int mcusDown = (height + mcuHeight - 1) / mcuHeight;

    struct Plane {
        int h, v, stride;
        std::vector<uint8_t> samples;
    };
    std::vector<Plane> planes;
    for (const Component& c : jp.frame) {
        const int h = single ? 1 : c.h;
        const int v = single ? 1 : c.v;
        const int stride = mcusAcross * h;
        planes.push_back(Plane{h, v, stride, std::vector<uint8_t>(size_t(stride) * mcusDown * v)});
    }

    const Destuffed data = destuff(jp.entropy, jp.end);
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
                const Huffman& dcTable = jp.dc[size_t(c.dcTable)];
                const Huffman& acTable = jp.ac[size_t(c.acTable)];
                const int quant = jp.dcQuant[size_t(c.quant)];
                for (int by = 0; by < plane.v; ++by) {
                    for (int bx = 0; bx < plane.h; ++bx) {
                        if (bits.at > readLimit)
                            return std::nullopt;
                        bits.fill();
                        int length = 0;
                        const int category = decodeSymbol(bits, dcTable, &length);
                        if (category < 0)
                            return std::nullopt;
                        bits.drop(length);
                        // The difference's bits, and their sign, without a branch on either:
                        // a category of 0 gives 0.
                        const int raw =
                            int((bits.buffer >> 1) >> (63 - category)) & ((1 << category) - 1);
                        bits.drop(category);
                        const int diff =
                            raw < ((1 << category) >> 1) ? raw - (1 << category) + 1 : raw;
                        predictions[ci] += diff;
                        // The mean of the block, as a 1/8-scaled inverse DCT gives it.
                        const int sample = ((predictions[ci] * quant + 4) >> 3) + 128;
                        plane.samples[size_t(my * plane.v + by) * size_t(plane.stride) +
                                      size_t(mx * plane.h + bx)] = clampSample(sample);
                        // A refill leaves 56 bits: enough for two look-ups of pairs (12 bits
                        // each) and one code the pairs could not take (at most 26 with its value).
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
                                return std::nullopt;
                            const int run = symbol >> 4;
                            const int size = symbol & 15;
                            bits.drop(length + size);
                            k += size ? run + 1 : (run == 15 ? 16 : 64);
                        }
                    }
                }
            }
        }
    }
    if (!segmentIntact())
        return std::nullopt;

    const int outWidth = (width + 7) / 8;
    const int outHeight = (height + 7) / 8;
    QImage image(outWidth, outHeight, QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    // Which block of a plane covers an output pixel: the planes of subsampled components have
    // fewer blocks, each standing for several pixels.
    const auto sampleAt = [&](const Plane& plane, const Component& c, int x, int y) {
        const int px = single ? x : x * c.h / hMax;
        const int py = single ? y : y * c.v / vMax;
        return int(plane.samples[size_t(py) * size_t(plane.stride) + size_t(px)]);
    };
    if (single) {
        for (int y = 0; y < outHeight; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < outWidth; ++x) {
                const int g = sampleAt(planes[0], jp.frame[0], x, y);
                line[x] = qRgb(g, g, g);
            }
        }
        return image;
    }
    // YCbCr to RGB in the fixed point of the JFIF conversion (16 fraction bits).
    constexpr int kHalf = 1 << 15;
    const auto fix = [](double v) { return int(v * 65536.0 + 0.5); };
    const int crR = fix(1.40200), cbB = fix(1.77200), cbG = fix(0.34414), crG = fix(0.71414);
    for (int y = 0; y < outHeight; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < outWidth; ++x) {
            const int luma = sampleAt(planes[0], jp.frame[0], x, y);
            const int cb = sampleAt(planes[1], jp.frame[1], x, y) - 128;
            const int cr = sampleAt(planes[2], jp.frame[2], x, y) - 128;
            const int r = luma + ((crR * cr + kHalf) >> 16);
            const int g = luma + ((-cbG * cb - crG * cr + kHalf) >> 16);
            const int b = luma + ((cbB * cb + kHalf) >> 16);
            line[x] = qRgb(clampSample(r), clampSample(g), clampSample(b));
        }
    }
    return image;
}

} // namespace JpegDcImage
