// The disk-use trend's loader on any bytes: it must never crash, hang or misbehave, and whatever it
// accepts must save and load back to the same points, in time order and no more than a week of
// them, so a file it reads is never turned into one it cannot read.
#include "platform/CacheFolder.h"
#include "storage/DiskTrend.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QList<DiskTrend::Point>> points = DiskTrend::decode(bytes);
    if (!points)
        return 0;
    const QByteArray saved = CacheFolder::encodeArray(*points).toJson(QJsonDocument::Compact);
    const std::optional<QList<DiskTrend::Point>> again = DiskTrend::decode(saved);
    if (!again || *again != *points || points->size() > DiskTrend::maxPoints)
        std::abort();
    for (qsizetype i = 0; i < points->size(); ++i) {
        if (points->at(i).usedBytes < 0 || !points->at(i).date.isValid())
            std::abort();
        if (i > 0 && points->at(i).date < points->at(i - 1).date)
            std::abort();
    }
    return 0;
}
