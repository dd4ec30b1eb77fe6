#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonDocument>
#include <QString>

// The app's own data folder ($XDG_DATA_HOME/Pendrel): the one place its JSON files (timeline,
// apps cache, vault index) and organizer journals are written. A caches folder would be emptied
// by the caches cleaner, so this lives under the data home.
//
// Only the file operations live here; what the files hold, how they are encoded and what a caller
// does about a failure belongs to CacheFolder, the one writer every file goes through.
class AppSupportFolder {
public:
    explicit AppSupportFolder(QString directory) : m_dir(std::move(directory)) {}
    // $XDG_DATA_HOME/Pendrel of the current environment.
    static AppSupportFolder standard();

    QString directory() const { return m_dir; }
    // A file name may name a subfolder ("organizer-journals/x.json").
    QString pathFor(const QString& fileName) const;

    // Creates the folder when missing (0700, the owner's alone) and replaces the whole file
    // atomically; the file can be read and written by its owner only, from its first byte. On
    // failure returns false with the system's one-line reason; the previous file survives
    // unchanged.
    [[nodiscard]] bool writeBytes(const QString& fileName, const QByteArray& bytes,
                                  QString* error = nullptr) const;
    // writeBytes of the document in its compact form.
    [[nodiscard]] bool writeJson(const QString& fileName, const QJsonDocument& doc,
                                 QString* error = nullptr) const;

    enum class ReadStatus {
        Read,    // the whole file is in bytes
        Missing, // no file at that path (nothing to protect)
        Failed,  // something is there but could not be read whole: reason says why
    };
    // Reads the whole file. A file larger than maxBytes is not read (Failed), so a stray huge
    // file never becomes one huge allocation.
    ReadStatus readBytes(const QString& fileName, qint64 maxBytes, QByteArray* bytes,
                         QString* reason = nullptr) const;

    // Renames the file to "<name>.unreadable-<yyyyMMdd-hhmmss>" in the same folder (a numeric
    // suffix keeps an earlier copy of the same second) and returns the new path; an empty
    // string when there was nothing to rename or the rename failed.
    QString moveAsideUnreadable(const QString& fileName) const;

private:
    QString m_dir;
};

// Dates in the app's JSON files: seconds since 1 January 2001 00:00:00 UTC, as a JSON number.
double secondsSinceReferenceDate(const QDateTime& date);
// Millisecond precision. Seconds beyond ±100,000 years of the reference date (or not finite)
// are held at that bound, so any number read from a file gives a valid date.
QDateTime dateFromReferenceSeconds(double seconds);
