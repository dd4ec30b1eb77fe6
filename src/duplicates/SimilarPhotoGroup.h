#pragma once

#include <QMetaType>
#include <QStringList>
#include <QUuid>

// Photos that look the same: two or more absolute paths, the one with the most pixels first
// (the copy that is kept). The id is made fresh whenever a set is built, also when a set is
// rebuilt after some of its photos went to the Trash.
struct SimilarPhotoGroup {
    QUuid id;
    QStringList files;

    bool operator==(const SimilarPhotoGroup& o) const { return id == o.id && files == o.files; }
};

Q_DECLARE_METATYPE(SimilarPhotoGroup)
