#include "vault/SecureNote.h"

#include "platform/AppSupportFolder.h"
#include "platform/CacheFolder.h"
#include "platform/JsonFields.h"

#include <algorithm>

QDateTime SecureNote::updatedDateTime() const {
    return dateFromReferenceSeconds(updated);
}

QString SecureNote::account() const {
    return JsonFields::uuidText(id);
}

QJsonObject SecureNote::toJson() const {
    QJsonObject o;
    o.insert(QLatin1String("id"), JsonFields::uuidText(id));
    o.insert(QLatin1String("title"), title);
    o.insert(QLatin1String("updated"), updated);
    return o;
}

std::optional<SecureNote> SecureNote::fromJson(const QJsonObject& o) {
    const auto id = JsonFields::uuid(o, QLatin1String("id"));
    const auto title = JsonFields::string(o, QLatin1String("title"));
    const auto updated = JsonFields::date(o, QLatin1String("updated"));
    if (!id || !title || !updated)
        return std::nullopt;
    return SecureNote{*id, *title, *updated};
}

namespace SecureNotes {

std::optional<QList<SecureNote>> decodeIndex(const QByteArray& bytes) {
    std::optional<QList<SecureNote>> notes = CacheFolder::decodeArray<SecureNote>(bytes);
    if (notes)
        std::stable_sort(
            notes->begin(), notes->end(),
            [](const SecureNote& a, const SecureNote& b) { return a.updated > b.updated; });
    return notes;
}

} // namespace SecureNotes
