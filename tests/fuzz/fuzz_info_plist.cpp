// The property-list reader on any bytes: it must never crash, hang or allocate without bound,
// and whatever it reads must be a value the bundle code can take apart.
#include "platform/PropertyList.h"

#include <cstdint>
#include <cstdlib>
#include <QVariantList>
#include <QVariantMap>

namespace {

// Walks a read value the way callers do; a depth past the reader's limit means it let one in.
void walk(const QVariant& value, int depth) {
    if (depth > PropertyList::kMaxDepth + 1)
        std::abort();
    switch (value.typeId()) {
    case QMetaType::QVariantMap:
        for (const QVariant& v : value.toMap())
            walk(v, depth + 1);
        break;
    case QMetaType::QVariantList:
        for (const QVariant& v : value.toList())
            walk(v, depth + 1);
        break;
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
    case QMetaType::QDateTime:
    case QMetaType::QByteArray:
        break;
    default:
        std::abort(); // a kind the reader never gives
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QVariant> value = PropertyList::parse(bytes);
    if (value) {
        walk(*value, 1);
        // What the bundle code asks of a read dictionary.
        (void)value->toMap().value(QStringLiteral("CFBundleIdentifier")).toString();
    }
    return 0;
}
