#pragma once

#include <functional>
#include <optional>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

class HomeLayout;

// The settings store that stands in for the system's preference domains: one JSON object per
// domain, in "<folder>/<domain>.json", key to value (a Boolean, a number or a string).
//
// Changes are made under a lock file per domain and written atomically, so two writers never
// lose each other's keys and a crash never leaves half a file. A domain file that cannot be
// decoded is moved aside ("<file>.corrupt-<date>") before anything is written in its place;
// reading leaves it where it is.
class DefaultsDomains {
public:
    // Domain files larger than this are treated as damaged rather than read.
    static constexpr qint64 MaxDomainBytes = 4 * 1024 * 1024;

    explicit DefaultsDomains(QString folder);
    // $XDG_CONFIG_HOME/Pendrel/defaults.d of the layout.
    static QString folderFor(const HomeLayout& layout);

    QString folder() const { return m_folder; }
    QString pathFor(const QString& domain) const;

    // The domain's stored name: "-g" and "-globalDomain" are "NSGlobalDomain"; none for a name
    // that could not be a file name of its own (empty, a leading dot, anything but letters,
    // digits, ".", "_" and "-", or longer than 200 characters).
    static std::optional<QString> normalisedDomain(const QString& name);

    enum class Status { Ok, Missing, Damaged };
    struct Domain {
        Status status = Status::Missing;
        QJsonObject values;
        QString problem; // why a damaged domain could not be read
    };
    Domain read(const QString& domain) const;
    // Decodes a domain file's bytes (the part of read() after the file is opened).
    static Domain decode(const QByteArray& bytes);

    // Applies `change` to the domain's values (empty when it has none) and writes the result
    // when `change` returns true. A damaged file is moved aside first and its path reported
    // through movedAside. False with a reason when the lock, the move or the write failed.
    [[nodiscard]] bool update(const QString& domain,
                              const std::function<bool(QJsonObject&)>& change, QString* error,
                              QString* movedAside = nullptr);

    // Names of the stored domains, sorted.
    QStringList domains() const;

    // A value as the defaults tool prints it: Booleans as "1" or "0", numbers in their
    // shortest exact form ("2", "0.1"), strings as they are, anything else as compact JSON.
    static QString format(const QJsonValue& value);

private:
    QString m_folder;
};
