#pragma once

#include "platform/AppSupportFolder.h"

#include <functional>
#include <memory>
#include <optional>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

// The one writer and loader of the app's own JSON files (the timeline, the apps cache, the vault
// index, the organizer journals), all in the data folder ($XDG_DATA_HOME/Pendrel).
//
// Writing: the value is encoded in compact JSON and replaces the named file atomically, so a
// reader finds the old document or the new one, never a mix. A write that fails logs exactly one
// line, "Pendrel cache write failed for <file name>: <reason>", and returns false; the previous
// file is left byte for byte as it was. Callers keep their data in memory and carry on.
//
// Loading: a missing file is an empty start. A file that is there but cannot be read or decoded
// (one bad record rejects the whole file) is also an empty start, but it is first renamed to
// "<name>.unreadable-<time>" beside it, so the next write cannot destroy what the user had. When
// even that rename fails the file is "held": every later write of that name tries the rename
// again and, while it still fails, refuses to write.
//
// Records: a record type R takes part through `QJsonObject R::toJson() const` and
// `static std::optional<R> R::fromJson(const QJsonObject&)` (see JsonFields for the field forms).
//
// Copies share their held files. Safe to use from several threads; two writes of one file from
// different threads are not ordered (the last to finish wins, whole).
class CacheFolder {
public:
    // The largest file a loader reads, unless it names a smaller bound of its own; anything
    // bigger counts as unreadable (and is moved aside unread).
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

    explicit CacheFolder(AppSupportFolder folder);
    // The data folder of the current environment.
    static CacheFolder standard();

    const AppSupportFolder& folder() const { return m_folder; }

    // ---- Writing
    [[nodiscard]] bool writeJSON(const QJsonDocument& document, const QString& fileName,
                                 QString* error = nullptr) const;
    template <typename Record>
    [[nodiscard]] bool writeJSON(const QList<Record>& records, const QString& fileName,
                                 QString* error = nullptr) const {
        return writeJSON(encodeArray(records), fileName, error);
    }
    static QString writeFailureLine(const QString& fileName, const QString& reason);

    // ---- Encoding
    template <typename Record> static QJsonDocument encodeArray(const QList<Record>& records) {
        QJsonArray array;
        for (const Record& r : records)
            array.append(r.toJson());
        return QJsonDocument(array);
    }
    // The records of a document whose top level is an array of objects; nothing when the bytes
    // are not JSON, the top level is not an array, or any element fails to decode.
    template <typename Record>
    static std::optional<QList<Record>> decodeArray(const QByteArray& bytes) {
        const std::optional<QJsonArray> array = parseArray(bytes);
        if (!array)
            return std::nullopt;
        QList<Record> records;
        records.reserve(array->size());
        for (const QJsonValue& v : *array) {
            if (!v.isObject())
                return std::nullopt;
            std::optional<Record> r = Record::fromJson(v.toObject());
            if (!r)
                return std::nullopt;
            records.append(std::move(*r));
        }
        return records;
    }

    // ---- Loading
    enum class LoadOutcome {
        Loaded,     // value holds the decoded document
        Missing,    // no file: an empty start
        MovedAside, // unreadable or undecodable; kept at asidePath
        Held,       // unreadable or undecodable, and it could not be moved: writes are refused
    };
    template <typename T> struct Load {
        std::optional<T> value;
        LoadOutcome outcome = LoadOutcome::Missing;
        QString asidePath;
    };
    template <typename T>
    Load<T> loadJSON(const QString& fileName,
                     const std::function<std::optional<T>(const QByteArray&)>& decode,
                     qint64 maxBytes = kMaxFileBytes) const {
        Load<T> result;
        result.outcome = loadBytes(
            fileName,
            [&](const QByteArray& bytes) {
                result.value = decode(bytes);
                return result.value.has_value();
            },
            maxBytes, &result.asidePath);
        return result;
    }
    template <typename Record> Load<QList<Record>> loadArray(const QString& fileName) const {
        return loadJSON<QList<Record>>(fileName, &decodeArray<Record>);
    }

    // True while an unreadable file of that name could not be moved aside.
    bool isHeld(const QString& fileName) const;

private:
    struct HeldFiles;
    static std::optional<QJsonArray> parseArray(const QByteArray& bytes);
    LoadOutcome loadBytes(const QString& fileName,
                          const std::function<bool(const QByteArray&)>& accept, qint64 maxBytes,
                          QString* asidePath) const;

    AppSupportFolder m_folder;
    std::shared_ptr<HeldFiles> m_held;
};
