#include "platform/UserDefaults.h"

#include "platform/AtomicFile.h"
#include "platform/HomeLayout.h"
#include "platform/JsonFields.h"

#include <cmath>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>

UserDefaults::UserDefaults(QString filePath, QObject* parent)
    : UserDefaults(std::move(filePath), &AtomicFile::moveAsideCorrupt, parent) {}

UserDefaults::UserDefaults(QString filePath, MoveAside moveAside, QObject* parent)
    : QObject(parent), m_path(std::move(filePath)), m_moveAside(std::move(moveAside)) {
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
    m_notSavingReason.clear();
    const AtomicFile::ReadResult file = AtomicFile::read(m_path);
    if (file.status == AtomicFile::ReadResult::Status::Missing)
        return {};
    QString problem;
    QJsonObject values;
    if (file.status == AtomicFile::ReadResult::Status::Failed) {
        problem = QStringLiteral("could not be read (%1)").arg(file.error);
    } else {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(file.bytes, &error);
        if (error.error == QJsonParseError::NoError && doc.isObject())
            return doc.object();
        problem = doc.isNull()
                      ? QStringLiteral("could not be decoded (%1)").arg(error.errorString())
                      : QStringLiteral("holds no settings object");
    }
    // The user's file must survive whatever this run does: out of the way, or left alone.
    const QString aside = m_moveAside ? m_moveAside(m_path) : QString();
    if (!aside.isEmpty()) {
        qWarning("Pendrel: settings file %s %s; kept as %s", qPrintable(m_path),
                 qPrintable(problem), qPrintable(aside));
        return values;
    }
    qWarning("Pendrel: settings file %s %s and could not be moved aside; changes will not be "
             "saved",
             qPrintable(m_path), qPrintable(problem));
    m_notSavingReason = QStringLiteral("the settings file could not be read, so this change lasts "
                                       "only until Pendrel quits");
    return values;
}

bool UserDefaults::write(const QJsonObject& values, QString* reason) const {
    const QByteArray bytes = QJsonDocument(values).toJson(QJsonDocument::Indented);
    if (!AtomicFile::write(m_path, bytes, reason)) {
        qWarning("Pendrel: could not save settings %s: %s", qPrintable(m_path),
                 qPrintable(*reason));
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
    return JsonFields::strings(value(key));
}

bool UserDefaults::setValue(const QString& key, const QJsonValue& value, QString* message) {
    const bool removing = value.isUndefined() || value.isNull();
    QJsonObject next = m_values;
    if (removing)
        next.remove(key);
    else
        next.insert(key, value);

    QString failure;
    if (!isSaving()) {
        m_values = next;
        failure = m_notSavingReason;
    } else if (next != m_values) {
        QString reason;
        if (write(next, &reason))
            m_values = next;
        else
            failure = reason.isEmpty() ? QStringLiteral("the settings file could not be written")
                                       : reason;
    }
    emit changed(key);
    if (failure.isEmpty())
        return true;
    const QString sentence = QStringLiteral("Could not save the setting: ") + failure;
    if (message)
        *message = sentence;
    emit saveFailed(key, sentence);
    return false;
}

bool UserDefaults::remove(const QString& key, QString* message) {
    return setValue(key, QJsonValue(QJsonValue::Undefined), message);
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
