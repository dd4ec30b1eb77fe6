// The vault index's loader on any bytes: it must never crash, hang or misbehave; whatever it
// accepts is newest first and saves and loads back to the same notes, so a file it reads is never
// turned into one it cannot read.
#include "platform/CacheFolder.h"
#include "vault/SecureNote.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QList<SecureNote>> notes = SecureNotes::decodeIndex(bytes);
    if (!notes)
        return 0;
    for (qsizetype i = 1; i < notes->size(); ++i) {
        if (notes->at(i - 1).updated < notes->at(i).updated)
            std::abort();
    }

    const QByteArray saved = CacheFolder::encodeArray(*notes).toJson(QJsonDocument::Compact);
    const std::optional<QList<SecureNote>> again = SecureNotes::decodeIndex(saved);
    if (!again || *again != *notes)
        std::abort();
    for (const SecureNote& n : *notes) {
        if (n.account().size() != 36 || !n.updatedDateTime().isValid())
            std::abort();
    }
    return 0;
}
