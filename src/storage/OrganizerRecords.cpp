#include "storage/OrganizerRecords.h"

#include "platform/AppSupportFolder.h"
#include "platform/JsonFields.h"

#include <algorithm>
#include <limits>
#include <QJsonArray>

namespace {

constexpr QLatin1String kId("id"), kSource("sourcePath"), kDestination("destinationPath"),
    kName("displayName"), kSize("sizeBytes"), kReason("reason"), kEnabled("isEnabled"),
    kCreated("createdDirectories"), kStarted("startedAt"), kHome("homePath"), kPlanned("planned"),
    kCompleted("completed"), kFinished("finishedAt"), kUndone("undoneAt"), kFailures("failures");

// A non-negative whole number that fits 64 bits; anything else (a fraction, a string, a value
// beyond the range) rejects the record.
std::optional<qint64> byteCount(const QJsonObject& object, QLatin1String key) {
    const QJsonValue v = object.value(key);
    if (!v.isDouble())
        return std::nullopt;
    const qint64 n = v.toInteger(-1);
    if (n < 0)
        return std::nullopt;
    return n;
}

template <typename Record>
std::optional<QList<Record>> records(const QJsonObject& object, QLatin1String key) {
    const QJsonValue v = object.value(key);
    if (!v.isArray())
        return std::nullopt;
    QList<Record> out;
    for (const QJsonValue& item : v.toArray()) {
        if (!item.isObject())
            return std::nullopt;
        std::optional<Record> r = Record::fromJson(item.toObject());
        if (!r)
            return std::nullopt;
        out.append(std::move(*r));
    }
    return out;
}

template <typename Record> QJsonArray encode(const QList<Record>& list) {
    QJsonArray array;
    for (const Record& r : list)
        array.append(r.toJson());
    return array;
}

} // namespace

QJsonObject OrganizerMove::toJson() const {
    QJsonObject o;
    o.insert(kId, id);
    o.insert(kSource, sourcePath);
    o.insert(kDestination, destinationPath);
    o.insert(kName, displayName);
    o.insert(kSize, sizeBytes);
    o.insert(kReason, reason);
    o.insert(kEnabled, isEnabled);
    return o;
}

std::optional<OrganizerMove> OrganizerMove::fromJson(const QJsonObject& object) {
    const auto id = JsonFields::string(object, kId);
    const auto source = JsonFields::string(object, kSource);
    const auto destination = JsonFields::string(object, kDestination);
    const auto name = JsonFields::string(object, kName);
    const auto size = byteCount(object, kSize);
    const auto reason = JsonFields::string(object, kReason);
    const auto enabled = JsonFields::boolean(object, kEnabled);
    if (!id || !source || !destination || !name || !size || !reason || !enabled)
        return std::nullopt;
    return OrganizerMove{*id, *source, *destination, *name, *size, *reason, *enabled};
}

QJsonObject OrganizerCompletedMove::toJson() const {
    QJsonObject o;
    o.insert(kSource, sourcePath);
    o.insert(kDestination, destinationPath);
    o.insert(kCreated, QJsonArray::fromStringList(createdDirectories));
    return o;
}

std::optional<OrganizerCompletedMove> OrganizerCompletedMove::fromJson(const QJsonObject& object) {
    const auto source = JsonFields::string(object, kSource);
    const auto destination = JsonFields::string(object, kDestination);
    const auto created = JsonFields::strings(object, kCreated);
    if (!source || !destination || !created)
        return std::nullopt;
    return OrganizerCompletedMove{*source, *destination, *created};
}

QJsonObject OrganizerJournal::toJson() const {
    QJsonObject o;
    o.insert(kId, id);
    o.insert(kStarted, startedAt);
    o.insert(kHome, homePath);
    o.insert(kPlanned, encode(planned));
    o.insert(kCompleted, encode(completed));
    if (finishedAt)
        o.insert(kFinished, *finishedAt);
    if (undoneAt)
        o.insert(kUndone, *undoneAt);
    o.insert(kFailures, QJsonArray::fromStringList(failures));
    return o;
}

std::optional<OrganizerJournal> OrganizerJournal::fromJson(const QJsonObject& object) {
    OrganizerJournal j;
    const auto id = JsonFields::string(object, kId);
    const auto started = JsonFields::date(object, kStarted);
    const auto home = JsonFields::string(object, kHome);
    auto planned = records<OrganizerMove>(object, kPlanned);
    auto completed = records<OrganizerCompletedMove>(object, kCompleted);
    auto failures = JsonFields::strings(object, kFailures);
    if (!id || !started || !home || !planned || !completed || !failures ||
        !JsonFields::optionalDate(object, kFinished, &j.finishedAt) ||
        !JsonFields::optionalDate(object, kUndone, &j.undoneAt))
        return std::nullopt;
    j.id = *id;
    j.startedAt = *started;
    j.homePath = *home;
    j.planned = std::move(*planned);
    j.completed = std::move(*completed);
    j.failures = std::move(*failures);
    return j;
}

QDateTime OrganizerJournal::startedDate() const {
    return dateFromReferenceSeconds(startedAt);
}

QList<OrganizerMove> OrganizerPlan::selectedMoves() const {
    QList<OrganizerMove> out;
    for (const OrganizerMove& m : moves)
        if (m.isEnabled)
            out.append(m);
    return out;
}

qsizetype OrganizerPlan::selectedCount() const {
    return std::count_if(moves.cbegin(), moves.cend(),
                         [](const OrganizerMove& m) { return m.isEnabled; });
}

qint64 OrganizerPlan::selectedBytes() const {
    // Sizes come from files the user can edit; the sum stops at the largest count.
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    qint64 sum = 0;
    for (const OrganizerMove& m : moves)
        if (m.isEnabled && m.sizeBytes > 0)
            sum = m.sizeBytes > kMax - sum ? kMax : sum + m.sizeBytes;
    return sum;
}
