#include "platform/FeaturePrint.h"

#include "platform/PhotoImage.h"

#include <cmath>
#include <QImage>

namespace {

constexpr int kLumaGrid = 16;
constexpr int kChromaGrid = 8;
// How much the colour counts beside the brightness layout (whose part has length 1): a shift of
// every cell's colour by a tenth of the full range moves a print by about 0.3.
constexpr float kChromaWeight = 0.25f;
// Below this spread of brightness (on 0…1) a picture counts as flat: its layout is noise.
constexpr float kFlatSpread = 0.004f;
// The grey (on 0…1) a picture with transparency is seen over: mid-way, so that light and dark
// shapes on a clear ground both show, and a light design differs from a dark one.
constexpr float kGround = 0.5f;

// Averages of a channel over the cells of a grid laid over the picture.
std::vector<float> cellMeans(const std::vector<float>& channel, int width, int height, int grid) {
    std::vector<float> sums(size_t(grid * grid), 0.0f);
    std::vector<int> counts(size_t(grid * grid), 0);
    for (int y = 0; y < height; ++y) {
        const int gy = y * grid / height;
        for (int x = 0; x < width; ++x) {
            const size_t cell = size_t(gy * grid + x * grid / width);
            sums[cell] += channel[size_t(y * width + x)];
            ++counts[cell];
        }
    }
    for (size_t i = 0; i < sums.size(); ++i)
        sums[i] = counts[i] ? sums[i] / float(counts[i]) : 0.0f;
    return sums;
}

} // namespace

std::optional<FeaturePrint> FeaturePrint::ofFile(const QString& path) {
    const std::optional<QImage> image = PhotoImage::read(path, QSize(decodeBound, decodeBound));
    if (!image)
        return std::nullopt;
    return ofImage(*image);
}

std::optional<FeaturePrint> FeaturePrint::ofImage(const QImage& source) {
    if (source.isNull())
        return std::nullopt;
    // A working size with at least one pixel per cell of the finer grid, area-averaged down. A
    // picture with transparency is kept premultiplied, so that scaling weighs each pixel by how
    // much of it shows, and is then printed as it is seen over the ground below.
    QImage image = source.convertToFormat(
        source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const QSize work = PhotoImage::fitted(image.size(), QSize(64, 64));
    if (work != image.size())
        image = image.scaled(work, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.width() < kLumaGrid || image.height() < kLumaGrid)
        image =
            image.scaled(std::max(image.width(), kLumaGrid), std::max(image.height(), kLumaGrid),
                         Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const int w = image.width();
    const int h = image.height();
    std::vector<float> luma(size_t(w * h)), cb(size_t(w * h)), cr(size_t(w * h));
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            // Premultiplied over the ground: what is missing of the pixel's cover is ground. An
            // opaque pixel (and every pixel of RGB32) is its own colour.
            const float uncovered = float(255 - qAlpha(line[x])) * kGround;
            const float r = (float(qRed(line[x])) + uncovered) / 255.0f;
            const float g = (float(qGreen(line[x])) + uncovered) / 255.0f;
            const float b = (float(qBlue(line[x])) + uncovered) / 255.0f;
            const float yv = 0.299f * r + 0.587f * g + 0.114f * b;
            const size_t i = size_t(y * w + x);
            luma[i] = yv;
            cb[i] = (b - yv) * 0.564f;
            cr[i] = (r - yv) * 0.713f;
        }
    }

    std::vector<float> values;
    values.reserve(size_t(kLumaGrid * kLumaGrid + 2 * kChromaGrid * kChromaGrid));
    std::vector<float> layout = cellMeans(luma, w, h, kLumaGrid);
    float mean = 0.0f;
    for (float v : layout)
        mean += v;
    mean /= float(layout.size());
    float norm = 0.0f;
    for (float& v : layout) {
        v -= mean;
        norm += v * v;
    }
    norm = std::sqrt(norm);
    const float spread = norm / std::sqrt(float(layout.size()));
    for (float v : layout)
        values.push_back(spread < kFlatSpread ? 0.0f : v / norm);
    // Colour cells, scaled so that the colour part of a print has the length of the RMS colour
    // difference times the weight, independent of the grid size.
    const float cellScale = kChromaWeight / std::sqrt(float(kChromaGrid * kChromaGrid)) * 4.0f;
    for (const std::vector<float>* channel : {&cb, &cr})
        for (float v : cellMeans(*channel, w, h, kChromaGrid))
            values.push_back(v * cellScale);
    return FeaturePrint(std::move(values));
}

std::optional<float> FeaturePrint::distance(const FeaturePrint& other) const {
    if (m_values.empty() || m_values.size() != other.m_values.size())
        return std::nullopt;
    double sum = 0.0;
    for (size_t i = 0; i < m_values.size(); ++i) {
        const double d = double(m_values[i]) - double(other.m_values[i]);
        sum += d * d;
    }
    const double dist = std::sqrt(sum);
    if (!std::isfinite(dist))
        return std::nullopt;
    return float(dist);
}
