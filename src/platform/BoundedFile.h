#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

// Small configuration files (desktop entries, unit files) are read whole, but a path could name
// anything: a file that is too large is refused rather than read.
namespace BoundedFile {

// The whole content of the regular file at path (links followed), or nothing when it is not a
// regular file, cannot be opened, or holds more than maxBytes, also when it grew past that after
// its size was checked.
std::optional<QByteArray> read(const QString& path, qint64 maxBytes);

} // namespace BoundedFile
