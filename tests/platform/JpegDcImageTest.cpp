// The block means of baseline JPEGs: each pixel must be the mean brightness of its block in a
// full decode, and anything the fast path does not take, or cannot finish, must be declined
// cleanly.
#include "platform/JpegDcImage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>

namespace {

QImage painted(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(30, 90, 200));
    sky.setColorAt(1, QColor(240, 200, 40));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 20, 40));
    p.drawEllipse(
        QRectF(size.width() * 0.1, size.height() * 0.2, size.width() * 0.4, size.height() * 0.4));
    p.setBrush(QColor(20, 160, 60));
    p.drawRect(
        QRectF(size.width() * 0.6, size.height() * 0.1, size.width() * 0.3, size.height() * 0.7));
    p.end();
    return image;
}

QByteArray encoded(const QImage& image, bool progressive = false) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image));
    return data;
}

double luma(QRgb p) {
    return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
}

// How far the brightness of each pixel of `means` lies from the mean brightness of its 8 × 8
// block (the part inside the picture) in the plugins' full decode: on average and at most.
std::pair<double, double> blockMeanError(const QImage& means, const QByteArray& jpeg) {
    const QImage full = QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    double most = 0;
    for (int by = 0; by < means.height(); ++by)
        for (int bx = 0; bx < means.width(); ++bx) {
            double total = 0;
            int count = 0;
            for (int y = by * 8; y < std::min(by * 8 + 8, full.height()); ++y)
                for (int x = bx * 8; x < std::min(bx * 8 + 8, full.width()); ++x, ++count)
                    total += luma(full.pixel(x, y));
            const double error = std::abs(luma(means.pixel(bx, by)) - total / count);
            sum += error;
            most = std::max(most, error);
        }
    return {sum / (means.width() * means.height()), most};
}

} // namespace

TEST(JpegDcImage, BlockMeansAreTheEighthScaledDecode) {
    QFile restarts(testsupport::fixture(QStringLiteral("platform/restarts-every-5-mcus.jpg")));
    ASSERT_TRUE(restarts.open(QIODevice::ReadOnly));
    const struct {
        const char* name;
        QByteArray jpeg;
    } cases[] = {
        // Colour with subsampled chroma, sides that are not whole MCUs.
        {"colour", encoded(painted(QSize(203, 141)))},
        {"whole MCUs", encoded(painted(QSize(320, 240)))},
        {"grey", encoded(painted(QSize(203, 141)).convertToFormat(QImage::Format_Grayscale8))},
        // A restart marker every five MCUs, as cameras write them.
        {"restart markers", restarts.readAll()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<JpegDcImage::Header> header = JpegDcImage::header(c.jpeg);
        ASSERT_TRUE(header.has_value());
        EXPECT_TRUE(header->decodable);
        const std::optional<QImage> means = JpegDcImage::decode(c.jpeg);
        ASSERT_TRUE(means.has_value());
        const auto [mean, most] = blockMeanError(*means, c.jpeg);
        EXPECT_LT(mean, 1.0);
        EXPECT_LT(most, 4.0);
    }
}

TEST(JpegDcImage, DeclinesWhatItDoesNotTakeOrCannotFinish) {
    const QImage picture = painted(QSize(400, 300));

    // Progressive: the size is told, the decode left to the plugins.
    const QByteArray progressive = encoded(picture, true);
    const std::optional<JpegDcImage::Header> header = JpegDcImage::header(progressive);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->size, QSize(400, 300));
    EXPECT_FALSE(header->decodable);
    EXPECT_FALSE(JpegDcImage::decode(progressive).has_value());
    // Every coefficient of 50 × 38 luma blocks and twice 25 × 19 chroma blocks, two bytes each:
    // what a progressive decode holds, whatever size it puts out.
    EXPECT_EQ(header->coefficientBytes, (50 * 38 + 2 * 25 * 19) * 64 * 2);

    // Components an Adobe marker calls RGB are not YCbCr: left to the plugins too.
    const QByteArray rgb =
        encoded(picture).insert(2, QByteArray("\xff\xee\x00\x0e"
                                              "Adobe\x00\x64\x00\x00\x00\x00\x00",
                                              16));
    EXPECT_FALSE(JpegDcImage::header(rgb).value().decodable);
    EXPECT_FALSE(JpegDcImage::decode(rgb).has_value());

    EXPECT_FALSE(JpegDcImage::header("not a picture").has_value());
    EXPECT_FALSE(JpegDcImage::header(QByteArray("\xff\xd8\xff", 3)).has_value());

    // Cut short anywhere: never read past the data, never a picture made of missing data.
    const QByteArray whole = encoded(picture);
    for (const double part : {0.2, 0.5, 0.9}) {
        const QByteArray cut = whole.left(qsizetype(whole.size() * part));
        EXPECT_FALSE(JpegDcImage::decode(cut).has_value()) << part;
    }
    // Scribbled over: whatever comes out, the decode ends and stays inside its buffers.
    for (int seed = 1; seed <= 20; ++seed) {
        QByteArray broken = whole;
        for (int i = 0; i < 40; ++i)
            broken[600 + (seed * 7919 + i * 104729) % (broken.size() - 700)] = char(seed * i);
        const std::optional<QImage> out = JpegDcImage::decode(broken);
        if (out) {
            EXPECT_EQ(out->size(), QSize(50, 38));
        }
    }
}

// A Huffman table that gives more codes of a length than that length holds is broken: it is
// refused before any of its codes is entered in the look-up tables (the codes past the end would
// land outside them). The fixture is such a file, as the fuzz target first met it; the same
// table is also built here from a good file by moving every code to length 1.
TEST(JpegDcImage, BrokenTablesAreRefusedBeforeTheyAreUsed) {
    QFile found(testsupport::fixture(QStringLiteral("platform/overfull-huffman-table.jpg")));
    ASSERT_TRUE(found.open(QIODevice::ReadOnly));
    EXPECT_FALSE(JpegDcImage::decode(found.readAll()).has_value());

    QByteArray bytes = encoded(painted(QSize(64, 48)));
    const qsizetype table = bytes.indexOf(QByteArray("\xff\xc4", 2));
    ASSERT_GE(table, 0);
    // Segment length (2 bytes), class and index, then the 16 counts.
    const qsizetype counts = table + 5;
    int total = 0;
    for (int i = 0; i < 16; ++i) {
        total += uint8_t(bytes[counts + i]);
        bytes[counts + i] = 0;
    }
    bytes[counts] = char(total);
    EXPECT_TRUE(JpegDcImage::decode(encoded(painted(QSize(64, 48)))).has_value());
    EXPECT_FALSE(JpegDcImage::decode(bytes).has_value());

    // Likewise a component that names a quantization table past the four a file may hold.
    QFile quant(testsupport::fixture(QStringLiteral("platform/unknown-quant-table.jpg")));
    ASSERT_TRUE(quant.open(QIODevice::ReadOnly));
    const QByteArray unknown = quant.readAll();
    EXPECT_FALSE(JpegDcImage::header(unknown).value_or(JpegDcImage::Header{}).decodable);
    EXPECT_FALSE(JpegDcImage::decode(unknown).has_value());
}
