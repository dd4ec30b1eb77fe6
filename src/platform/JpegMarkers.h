#pragma once

#include "platform/JpegHuffman.h"

#include <array>
#include <optional>
#include <QByteArrayView>
#include <QSize>
#include <vector>

// The markers of a JPEG before its first scan, as JpegDcImage needs them: the frame, the Huffman
// and quantisation tables, the restart interval, what says the colours are RGB, and where the
// entropy-coded data starts.
namespace JpegMarkers {

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
    // Whether JpegDcImage takes the picture (see JpegDcImage.h for which it takes).
    bool decodable = false;
    std::vector<Component> frame;
    std::vector<int> scan; // frame indices in scan order
    std::array<JpegHuffman::Table, 4> dc;
    std::array<JpegHuffman::Table, 4> ac;
    std::array<int, 4> dcQuant{};
    std::array<bool, 4> quantDefined{};
    int restartInterval = 0;
    // What a decoder that keeps every coefficient holds (as for a progressive JPEG).
    qint64 coefficientBytes = 0;
    // The entropy-coded data of the first scan runs from here to the end of the bytes.
    const uint8_t* entropy = nullptr;
    const uint8_t* end = nullptr;
};

// Reads the markers up to the first scan, building the Huffman tables when `tables` is set (a
// header alone only notes which are defined). Nothing when the bytes are not a JPEG with a frame;
// a frame whose markers break off, or that is not followed by a scan of the kind taken, is not
// decodable.
std::optional<Parsed> parse(QByteArrayView jpeg, bool tables);

} // namespace JpegMarkers
