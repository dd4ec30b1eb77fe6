#pragma once

#include "platform/FeaturePrint.h"
#include "platform/RegularFile.h"

#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QUuid>

// Photos that look the same: two or more absolute paths, the one with the most pixels first
// (the copy that is kept). The id is made fresh whenever a set is built, also when a set is
// rebuilt after some of its photos went to the Trash.
//
// A scan also records, for every photo (in the order of `files`), its stamp taken before it was
// read and the print made from it, so a later move can tell whether a photo was touched since
// and compare it again. Missing ones (a set made by hand) count as touched.
struct SimilarPhotoGroup {
    QUuid id;
    QStringList files;
    QList<RegularFile::Stamp> stamps = {};
    QList<FeaturePrint> prints = {};

    bool operator==(const SimilarPhotoGroup& o) const {
        return id == o.id && files == o.files && stamps == o.stamps;
    }
};

Q_DECLARE_METATYPE(SimilarPhotoGroup)
