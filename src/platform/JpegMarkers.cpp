#include "platform/JpegMarkers.h"

#include <algorithm>

namespace JpegMarkers {

namespace {

inline int be16(const uint8_t* p) {
    return p[0] << 8 | p[1];
}

// Start of frame: every kind of coding, of which only the sequential Huffman-coded ones are read
// on.
bool isFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// One pass over the markers, with a reader for each kind of segment that matters. A reader that
// gives false met a broken segment or one of a kind not taken: the pass ends there, with what it
// read, as not decodable.
class MarkerReader {
public:
    MarkerReader(QByteArrayView jpeg, bool tables)
        : d(reinterpret_cast<const uint8_t*>(jpeg.data())), n(size_t(jpeg.size())),
          m_tables(tables) {}

    std::optional<Parsed> read() {
        if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
            return std::nullopt;
        size_t p = 2;
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
            if (marker == 0xDA) {
                if (!m_haveFrame || segLength < 1)
                    return finish(false);
                const std::optional<bool> ready = scan(seg, segLength);
                if (!ready)
                    return finish(false);
                m_out.entropy = d + p + length;
                m_out.end = d + n;
                return finish(*ready);
            }
            if (!segment(marker, seg, segLength))
                return finish(false);
            p += length;
        }
    }

private:
    // A segment before the scan; false ends the pass.
    bool segment(int marker, const uint8_t* seg, size_t segLength) {
        if (isFrame(marker))
            return frame(marker, seg, segLength);
        switch (marker) {
        case 0xC4:
            return huffmanTables(seg, segLength);
        case 0xDB:
            return quantTables(seg, segLength);
        case 0xDD:
            if (segLength < 2)
                return false;
            m_out.restartInterval = be16(seg);
            return true;
        case 0xE0:
            if (segLength >= 5 && std::equal(seg, seg + 5, "JFIF"))
                m_jfif = true;
            return true;
        case 0xEE:
            if (segLength >= 12 && std::equal(seg, seg + 5, "Adobe"))
                m_adobeTransform = seg[11];
            return true;
        default:
            return true;
        }
    }

    bool frame(int marker, const uint8_t* seg, size_t segLength) {
        if (m_haveFrame || segLength < 6)
            return false;
        m_haveFrame = true;
        const int precision = seg[0];
        const int height = be16(seg + 1);
        const int width = be16(seg + 3);
        const int count = seg[5];
        m_out.size = QSize(width, height);
        if (segLength < size_t(6 + 3 * count))
            return false;
        for (int i = 0; i < count; ++i) {
            const uint8_t* c = seg + 6 + 3 * i;
            m_out.frame.push_back(Component{c[0], c[1] >> 4, c[1] & 15, c[2], 0, 0});
        }
        const bool sane =
            std::all_of(m_out.frame.begin(), m_out.frame.end(), [](const Component& c) {
                return c.h >= 1 && c.h <= 4 && c.v >= 1 && c.v <= 4 && c.quant < 4;
            });
        if (sane && width > 0 && height > 0)
            m_out.coefficientBytes = coefficientBytes(width, height);
        // Baseline and extended sequential Huffman coding only.
        m_supportedFrame = (marker == 0xC0 || marker == 0xC1) && precision == 8 && sane &&
                           width > 0 && height > 0 && (count == 1 || count == 3);
        return marker == 0xC0 || marker == 0xC1;
    }

    qint64 coefficientBytes(int width, int height) const {
        int hMax = 1;
        int vMax = 1;
        for (const Component& c : m_out.frame) {
            hMax = std::max(hMax, c.h);
            vMax = std::max(vMax, c.v);
        }
        qint64 bytes = 0;
        for (const Component& c : m_out.frame) {
            const qint64 across = ((qint64(width) * c.h + hMax - 1) / hMax + 7) / 8;
            const qint64 down = ((qint64(height) * c.v + vMax - 1) / vMax + 7) / 8;
            bytes += across * down * 64 * 2;
        }
        return bytes;
    }

    bool huffmanTables(const uint8_t* seg, size_t segLength) {
        size_t q = 0;
        while (q + 17 <= segLength) {
            const int cls = seg[q] >> 4;
            const int index = seg[q] & 15;
            int total = 0;
            for (int i = 0; i < 16; ++i)
                total += seg[q + 1 + size_t(i)];
            if (cls > 1 || index > 3 || total > 256 || q + 17 + size_t(total) > segLength)
                return false;
            JpegHuffman::Table& table =
                cls == 0 ? m_out.dc[size_t(index)] : m_out.ac[size_t(index)];
            if (!m_tables)
                table.defined = true;
            else if (!table.build(seg + q + 1, seg + q + 17, total, cls == 0))
                return false;
            q += 17 + size_t(total);
        }
        return true;
    }

    bool quantTables(const uint8_t* seg, size_t segLength) {
        size_t q = 0;
        while (q < segLength) {
            const int wide = seg[q] >> 4;
            const int index = seg[q] & 15;
            const size_t bytes = 1 + 64 * size_t(wide ? 2 : 1);
            if (index > 3 || q + bytes > segLength)
                return false;
            m_out.dcQuant[size_t(index)] = wide ? be16(seg + q + 1) : seg[q + 1];
            m_out.quantDefined[size_t(index)] = true;
            q += bytes;
        }
        return true;
    }

    // The scan's components; nothing when the segment is broken, else whether the scan is one
    // this reader's caller takes, with every table it names defined.
    std::optional<bool> scan(const uint8_t* seg, size_t segLength) {
        const int count = seg[0];
        if (segLength < size_t(4 + 2 * count))
            return std::nullopt;
        for (int i = 0; i < count; ++i) {
            const uint8_t* c = seg + 1 + 2 * i;
            const auto at = std::find_if(m_out.frame.begin(), m_out.frame.end(),
                                         [&](const Component& f) { return f.id == c[0]; });
            if (at == m_out.frame.end())
                return std::nullopt;
            at->dcTable = c[1] >> 4;
            at->acTable = c[1] & 15;
            m_out.scan.push_back(int(at - m_out.frame.begin()));
        }
        const uint8_t* tail = seg + 1 + 2 * count;
        const bool sequential = tail[0] == 0 && tail[1] == 63 && tail[2] == 0;
        // Three components are YCbCr unless the file says they are RGB: an Adobe marker with
        // transform 0, or, with neither JFIF nor Adobe marker, the ids R, G and B.
        const bool rgb = m_out.frame.size() == 3 &&
                         (m_adobeTransform == 0 ||
                          (!m_jfif && m_adobeTransform < 0 && m_out.frame[0].id == 'R' &&
                           m_out.frame[1].id == 'G' && m_out.frame[2].id == 'B'));
        bool ready = sequential && !rgb && m_out.scan.size() == m_out.frame.size();
        for (const int i : m_out.scan) {
            const Component& c = m_out.frame[size_t(i)];
            ready = ready && c.dcTable < 4 && c.acTable < 4 && c.quant < 4 &&
                    m_out.dc[size_t(c.dcTable)].defined && m_out.ac[size_t(c.acTable)].defined &&
                    m_out.quantDefined[size_t(c.quant)];
        }
        return ready;
    }

    std::optional<Parsed> finish(bool decodable) {
        if (!m_haveFrame)
            return std::nullopt;
        m_out.decodable = decodable && m_supportedFrame;
        return std::move(m_out);
    }

    const uint8_t* const d;
    const size_t n;
    const bool m_tables;
    Parsed m_out;
    bool m_haveFrame = false;
    bool m_supportedFrame = false;
    bool m_jfif = false;
    int m_adobeTransform = -1;
};

} // namespace

std::optional<Parsed> parse(QByteArrayView jpeg, bool tables) {
    return MarkerReader(jpeg, tables).read();
}

} // namespace JpegMarkers
