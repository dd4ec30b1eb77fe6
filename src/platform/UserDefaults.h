#pragma once

#include <functional>
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
//
// The file is only ever replaced atomically, and only when an assignment really changes it.
// A file that is there but cannot be read or decoded is never written over: it is moved aside
// as "<name>.corrupt-<yyyyMMdd-hhmmss>" first and the store starts empty. When even that fails,
// the store stops saving for this run: assignments live in memory only and each one reports
// that it was not saved, while the user's file stays as it is. All access is on the main thread.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    // Moves an unusable file out of the way; returns its new path, or an empty string when it
    // could not be moved. The real one is AtomicFile::moveAsideCorrupt.
    using MoveAside = std::function<QString(const QString& path)>;

    explicit UserDefaults(QString filePath, QObject* parent = nullptr);
    UserDefaults(QString filePath, MoveAside moveAside, QObject* parent = nullptr);

    // The process-wide store at $XDG_CONFIG_HOME/Pendrel/defaults.json, made on first use.
    static UserDefaults& standard();
    static QString standardPath();

    QString filePath() const { return m_path; }

    // False once the file at start could be neither read nor moved aside: changes are then kept
    // in memory only. notSavingReason() says why.
    bool isSaving() const { return m_notSavingReason.isEmpty(); }
    QString notSavingReason() const { return m_notSavingReason; }

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

    // Stores the value (an Undefined or Null value removes the key). The file is written only
    // when the stored value really changes; assigning the value already stored succeeds without
    // touching the disk. Emits changed(key) in every case, also when nothing changed, so views
    // bound to the key show what is stored.
    //
    // Returns false when the change did not reach the disk, with message (when given) set to
    // the sentence to show where the change was made, and emits saveFailed(key, message) after
    // changed(key). A failed write leaves the store as it was: what is stored is what the next
    // start will see. While the store is not saving (see isSaving()) the value is kept in memory
    // for this run and every assignment reports that it was not saved.
    bool setValue(const QString& key, const QJsonValue& value, QString* message = nullptr);
    bool remove(const QString& key, QString* message = nullptr);

    // Re-reads the file (with the same rules as at start); emits changed() for every key whose
    // value differs.
    void reload();

signals:
    void changed(const QString& key);
    void saveFailed(const QString& key, const QString& message);

private:
    QJsonObject load();
    [[nodiscard]] bool write(const QJsonObject& values, QString* reason) const;

    QString m_path;
    MoveAside m_moveAside;
    QJsonObject m_values;
    QString m_notSavingReason;
};
