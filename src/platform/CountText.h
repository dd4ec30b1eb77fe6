#pragma once

#include <QString>

// A count and its noun in the number it needs ("1 file", "0 files", "2 files"), so no row reads
// "1 files".
namespace CountText {

QString of(qint64 count, const char* one, const char* many);

} // namespace CountText
