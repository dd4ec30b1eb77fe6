#pragma once

#include <optional>
#include <QImage>
#include <QSize>
#include <QString>

// HEIC/HEIF photos through libheif, when the system has it. The library is looked up once, at
// run time (libheif.so.1), so the app neither builds against it nor needs it: without it every
// call answers "cannot read" and such photos are treated as unreadable, like any corrupt file.
//
// Thread-safe: libheif contexts are per call.
namespace HeifImage {

// True when libheif could be loaded on this system.
bool available();

// The primary image's width and height, read from the file's header; nothing when the file is
// not HEIF, cannot be read or libheif is missing.
std::optional<QSize> size(const QString& path);

// The primary image decoded to RGB (RGB32), or to ARGB32 when it has an alpha channel, and, when
// it is larger than `bound` in either direction,
// scaled down to fit inside it (aspect kept). An empty bound keeps the full size. Nothing when
// the file cannot be decoded or libheif is missing.
std::optional<QImage> read(const QString& path, const QSize& bound = QSize());

} // namespace HeifImage
