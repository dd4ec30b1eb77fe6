#pragma once

#include <optional>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUuid>

// Strict readers and writers for the fields of the records in the app's JSON files, so that
// every file accepts exactly one form:
// - a date is a JSON number of seconds since 1 January 2001 00:00:00 UTC (may have a fraction);
// - a UUID is its 36-character text with hyphens, written in upper case (read in either case);
// - an optional field without a value is left out when writing; absent or null reads as none.
// A reader gives nothing when the key is missing or holds another JSON type; the caller then
// rejects the whole record.
namespace JsonFields {

std::optional<QString> string(const QJsonObject& object, QLatin1String key);
std::optional<bool> boolean(const QJsonObject& object, QLatin1String key);
// A finite JSON number.
std::optional<double> date(const QJsonObject& object, QLatin1String key);
std::optional<QUuid> uuid(const QJsonObject& object, QLatin1String key);
// An array of strings only; one item of another type rejects the whole value.
std::optional<QStringList> strings(const QJsonValue& value);
std::optional<QStringList> strings(const QJsonObject& object, QLatin1String key);

// The value of an optional field: none when the key is absent or null. False when it holds
// anything else that the field's reader above refuses.
bool optionalString(const QJsonObject& object, QLatin1String key, std::optional<QString>* out);
bool optionalDate(const QJsonObject& object, QLatin1String key, std::optional<double>* out);

// The 36-character upper-case text of a UUID.
QString uuidText(const QUuid& id);
// Parses exactly the 8-4-4-4-12 hexadecimal form (no braces, no other length).
std::optional<QUuid> parseUuid(const QString& text);

// Writes the key only when the value is there.
void insertOptional(QJsonObject& object, QLatin1String key, const std::optional<QString>& value);

} // namespace JsonFields
