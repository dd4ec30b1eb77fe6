#include "platform/JpegDcImage.h"

#include "platform/JpegDcDecoder.h"
#include "platform/JpegMarkers.h"

#include <algorithm>

namespace JpegDcImage {

namespace {

inline uint8_t clampSample(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

// The picture of the block means: grey from one component, else YCbCr made RGB.
std::optional<QImage> toImage(const JpegMarkers::Parsed& jp, const JpegDcDecoder::Planes& means) {
    const int outWidth = (jp.size.width() + 7) / 8;
    const int outHeight = (jp.size.height() + 7) / 8;
    QImage image(outWidth, outHeight, QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    if (means.single) {
        for (int y = 0; y < outHeight; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < outWidth; ++x) {
                const int g = means.sampleAt(0, jp.frame[0], x, y);
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
            const int luma = means.sampleAt(0, jp.frame[0], x, y);
            const int cb = means.sampleAt(1, jp.frame[1], x, y) - 128;
            const int cr = means.sampleAt(2, jp.frame[2], x, y) - 128;
            const int r = luma + ((crR * cr + kHalf) >> 16);
            const int g = luma + ((-cbG * cb - crG * cr + kHalf) >> 16);
            const int b = luma + ((cbB * cb + kHalf) >> 16);
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
