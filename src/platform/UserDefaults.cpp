#include "platform/UserDefaults.h"

#include "platform/AtomicFile.h"
#include "platform/HomeLayout.h"

#include <cmath>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>

UserDefaults::UserDefaults(QString filePath, QObject* parent)
    : QObject(parent), m_path(std::move(filePath)) {
    m_values = load();
}

QString UserDefaults::standardPath() {
    return HomeLayout::fromEnvironment().configHome() + QStringLiteral("/Pendrel/defaults.json");
}

UserDefaults& UserDefaults::standard() {
    // Deliberately never destroyed: services that outlive main() may still read settings.
    static UserDefaults* instance = new UserDefaults(standardPath());
    return *instance;
}

QJsonObject UserDefaults::load() {
    QFile file(m_path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Pendrel: could not read settings %s: %s", qPrintable(m_path),
                 qPrintable(file.errorString()));
        return {};
    }
    const QByteArray bytes = file.readAll();
    file.close();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        const QString aside = AtomicFile::moveAsideCorrupt(m_path);
        qWarning("Pendrel: settings file %s could not be decoded; kept as %s", qPrintable(m_path),
                 qPrintable(aside));
        return {};
    }
    return doc.object();
}

bool UserDefaults::save() {
    const QByteArray bytes = QJsonDocument(m_values).toJson(QJsonDocument::Indented);
    QString error;
    if (!AtomicFile::write(m_path, bytes, &error)) {
        qWarning("Pendrel: could not save settings %s: %s", qPrintable(m_path), qPrintable(error));
        return false;
    }
    return true;
}

QJsonValue UserDefaults::value(const QString& key) const {
    const auto it = m_values.constFind(key);
    return it == m_values.constEnd() ? QJsonValue(QJsonValue::Undefined) : it.value();
}

bool UserDefaults::contains(const QString& key) const {
    return m_values.contains(key);
}

std::optional<bool> UserDefaults::boolValue(const QString& key) const {
    const QJsonValue v = value(key);
    if (v.isBool())
        return v.toBool();
    return std::nullopt;
}

std::optional<QString> UserDefaults::stringValue(const QString& key) const {
    const QJsonValue v = value(key);
    if (v.isString())
        return v.toString();
    return std::nullopt;
}

std::optional<qint64> UserDefaults::integerValue(const QString& key) const {
    const QJsonValue v = value(key);
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!std::isfinite(d) || std::trunc(d) != d || d >= 9223372036854775808.0 ||
        d < -9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(d);
}

std::optional<double> UserDefaults::doubleValue(const QString& key) const {
    const QJsonValue v = value(key);
    if (v.isDouble())
        return v.toDouble();
    return std::nullopt;
}

std::optional<QStringList> UserDefaults::stringListValue(const QString& key) const {
    const QJsonValue v = value(key);
    if (!v.isArray())
        return std::nullopt;
    QStringList out;
    for (const QJsonValue& item : v.toArray()) {
        if (!item.isString())
            return std::nullopt;
        out.append(item.toString());
    }
    return out;
}

bool UserDefaults::setValue(const QString& key, const QJsonValue& value) {
    if (value.isUndefined() || value.isNull())
        m_values.remove(key);
    else
        m_values.insert(key, value);
    const bool ok = save();
    emit changed(key);
    return ok;
}

bool UserDefaults::remove(const QString& key) {
    return setValue(key, QJsonValue(QJsonValue::Undefined));
}

void UserDefaults::reload() {
    const QJsonObject before = m_values;
    m_values = load();
    QStringList keys = before.keys() + m_values.keys();
    keys.removeDuplicates();
    for (const QString& key : keys) {
        if (before.value(key) != m_values.value(key))
            emit changed(key);
    }
}
