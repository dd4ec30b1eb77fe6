#include "platform/DefaultsDomains.h"

#include "platform/AtomicFile.h"
#include "platform/HomeLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>
#include <QLockFile>

namespace {
constexpr int kLockWaitMs = 5000;
constexpr qsizetype kMaxDomainName = 200;
} // namespace

DefaultsDomains::DefaultsDomains(QString folder) : m_folder(std::move(folder)) {}

QString DefaultsDomains::folderFor(const HomeLayout& layout) {
    return layout.configHome() + QStringLiteral("/Pendrel/defaults.d");
}

QString DefaultsDomains::pathFor(const QString& domain) const {
    return m_folder + QLatin1Char('/') + domain + QStringLiteral(".json");
}

std::optional<QString> DefaultsDomains::normalisedDomain(const QString& name) {
    if (name == QLatin1String("-g") || name == QLatin1String("-globalDomain"))
        return QStringLiteral("NSGlobalDomain");
    if (name.isEmpty() || name.size() > kMaxDomainName || name.startsWith(QLatin1Char('.')))
        return std::nullopt;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                        (u >= '0' && u <= '9') || u == '.' || u == '_' || u == '-';
        if (!ok)
            return std::nullopt;
    }
    return name;
}

DefaultsDomains::Domain DefaultsDomains::read(const QString& domain) const {
    Domain result;
    const QString path = pathFor(domain);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return result;
    result.status = Status::Damaged;
    if (!info.isFile()) {
        result.problem = QStringLiteral("it is not a regular file");
        return result;
    }
    if (info.size() > MaxDomainBytes) {
        result.problem = QStringLiteral("the file is too large");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = file.errorString();
        return result;
    }
    return decode(file.read(MaxDomainBytes + 1));
}

DefaultsDomains::Domain DefaultsDomains::decode(const QByteArray& bytes) {
    Domain result;
    result.status = Status::Damaged;
    if (bytes.size() > MaxDomainBytes) {
        result.problem = QStringLiteral("the file is too large");
        return result;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        result.problem = error.errorString();
        return result;
    }
    if (!doc.isObject()) {
        result.problem = QStringLiteral("it does not hold a JSON object");
        return result;
    }
    result.status = Status::Ok;
    result.values = doc.object();
    return result;
}

bool DefaultsDomains::update(const QString& domain, const std::function<bool(QJsonObject&)>& change,
                             QString* error, QString* movedAside) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QDir().mkpath(m_folder))
        return fail(QStringLiteral("could not create the folder %1").arg(m_folder));
    QLockFile lock(pathFor(domain) + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return fail(QStringLiteral("another program is changing the domain %1").arg(domain));

    Domain current = read(domain);
    if (current.status == Status::Damaged) {
        const QString aside = AtomicFile::moveAsideCorrupt(pathFor(domain));
        if (aside.isEmpty())
            return fail(QStringLiteral("the domain file %1 is damaged (%2) and could not be "
                                       "moved aside")
                            .arg(pathFor(domain), current.problem));
        if (movedAside)
            *movedAside = aside;
        current.values = {};
    }
    if (!change(current.values))
        return true;
    return AtomicFile::write(pathFor(domain), QJsonDocument(current.values).toJson(), error);
}

QStringList DefaultsDomains::domains() const {
    QStringList names;
    const QStringList files =
        QDir(m_folder).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString name = file.chopped(5);
        if (normalisedDomain(name) == name)
            names << name;
    }
    return names;
}

QString DefaultsDomains::format(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    default:
        return QStringLiteral("null");
    }
}
