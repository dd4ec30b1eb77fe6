#pragma once

#include <optional>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QStringList>

// A typed key-value store for the user's settings, kept as one JSON object in a file.
//
// Values keep their JSON type, so readers can tell a Boolean from a string or a number: the
// settings' own rules ("a string under a Bool key reads as the default") depend on that.
// Every assignment rewrites the file atomically (QSaveFile). A file that fails to decode is moved
// aside as "<name>.corrupt-<yyyyMMdd-hhmmss>" before anything overwrites it, and the store starts
// empty. All access is on the main thread.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    explicit UserDefaults(QString filePath, QObject* parent = nullptr);

    // The process-wide store at $XDG_CONFIG_HOME/Pendrel/defaults.json, made on first use.
    static UserDefaults& standard();
    static QString standardPath();

    QString filePath() const { return m_path; }

    // Undefined when the key is missing.
    QJsonValue value(const QString& key) const;
    bool contains(const QString& key) const;

    // Strict typed reads: a value is returned only when the stored JSON has that type.
    std::optional<bool> boolValue(const QString& key) const;
    std::optional<QString> stringValue(const QString& key) const;
    // A JSON number with no fractional part that fits in 64 bits; 2.5 or "2" give nothing.
    std::optional<qint64> integerValue(const QString& key) const;
    std::optional<double> doubleValue(const QString& key) const;
    // An array whose elements are all strings.
    std::optional<QStringList> stringListValue(const QString& key) const;

    // Stores the value (an Undefined or Null value removes the key) and emits changed(key),
    // also when the value did not change. Returns false when the file could not be written; the
    // value is kept in memory either way.
    bool setValue(const QString& key, const QJsonValue& value);
    bool remove(const QString& key);

    // Re-reads the file; emits changed() for every key whose value differs.
    void reload();

signals:
    void changed(const QString& key);

private:
    QJsonObject load();
    bool save();

    QString m_path;
    QJsonObject m_values;
};
