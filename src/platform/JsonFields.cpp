#include "platform/JsonFields.h"

#include <cmath>
#include <QJsonArray>
#include <QJsonValue>

namespace JsonFields {

std::optional<QString> string(const QJsonObject& object, QLatin1String key) {
    const QJsonValue v = object.value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

std::optional<bool> boolean(const QJsonObject& object, QLatin1String key) {
    const QJsonValue v = object.value(key);
    if (!v.isBool())
        return std::nullopt;
    return v.toBool();
}

std::optional<double> date(const QJsonObject& object, QLatin1String key) {
    const QJsonValue v = object.value(key);
    if (!v.isDouble())
        return std::nullopt;
    const double seconds = v.toDouble();
    if (!std::isfinite(seconds))
        return std::nullopt;
    return seconds;
}

std::optional<QUuid> uuid(const QJsonObject& object, QLatin1String key) {
    const std::optional<QString> text = string(object, key);
    return text ? parseUuid(*text) : std::nullopt;
}

std::optional<QStringList> strings(const QJsonValue& value) {
    if (!value.isArray())
        return std::nullopt;
    QStringList out;
    for (const QJsonValue& item : value.toArray()) {
        if (!item.isString())
            return std::nullopt;
        out.append(item.toString());
    }
    return out;
}

std::optional<QStringList> strings(const QJsonObject& object, QLatin1String key) {
    return strings(object.value(key));
}

namespace {

template <typename T, typename Read>
bool optionalField(const QJsonObject& object, QLatin1String key, std::optional<T>* out, Read read) {
    const QJsonValue v = object.value(key);
    if (v.isUndefined() || v.isNull()) {
        *out = std::nullopt;
        return true;
    }
    *out = read(object, key);
    return out->has_value();
}

} // namespace

bool optionalString(const QJsonObject& object, QLatin1String key, std::optional<QString>* out) {
    return optionalField(object, key, out, string);
}

bool optionalDate(const QJsonObject& object, QLatin1String key, std::optional<double>* out) {
    return optionalField(object, key, out, date);
}

QString uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuid(const QString& text) {
    if (text.size() != 36)
        return std::nullopt;
    for (int i = 0; i < 36; ++i) {
        const QChar c = text.at(i);
        const bool hyphenPlace = i == 8 || i == 13 || i == 18 || i == 23;
        const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                         (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                         (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (hyphenPlace ? c != QLatin1Char('-') : !hex)
            return std::nullopt;
    }
    // The form is checked above, so a nil result here is the nil UUID itself, not a failure.
    return QUuid::fromString(text);
}

void insertOptional(QJsonObject& object, QLatin1String key, const std::optional<QString>& value) {
    if (value)
        object.insert(key, *value);
}

} // namespace JsonFields
