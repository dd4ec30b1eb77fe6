// The marker reader and the entropy data's destuffing of the eighth-scale JPEG reader, on the
// bytes a camera or a broken download leaves.
#include "platform/JpegMarkers.h"
#include "platform/JpegDcDecoder.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace {

QByteArray jpegOf(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    EXPECT_TRUE(writer.write(image));
    return data;
}

std::vector<uint8_t> bytesOf(const JpegDcDecoder::Destuffed& d, size_t segment) {
    return {d.bytes.begin() + ptrdiff_t(d.starts[segment]),
            d.bytes.begin() + ptrdiff_t(d.ends[segment])};
}

} // namespace

// Cut short before its frame a file is no JPEG to read; cut inside the markers after the frame,
// its size is known but nothing is decoded; whole, the entropy data starts right after the scan
// header and runs to the end of the bytes.
TEST(JpegMarkers, TruncatedMarkersTellWhatTheyCan) {
    const QByteArray whole = jpegOf(QSize(96, 40));
    const qsizetype frame = whole.indexOf(QByteArray("\xff\xc0", 2));
    const qsizetype scan = whole.indexOf(QByteArray("\xff\xda", 2));
    ASSERT_GT(frame, 0);
    ASSERT_GT(scan, frame);
    const qsizetype entropy = scan + 2 + ((uchar(whole[scan + 2]) << 8) | uchar(whole[scan + 3]));

    for (const qsizetype cut : {qsizetype(2), frame, frame + 5}) {
        EXPECT_FALSE(JpegMarkers::parse(whole.left(cut), true).has_value()) << cut;
    }
    for (const qsizetype cut : {scan - 1, scan + 4, entropy - 1}) {
        const std::optional<JpegMarkers::Parsed> parsed = JpegMarkers::parse(whole.left(cut), true);
        ASSERT_TRUE(parsed.has_value()) << cut;
        EXPECT_EQ(parsed->size, QSize(96, 40));
        EXPECT_FALSE(parsed->decodable) << cut;
    }

    const std::optional<JpegMarkers::Parsed> parsed = JpegMarkers::parse(whole, true);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_TRUE(parsed->decodable);
    EXPECT_EQ(parsed->frame.size(), size_t(3));
    EXPECT_EQ(parsed->scan.size(), size_t(3));
    EXPECT_EQ(parsed->entropy, reinterpret_cast<const uint8_t*>(whole.constData()) + entropy);
    EXPECT_EQ(parsed->end, reinterpret_cast<const uint8_t*>(whole.constData()) + whole.size());

    // Markers that end right after the scan header promise data that is not there.
    const std::optional<JpegMarkers::Parsed> bare = JpegMarkers::parse(whole.left(entropy), true);
    ASSERT_TRUE(bare.has_value());
    EXPECT_TRUE(bare->decodable);
    EXPECT_FALSE(JpegDcDecoder::blockMeans(*bare).has_value());
}

// A stuffed zero after 0xFF is dropped, fill bytes before a marker are skipped, a restart marker
// starts a new segment, and any other marker ends the data; zeros pad the end. The result
// reuses a thread's buffers from picture to picture, so what an earlier picture left in them
// must not show.
TEST(JpegMarkers, DestuffingCutsTheDataAtItsRestartMarkers) {
    const uint8_t data[] = {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xFF, 0xD0,
                            0x56, 0xFF, 0xD1, 0xFF, 0xD9, 0x78};
    const std::vector<uint8_t> earlier(4096, 0xAB);
    const uint8_t restarts[] = {0x01, 0xFF, 0xD0, 0x02, 0xFF, 0xD1, 0x03, 0xFF, 0xD2, 0x04};
    JpegDcDecoder::Destuffed d;
    JpegDcDecoder::destuff(earlier.data(), earlier.data() + earlier.size(), d);
    JpegDcDecoder::destuff(restarts, restarts + sizeof restarts, d);
    JpegDcDecoder::destuff(data, data + sizeof data, d);
    ASSERT_EQ(d.starts.size(), size_t(3));
    ASSERT_EQ(d.ends.size(), size_t(3));
    EXPECT_EQ(bytesOf(d, 0), (std::vector<uint8_t>{0x12, 0xFF, 0x34}));
    EXPECT_EQ(bytesOf(d, 1), (std::vector<uint8_t>{0x56}));
    EXPECT_EQ(bytesOf(d, 2), (std::vector<uint8_t>{}));
    EXPECT_EQ(d.bytes.size(), d.ends.back() + JpegDcDecoder::kPadding);
    EXPECT_TRUE(std::all_of(d.bytes.begin() + ptrdiff_t(d.ends.back()), d.bytes.end(),
                            [](uint8_t b) { return b == 0; }));
}
