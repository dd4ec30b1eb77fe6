#include "apps/InstalledApp.h"

#include "platform/CacheFolder.h"
#include "platform/JsonFields.h"

#include <cmath>
#include <QDir>
#include <QJsonValue>

namespace {

// Whole numbers a JSON double carries exactly.
constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53

} // namespace

QJsonObject InstalledApp::toJson() const {
    QJsonObject o;
    o.insert(QLatin1String("id"), id);
    o.insert(QLatin1String("name"), name);
    o.insert(QLatin1String("url"), url.toString(QUrl::FullyEncoded));
    JsonFields::insertOptional(o, QLatin1String("bundleID"), bundleID);
    o.insert(QLatin1String("appSizeBytes"), QJsonValue(appSizeBytes));
    return o;
}

std::optional<InstalledApp> InstalledApp::fromJson(const QJsonObject& object) {
    InstalledApp app;
    const std::optional<QString> id = JsonFields::string(object, QLatin1String("id"));
    const std::optional<QString> name = JsonFields::string(object, QLatin1String("name"));
    const std::optional<QString> url = JsonFields::string(object, QLatin1String("url"));
    if (!id || !name || !url)
        return std::nullopt;
    const QUrl parsed(*url, QUrl::StrictMode);
    // An app is a local file: a query or fragment ('#' is legal in a file name only encoded)
    // means the text is not one, and the URL is kept in the one form the writer gives it, so a
    // read file saves back to the same records.
    if (!parsed.isValid() || !parsed.isLocalFile() || parsed.toLocalFile().isEmpty() ||
        parsed.hasQuery() || parsed.hasFragment() || !parsed.host().isEmpty())
        return std::nullopt;
    const QString path = QDir::cleanPath(parsed.toLocalFile());
    if (!path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1String("//")))
        return std::nullopt;
    const QJsonValue size = object.value(QLatin1String("appSizeBytes"));
    if (!size.isDouble())
        return std::nullopt;
    const double bytes = size.toDouble();
    if (!std::isfinite(bytes) || bytes < 0 || bytes > kLargestExactInteger ||
        std::trunc(bytes) != bytes)
        return std::nullopt;
    if (!JsonFields::optionalString(object, QLatin1String("bundleID"), &app.bundleID))
        return std::nullopt;
    app.id = *id;
    app.name = *name;
    app.url = QUrl::fromLocalFile(path);
    app.appSizeBytes = qint64(bytes);
    return app;
}

std::optional<QList<InstalledApp>> InstalledApp::decodeList(const QByteArray& bytes) {
    return CacheFolder::decodeArray<InstalledApp>(bytes);
}
