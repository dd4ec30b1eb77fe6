#pragma once

#include <optional>
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

// One installed application: an ".app" bundle (or a single ".AppImage" file) found in one of
// the application folders, as the uninstaller lists it and the apps cache stores it.
struct InstalledApp {
    // The path of the bundle when it was scanned; two copies of one application in two folders
    // are two records.
    QString id;
    // The file name without its last extension ("Example.app" → "Example").
    QString name;
    // The bundle as a file URL.
    QUrl url;
    // The identifier the bundle declares; none for a bundle that declares none and for AppImages.
    std::optional<QString> bundleID;
    // Bytes allocated on disk for the bundle, nested packages left out.
    qint64 appSizeBytes = 0;

    // The local path of url.
    QString path() const { return url.toLocalFile(); }

    // Keys "id", "name", "url" (the file URL in full), "bundleID" (only when there is one) and
    // "appSizeBytes".
    QJsonObject toJson() const;
    // Requires "id", "name" and "url" as strings, the URL a file URL with a path, and
    // "appSizeBytes" as a whole number from 0 to 2^53; "bundleID" may be missing or null, or
    // else must be a string. Other keys are ignored. Nothing when a rule is broken, so one bad
    // record rejects the whole file.
    static std::optional<InstalledApp> fromJson(const QJsonObject& object);

    // The records of an apps cache file ("apps.json": one JSON array of these objects) in file
    // order; none when the bytes are not such an array or any record breaks the rules above.
    static std::optional<QList<InstalledApp>> decodeList(const QByteArray& bytes);

    friend bool operator==(const InstalledApp&, const InstalledApp&) = default;
};

Q_DECLARE_METATYPE(InstalledApp)
