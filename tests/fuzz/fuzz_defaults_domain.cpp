// libFuzzer target: decoding a settings domain file and printing each value as the defaults
// tool does.
#include "platform/DefaultsDomains.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const DefaultsDomains::Domain domain = DefaultsDomains::decode(bytes);
    for (auto it = domain.values.constBegin(); it != domain.values.constEnd(); ++it)
        (void)DefaultsDomains::format(it.value());
    (void)DefaultsDomains::normalisedDomain(QString::fromUtf8(bytes.left(256)));
    return 0;
}
