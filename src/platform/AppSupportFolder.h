#pragma once

#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QJsonDocument>
#include <QString>

// The app's own data folder ($XDG_DATA_HOME/Pendrel): the one place its JSON files (timeline,
// apps cache, vault index) and organizer journals are written. A caches folder would be emptied
// by the caches cleaner, so this lives under the data home.
class AppSupportFolder {
public:
    explicit AppSupportFolder(QString directory) : m_dir(std::move(directory)) {}
    // $XDG_DATA_HOME/Pendrel of the current environment.
    static AppSupportFolder standard();

    QString directory() const { return m_dir; }
    QString pathFor(const QString& fileName) const;

    // Creates the folder when missing and replaces the whole file atomically (compact JSON).
    // On failure returns false with a one-line reason; the previous file survives unchanged.
    // Logs nothing: the caller decides (see logWriteFailure).
    bool writeJson(const QString& fileName, const QJsonDocument& doc,
                   QString* error = nullptr) const;

    // Reads and decodes a file. Missing: nullopt. Undecodable: the file is moved aside as
    // "<name>.corrupt-<date>" (so a later write cannot destroy it) and nullopt is returned.
    std::optional<QJsonDocument> readJson(const QString& fileName) const;

    // The one log line every caller writes when a cache or index write fails:
    // "Pendrel cache write failed for <file name>: <reason>".
    static void logWriteFailure(const QString& fileName, const QString& reason);
    static QString writeFailureLine(const QString& fileName, const QString& reason);

private:
    QString m_dir;
};

// Dates in the app's JSON files: seconds since 1 January 2001 00:00:00 UTC, as a JSON number.
double secondsSinceReferenceDate(const QDateTime& date);
QDateTime dateFromReferenceSeconds(double seconds);
