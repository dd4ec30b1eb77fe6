// The apps cache's loader on any bytes: it must never crash, hang or misbehave, and whatever it
// accepts must save and load back to the same records, so a file it reads is never turned into
// one it cannot read.
#include "apps/InstalledApp.h"
#include "platform/CacheFolder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QList<InstalledApp>> apps = InstalledApp::decodeList(bytes);
    if (!apps)
        return 0;
    const QByteArray saved = CacheFolder::encodeArray(*apps).toJson(QJsonDocument::Compact);
    const std::optional<QList<InstalledApp>> again = InstalledApp::decodeList(saved);
    if (!again || *again != *apps)
        std::abort();
    for (const InstalledApp& app : *apps) {
        if (app.appSizeBytes < 0 || app.path().isEmpty())
            std::abort();
    }
    return 0;
}
