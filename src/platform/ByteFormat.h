#pragma once

#include <QString>
#include <QtGlobal>

// Byte counts as people read file sizes: decimal units (1 KB = 1000 bytes), "Zero KB" for 0,
// "1 byte", "999 bytes", whole kilobytes ("2 KB"), one decimal for megabytes ("1.5 MB") and two
// from gigabytes up ("1.23 GB"), trailing zeros dropped, and a value that rounds to 1000 of a
// unit shown in the next ("1 MB", not "1,000 KB"). Negative counts get a leading minus sign.
QString formatBytes(qint64 bytes);

// For unsigned counts (process memory): values above the largest signed 64-bit number are shown
// as that number.
QString formatBytesClamped(quint64 bytes);
