#include "platform/DefaultsTool.h"

#include "platform/DefaultsDomains.h"

#include <cmath>
#include <QJsonDocument>

namespace DefaultsTool {

namespace {

// Integers beyond this are not exact as JSON numbers, so they are refused rather than rounded.
constexpr qint64 kMaxExactInteger = qint64(1) << 53;

Outcome failure(const QString& message, int code = Failure) {
    Outcome o;
    o.exitCode = code;
    o.standardError = message.toUtf8() + '\n';
    return o;
}

Outcome printed(const QString& text) {
    Outcome o;
    o.exitCode = Success;
    o.standardOutput = text.toUtf8() + '\n';
    return o;
}

// The typed value of a write, or an error sentence.
std::optional<QJsonValue> typedValue(const QString& type, const QString& text, QString* error) {
    if (type == QLatin1String("-string"))
        return QJsonValue(text);
    if (type == QLatin1String("-bool") || type == QLatin1String("-boolean")) {
        const QString t = text.toLower();
        if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("1"))
            return QJsonValue(true);
        if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("0"))
            return QJsonValue(false);
        *error = QStringLiteral("Value for %1 must be true or false, not \"%2\".").arg(type, text);
        return std::nullopt;
    }
    if (type == QLatin1String("-int") || type == QLatin1String("-integer")) {
        bool ok = false;
        const qint64 v = text.trimmed().toLongLong(&ok);
        if (!ok || v > kMaxExactInteger || v < -kMaxExactInteger) {
            *error =
                QStringLiteral("Value for %1 must be a whole number, not \"%2\".").arg(type, text);
            return std::nullopt;
        }
        return QJsonValue(double(v));
    }
    if (type == QLatin1String("-float")) {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v)) {
            *error = QStringLiteral("Value for %1 must be a number, not \"%2\".").arg(type, text);
            return std::nullopt;
        }
        return QJsonValue(v);
    }
    *error = QStringLiteral("The type %1 is not supported; use -string, -bool, -int or -float.")
                 .arg(type);
    return std::nullopt;
}

Outcome readCommand(const QStringList& args, DefaultsDomains& store) {
    const auto domain = DefaultsDomains::normalisedDomain(args.value(1));
    if (!domain)
        return failure(QStringLiteral("\"%1\" is not a valid domain name.").arg(args.value(1)));
    const DefaultsDomains::Domain d = store.read(*domain);
    if (d.status == DefaultsDomains::Status::Damaged)
        return failure(QStringLiteral("Could not read domain %1: %2.").arg(*domain, d.problem));
    if (args.size() == 2) {
        if (d.status == DefaultsDomains::Status::Missing)
            return failure(QStringLiteral("Domain %1 does not exist").arg(*domain), NotFound);
        Outcome o;
        o.exitCode = Success;
        o.standardOutput = QJsonDocument(d.values).toJson(QJsonDocument::Indented);
        return o;
    }
    const QString& key = args.at(2);
    if (d.status == DefaultsDomains::Status::Missing || !d.values.contains(key))
        return failure(
            QStringLiteral("The domain/default pair of (%1, %2) does not exist").arg(*domain, key),
            NotFound);
    return printed(DefaultsDomains::format(d.values.value(key)));
}

Outcome writeCommand(const QStringList& args, DefaultsDomains& store) {
    const auto domain = DefaultsDomains::normalisedDomain(args.value(1));
    if (!domain)
        return failure(QStringLiteral("\"%1\" is not a valid domain name.").arg(args.value(1)));
    const QString& key = args.at(2);
    if (key.isEmpty())
        return failure(QStringLiteral("The key must not be empty."));
    const QString type = args.size() == 5 ? args.at(3) : QStringLiteral("-string");
    QString error;
    const std::optional<QJsonValue> value = typedValue(type, args.last(), &error);
    if (!value)
        return failure(error);
    QString aside;
    const bool ok = store.update(
        *domain,
        [&](QJsonObject& values) {
            values.insert(key, *value);
            return true;
        },
        &error, &aside);
    if (!ok)
        return failure(QStringLiteral("Could not write domain %1: %2.").arg(*domain, error));
    Outcome o;
    o.exitCode = Success;
    if (!aside.isEmpty())
        o.standardError =
            QStringLiteral("The damaged domain file was moved aside to %1.\n").arg(aside).toUtf8();
    return o;
}

Outcome deleteCommand(const QStringList& args, DefaultsDomains& store) {
    const auto domain = DefaultsDomains::normalisedDomain(args.value(1));
    if (!domain)
        return failure(QStringLiteral("\"%1\" is not a valid domain name.").arg(args.value(1)));
    const QString& key = args.at(2);
    bool found = false;
    QString error;
    QString aside;
    const bool ok = store.update(
        *domain,
        [&](QJsonObject& values) {
            found = values.contains(key);
            values.remove(key);
            return found;
        },
        &error, &aside);
    if (!ok)
        return failure(QStringLiteral("Could not write domain %1: %2.").arg(*domain, error));
    QString note;
    if (!aside.isEmpty())
        note = QStringLiteral("The damaged domain file was moved aside to %1.\n").arg(aside);
    if (!found)
        return failure(note + QStringLiteral("Domain (%1) not found.\nDefaults have not been "
                                             "changed.")
                                  .arg(*domain),
                       NotFound);
    Outcome o;
    o.exitCode = Success;
    o.standardError = note.toUtf8();
    return o;
}

} // namespace

QString usage() {
    return QStringLiteral(
        "usage: pendrel-defaults read DOMAIN [KEY]\n"
        "       pendrel-defaults write DOMAIN KEY [-string|-bool|-int|-float] VALUE\n"
        "       pendrel-defaults delete DOMAIN KEY\n"
        "       pendrel-defaults domains\n"
        "Keeps Pendrel's own settings domains as JSON files; \"-g\" names NSGlobalDomain.\n"
        "Exit status: 0 done, 1 no such domain or key, 2 any other failure.");
}

Outcome run(const QStringList& arguments, const QString& folder) {
    DefaultsDomains store(folder);
    const QString command = arguments.value(0);
    const qsizetype n = arguments.size();
    if (command == QLatin1String("read") && (n == 2 || n == 3))
        return readCommand(arguments, store);
    if (command == QLatin1String("write") && (n == 4 || n == 5))
        return writeCommand(arguments, store);
    if (command == QLatin1String("delete") && n == 3)
        return deleteCommand(arguments, store);
    if (command == QLatin1String("delete") && n == 2)
        return failure(QStringLiteral("Deleting a whole domain is not supported; delete its keys "
                                      "one by one."));
    if (command == QLatin1String("domains") && n == 1)
        return printed(store.domains().join(QStringLiteral(", ")));
    if ((command == QLatin1String("help") || command == QLatin1String("--help")) && n == 1)
        return printed(usage());
    return failure(usage());
}

} // namespace DefaultsTool
