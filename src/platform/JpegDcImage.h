#pragma once

#include <optional>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QtGlobal>

// A baseline JPEG at an eighth of its size, made from the DC coefficient of every 8 × 8 block
// alone: each block's mean, which is exactly what a JPEG decoder scaling by 1/8 puts out for it.
// The AC coefficients are only skipped over, never dequantised or transformed, which makes this
// several times cheaper than a scaled decode through the image plugins, whose time goes to the
// general entropy decoder. Photos of a look-alike search are compared at a few dozen pixels a
// side, so the eighth is all they need.
//
// Only the common case is taken: sequential Huffman-coded 8-bit JPEGs in one interleaved scan
// (or a single-component scan), grey or YCbCr, with or without restart markers. Everything else
// (progressive, arithmetic-coded, 12-bit, CMYK or RGB JPEGs, several scans, data that breaks
// off or is corrupt) gives nothing, and the caller decodes the file the ordinary way. No
// orientation tag is applied: the picture is as stored.
//
// Thread-safe: no state outside the call.
namespace JpegDcImage {

// Width and height of the stored picture, whether decode() would take it, and the memory a
// decoder holds that keeps every coefficient of the picture (as for a progressive JPEG), from
// the markers before the entropy-coded data; nothing when the bytes are not a JPEG at all.
struct Header {
    QSize size;
    bool decodable = false;
    qint64 coefficientBytes = 0;
};
std::optional<Header> header(QByteArrayView jpeg);

// The picture at ceil(width / 8) × ceil(height / 8) in Format_RGB32; nothing when it is not a
// JPEG this takes (see above).
std::optional<QImage> decode(QByteArrayView jpeg);

// The memory decode() needs beside the file's bytes for a picture of `size`.
qint64 workingBytes(const QSize& size);

} // namespace JpegDcImage
