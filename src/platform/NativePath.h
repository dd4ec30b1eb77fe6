#pragma once

#include <QByteArray>
#include <QString>

// File names are bytes on Linux; QString is UTF-16. QFile::decodeName turns every byte that is
// not valid UTF-8 into U+FFFD, so a name decoded that way and encoded again names another file
// (or none). These two functions round-trip any byte string exactly: valid UTF-8 decodes as
// usual, and each byte of an invalid sequence becomes the lone surrogate U+DC80..U+DCFF, which
// valid UTF-8 can never produce ("surrogate escape"). encode(decode(b)) == b for every b.
//
// Use them for every path that came from the file system and goes back to it: the walkers
// decode with decode(), and code that hands such a path to a system call encodes it with
// encode(). Qt's own file classes (QFile, QFileInfo, QDir) do not know the escape: a path that
// holds one cannot go through them.
namespace NativePath {

QString decode(const QByteArray& bytes);
QString decode(const char* data, qsizetype size);
QByteArray encode(const QString& path);

// True when the path holds an escaped byte, that is, when Qt's file classes would name
// another file.
bool hasEscapes(const QString& path);

} // namespace NativePath
