#pragma once

#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QUuid>

// Files with identical content: two or more absolute paths in ascending order of their path
// text, each `fileSize` bytes long. The id is made fresh whenever a group is built, also when a
// group is rebuilt after some of its files went to the Trash, so a view keyed by id starts over.
struct DuplicateGroup {
    QUuid id;
    qint64 fileSize = 0;
    QStringList files;

    // What keeping one copy gives back: fileSize × (files − 1); 0 for fewer than two files.
    qint64 reclaimableBytes() const {
        return files.size() < 2 ? 0 : fileSize * qint64(files.size() - 1);
    }
    bool operator==(const DuplicateGroup& o) const {
        return id == o.id && fileSize == o.fileSize && files == o.files;
    }
};

Q_DECLARE_METATYPE(DuplicateGroup)
