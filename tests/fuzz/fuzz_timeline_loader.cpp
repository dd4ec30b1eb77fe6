// The timeline's loader on any bytes: it must never crash, hang or misbehave, and whatever it
// accepts must save and load back to the same entries, so a file it reads is never turned into
// one it cannot read.
#include "platform/CacheFolder.h"
#include "platform/PendrelTimelineStore.h"

#include <cstdint>
#include <cstdlib>
#include <QTimeZone>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QList<TimelineEntry>> entries = PendrelTimelineStore::decode(bytes);
    if (!entries)
        return 0;

    const QByteArray saved = CacheFolder::encodeArray(*entries).toJson(QJsonDocument::Compact);
    const std::optional<QList<TimelineEntry>> again = PendrelTimelineStore::decode(saved);
    if (!again || *again != *entries)
        std::abort();

    // What the screen and the assistant do with loaded entries.
    const QList<TimelineEntry> sorted = PendrelTimelineStore::newestFirst(*entries);
    for (const TimelineEntry& e : sorted) {
        if (e.promptLine(QLocale::c(), QTimeZone::utc()).isEmpty())
            std::abort();
        (void)e.dateTime().isValid();
    }
    return 0;
}
