#include "platform/JpegDcImage.h"

#include "platform/JpegDcDecoder.h"
#include "platform/JpegMarkers.h"

#include <algorithm>
#include <vector>

namespace JpegDcImage {

namespace {

inline uint8_t clampSample(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

// Where each column of the eighth-scaled picture reads in one component's plane, and where each
// of its rows starts there, worked out once per picture rather than once per pixel.
struct PlaneIndex {
    std::vector<size_t> column;
    std::vector<size_t> row;
};

PlaneIndex indexOf(const JpegDcDecoder::Planes& means, size_t plane,
                   const JpegMarkers::Component& c, int outWidth, int outHeight) {
    PlaneIndex index;
    index.column.resize(size_t(outWidth));
    index.row.resize(size_t(outHeight));
    for (int x = 0; x < outWidth; ++x)
        index.column[size_t(x)] = means.offsetOf(plane, c, x, 0);
    for (int y = 0; y < outHeight; ++y)
        index.row[size_t(y)] = means.offsetOf(plane, c, 0, y);
    return index;
}

// The picture of the block means: grey from one component, else YCbCr made RGB.
std::optional<QImage> toImage(const JpegMarkers::Parsed& jp, const JpegDcDecoder::Planes& means) {
    const int outWidth = (jp.size.width() + 7) / 8;
    const int outHeight = (jp.size.height() + 7) / 8;
    QImage image(outWidth, outHeight, QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    const PlaneIndex lumaAt = indexOf(means, 0, jp.frame[0], outWidth, outHeight);
    const uint8_t* const lumaPlane = means.planes[0].samples.data();
    if (means.single) {
        for (int y = 0; y < outHeight; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const uint8_t* luma = lumaPlane + lumaAt.row[size_t(y)];
            for (int x = 0; x < outWidth; ++x) {
                const int g = luma[lumaAt.column[size_t(x)]];
                line[x] = qRgb(g, g, g);
            }
        }
        return image;
    }
    const PlaneIndex cbAt = indexOf(means, 1, jp.frame[1], outWidth, outHeight);
    const PlaneIndex crAt = indexOf(means, 2, jp.frame[2], outWidth, outHeight);
    // YCbCr to RGB in the fixed point of the JFIF conversion (16 fraction bits).
    constexpr int kHalf = 1 << 15;
    const auto fix = [](double v) { return int(v * 65536.0 + 0.5); };
    const int crR = fix(1.40200), cbB = fix(1.77200), cbG = fix(0.34414), crG = fix(0.71414);
    for (int y = 0; y < outHeight; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint8_t* luma = lumaPlane + lumaAt.row[size_t(y)];
        const uint8_t* cbRow = means.planes[1].samples.data() + cbAt.row[size_t(y)];
        const uint8_t* crRow = means.planes[2].samples.data() + crAt.row[size_t(y)];
        for (int x = 0; x < outWidth; ++x) {
            const int l = luma[lumaAt.column[size_t(x)]];
            const int cb = cbRow[cbAt.column[size_t(x)]] - 128;
            const int cr = crRow[crAt.column[size_t(x)]] - 128;
            const int r = l + ((crR * cr + kHalf) >> 16);
            const int g = l + ((-cbG * cb - crG * cr + kHalf) >> 16);
            const int b = l + ((cbB * cb + kHalf) >> 16);
            line[x] = qRgb(clampSample(r), clampSample(g), clampSample(b));
        }
    }
    return image;
}

} // namespace

std::optional<Header> header(QByteArrayView jpeg) {
    const std::optional<JpegMarkers::Parsed> parsed = JpegMarkers::parse(jpeg, false);
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
    const std::optional<JpegMarkers::Parsed> parsed = JpegMarkers::parse(jpeg, true);
    if (!parsed || !parsed->decodable)
        return std::nullopt;
    const std::optional<JpegDcDecoder::Planes> means = JpegDcDecoder::blockMeans(*parsed);
    if (!means)
        return std::nullopt;
    return toImage(*parsed, *means);
}

} // namespace JpegDcImage
