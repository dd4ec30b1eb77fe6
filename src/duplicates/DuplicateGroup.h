#pragma once

#include "platform/RegularFile.h"

#include <optional>
#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QUuid>

// Files with identical content: two or more absolute paths in ascending order of their path
// text, each `fileSize` bytes long. The id is made fresh whenever a group is built, also when a
// group is rebuilt after some of its files went to the Trash, so a view keyed by id starts over.
//
// A scan also records what it read: the SHA-256 of the content, and for every file (in the
// order of `files`) its stamp taken before that content was read, so a later move can tell
// whether a file was touched since. A group without them (made by hand) counts every file as
// touched.
struct DuplicateGroup {
    QUuid id;
    qint64 fileSize = 0;
    QStringList files;
    QList<RegularFile::Stamp> stamps = {};
    QByteArray digest = {};

    // What keeping one copy gives back: fileSize × (files − 1); 0 for fewer than two files.
    qint64 reclaimableBytes() const {
        return files.size() < 2 ? 0 : fileSize * qint64(files.size() - 1);
    }
    // The stamp recorded for one of the files; nothing when none was.
    std::optional<RegularFile::Stamp> stampOf(const QString& file) const {
        const qsizetype index = files.indexOf(file);
        if (index < 0 || index >= stamps.size())
            return std::nullopt;
        return stamps.at(index);
    }
    bool operator==(const DuplicateGroup& o) const {
        return id == o.id && fileSize == o.fileSize && files == o.files && stamps == o.stamps &&
               digest == o.digest;
    }
};

Q_DECLARE_METATYPE(DuplicateGroup)
