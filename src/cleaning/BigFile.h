#pragma once

#include <optional>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QUrl>
#include <QUuid>

// One file of a large-file list. A plain value; its id is made fresh when a scan lists the file,
// so the rows of two scans never share an id and a selection kept from an earlier scan matches
// nothing in a later one.
struct BigFile {
    QUuid id;
    QUrl url; // a local file URL
    // What the file takes on the disk, and so what moving it to the Trash frees: its allocated
    // blocks (st_blocks × 512, what `du` counts), not its length, so a sparse file that claims
    // gigabytes it never wrote is as small here as on the disk map. The list shows, sorts, sums
    // and filters by this figure.
    qint64 sizeBytes = 0;
    // When it was last opened, if known: the later of its access and modification times, the
    // age rule of the cleaners too (CategoryMeasurer::lastOpened), so a file written yesterday is
    // never offered as unopened whatever its access time says.
    std::optional<QDateTime> lastOpened;

    // Not opened for six months: 180 days of 86,400 seconds.
    static constexpr qint64 oldAfterSeconds = 15'552'000;

    QString path() const { return url.toLocalFile(); }
    // The last path component.
    QString fileName() const;
    // The folder that holds the file.
    QString folderPath() const;

    // True when lastOpened is known and strictly earlier than now less oldAfterSeconds; a file
    // without that date is never old.
    bool isOld(const QDateTime& now) const;
    // At the current moment, so a listed file can turn old while it is shown.
    bool isOld() const { return isOld(QDateTime::currentDateTimeUtc()); }

    bool operator==(const BigFile&) const = default;
};

Q_DECLARE_METATYPE(BigFile)
