#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <utility>

// The total of the sizes a folder listing shows, row by row: a file of several names counts once
// however many rows hold it, as `du` counts several folders given together.
class FolderSizeTotal {
public:
    // A file of several names that a row's size counted.
    struct LinkedFile {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 bytes = 0;
        bool operator==(const LinkedFile&) const = default;
    };

    qint64 bytes() const { return m_bytes; }
    void clear();
    // Room for this many rows, so a listing counted at once grows no table on the way.
    void reserve(qsizetype rows) { m_rowBytes.reserve(rows); }
    // Counts a row of the given size, holding the linked files; a row counted before is taken out
    // first.
    void add(const QString& id, qint64 bytes, const QList<LinkedFile>& linked);
    // Takes a counted row out again; nothing for a row not counted.
    void remove(const QString& id);

private:
    qint64 m_bytes = 0;
    QHash<QString, qint64> m_rowBytes;
    // The rows with files of several names, and how many rows hold each such file.
    QHash<QString, QList<LinkedFile>> m_rowLinks;
    QHash<std::pair<quint64, quint64>, int> m_holders;
};
