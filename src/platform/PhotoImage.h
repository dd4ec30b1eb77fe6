#pragma once

#include <optional>
#include <QImage>
#include <QSize>
#include <QString>

// Reading photos for look-alike search, thumbnails and side-by-side views: whatever Qt's image
// plugins read, plus HEIC/HEIF through HeifImage where libheif is installed. The format is told
// by the file's content, not its name. Orientation tags are applied, so a portrait photo stored
// sideways comes out upright.
//
// Thread-safe; every call opens the file anew.
namespace PhotoImage {

// The stored width and height in pixels, read from the header without decoding the picture.
// Nothing when the file is not a readable image.
std::optional<QSize> pixelSize(const QString& path);

// The picture, decoded at a reduced size when it is larger than `bound` in either direction
// (JPEG decodes straight at a fraction of its size, which is what makes a scan of thousands of
// camera photos fast), aspect kept. An empty bound decodes at full size. Nothing when the file
// is not a readable image.
std::optional<QImage> read(const QString& path, const QSize& bound = QSize());

// The size that fits `size` inside `bound` with the aspect kept, never larger than `size`.
QSize fitted(const QSize& size, const QSize& bound);

} // namespace PhotoImage
