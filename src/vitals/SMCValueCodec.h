#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

// The value encodings of sensor-controller keys. Decoding is what the thermal sampler applies
// to every key it reads; encoding is what a backend uses to answer keys from other sources.
namespace SMCValue {

// A temperature reading, or none. Fewer than 2 bytes: none. First the signed 8.8 fixed-point
// reading of bytes 0-1 (byte 0 as a signed integer plus byte 1 / 256); if it is not strictly
// between 1 and 125 degrees and at least 4 bytes are given, bytes 0-3 as a little-endian IEEE
// float, again only strictly between 1 and 125 (compared in single precision). So a four-byte
// value whose first two bytes happen to form a plausible fixed-point reading is taken as that.
std::optional<double> decodeTemperature(const QByteArray& bytes);

// A fan speed or limit: none for fewer than 2 bytes; 2 or 3 bytes as signed 8.8 fixed point;
// 4 or more as a little-endian float (in single precision; it may be negative, infinite or NaN).
std::optional<float> decodeFanValue(const QByteArray& bytes);

// A fan's name from its "F<i>ID" value: none for fewer than 4 bytes. Starts at byte 1 when byte 0
// is a control byte (below 32), takes printable ASCII (32-126) up to the first byte that is not,
// and trims white space; an empty result is none.
std::optional<QString> decodeFanName(const QByteArray& bytes);

// A value rounded half away from zero, or none when it is not finite or does not fit an int.
std::optional<int> roundToInt(double value);

// Signed 8.8 fixed point (2 bytes), clamped to the range it can hold (-128 to just under 128).
QByteArray encodeTemperature(double celsius);
// A little-endian IEEE float (4 bytes).
QByteArray encodeFloat(float value);

} // namespace SMCValue
