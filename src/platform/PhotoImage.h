#pragma once

#include <optional>
#include <QImage>
#include <QSize>
#include <QString>
#include <QtGlobal>

// Reading photos for look-alike search, thumbnails and side-by-side views: whatever Qt's image
// plugins read, plus HEIC/HEIF through HeifImage where libheif is installed. The format is told
// by the file's content, not its name. Orientation tags are applied, so a portrait photo stored
// sideways comes out upright.
//
// Thread-safe; every call opens the file anew. However many threads decode at once, the memory
// their decodes take stays within decodeBudget: each waits for its share, and a picture whose
// decode alone would take more (a huge panorama, or a file whose header claims a huge size) is
// not decoded at all.
namespace PhotoImage {

constexpr qint64 decodeBudget = 96LL * 1024 * 1024;

// The stored width and height in pixels, read from the header without decoding the picture.
// Nothing when the file is not a readable image.
std::optional<QSize> pixelSize(const QString& path);

// The picture, decoded at a reduced size when it is larger than `bound` in either direction,
// aspect kept. A JPEG decodes straight at a fraction of its size, and at an eighth or less from
// its block means alone (JpegDcImage), which is what makes a scan of thousands of camera photos
// fast. An empty bound decodes at full size. Nothing when the file is not a readable image or
// its decode would not fit in decodeBudget.
std::optional<QImage> read(const QString& path, const QSize& bound = QSize());

// The size that fits `size` inside `bound` with the aspect kept, never larger than `size`.
QSize fitted(const QSize& size, const QSize& bound);

} // namespace PhotoImage
