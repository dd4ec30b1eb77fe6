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
//
// What a copy takes on the disk is its allocated size (st_blocks × 512), which equal contents
// need not share: a sparse copy holds fewer blocks than a written-out one. A scan records it for
// every file; a group without it counts each copy at fileSize.
struct DuplicateGroup {
    QUuid id;
    qint64 fileSize = 0;
    QStringList files;
    QList<RegularFile::Stamp> stamps = {};
    QByteArray digest = {};
    QList<qint64> allocatedBytes = {}; // in the order of `files`

    // What one copy takes on the disk, so what moving it frees; fileSize when not recorded.
    qint64 allocatedOf(const QString& file) const {
        const qsizetype index = files.indexOf(file);
        return index >= 0 && index < allocatedBytes.size() ? allocatedBytes.at(index) : fileSize;
    }
    // What keeping `keep` gives back: the disk taken by every other copy; 0 for fewer than two
    // files or a keeper that is not one of them.
    qint64 reclaimableBytes(const QString& keep) const {
        if (files.size() < 2 || !files.contains(keep))
            return 0;
        qint64 sum = 0;
        for (const QString& file : files)
            if (file != keep)
                sum += allocatedOf(file);
        return sum;
    }
    // Keeping the first copy, as keeping one of each does.
    qint64 reclaimableBytes() const {
        return files.isEmpty() ? 0 : reclaimableBytes(files.first());
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
               digest == o.digest && allocatedBytes == o.allocatedBytes;
    }
};

Q_DECLARE_METATYPE(DuplicateGroup)
