#include "vitals/SMCValueCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace SMCValue {

namespace {

float fixed88(const QByteArray& bytes) {
    return float(qint8(bytes[0])) + float(quint8(bytes[1])) / 256.0f;
}

float littleEndianFloat(const QByteArray& bytes) {
    const quint32 bits = quint32(quint8(bytes[0])) | quint32(quint8(bytes[1])) << 8 |
                         quint32(quint8(bytes[2])) << 16 | quint32(quint8(bytes[3])) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

std::optional<double> decodeTemperature(const QByteArray& bytes) {
    if (bytes.size() < 2)
        return std::nullopt;
    const double t = double(qint8(bytes[0])) + double(quint8(bytes[1])) / 256.0;
    if (t > 1 && t < 125)
        return t;
    if (bytes.size() >= 4) {
        const float f = littleEndianFloat(bytes);
        if (f > 1.0f && f < 125.0f)
            return double(f);
    }
    return std::nullopt;
}

std::optional<float> decodeFanValue(const QByteArray& bytes) {
    if (bytes.size() < 2)
        return std::nullopt;
    if (bytes.size() >= 4)
        return littleEndianFloat(bytes);
    return fixed88(bytes);
}

std::optional<QString> decodeFanName(const QByteArray& bytes) {
    if (bytes.size() < 4)
        return std::nullopt;
    qsizetype start = quint8(bytes[0]) < 32 ? 1 : 0;
    qsizetype end = start;
    while (end < bytes.size() && quint8(bytes[end]) >= 32 && quint8(bytes[end]) <= 126)
        ++end;
    const QString name = QString::fromLatin1(bytes.mid(start, end - start)).trimmed();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<int> roundToInt(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::round(value); // half away from zero
    if (rounded < double(std::numeric_limits<int>::min()) ||
        rounded > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return int(rounded);
}

QByteArray encodeTemperature(double celsius) {
    double scaled = std::isfinite(celsius) ? std::round(celsius * 256.0) : -256.0;
    scaled = std::clamp(scaled, -32768.0, 32767.0);
    const qint16 fixed = qint16(scaled);
    QByteArray bytes(2, '\0');
    bytes[0] = char(quint8(quint16(fixed) >> 8));
    bytes[1] = char(quint8(quint16(fixed) & 0xFF));
    return bytes;
}

QByteArray encodeFloat(float value) {
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(quint8(bits >> (8 * i)));
    return bytes;
}

} // namespace SMCValue
