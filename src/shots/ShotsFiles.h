#pragma once

#include <QString>
#include <QtGlobal>

// Generated homes for the screenshots: files that take room on disk without being written.
namespace ShotsFiles {

inline constexpr qint64 MiB = 1024 * 1024;

// A file that takes `bytes` on disk (the blocks are only reserved where the file system can),
// its folders made as needed.
void reserve(const QString& path, qint64 bytes);

// `count` files in home/folder named by `pattern` with a four-digit number, each about `bytes`
// (a little more for some, so sizes differ).
void many(const QString& home, const QString& folder, const QString& pattern, int count,
          qint64 bytes);

} // namespace ShotsFiles
