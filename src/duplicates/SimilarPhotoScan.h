#pragma once

#include "platform/CancelToken.h"

#include "duplicates/SimilarPhotoGroup.h"
#include "platform/FeaturePrint.h"
#include "platform/RegularFile.h"

#include <functional>
#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// The steps of a look-alike photo search, as plain functions the finder runs on a worker thread.
namespace SimilarPhotoScan {

// The most photos one scan compares.
constexpr int photoLimit = 2000;
// Two prints closer than this (as single-precision floats; equal does not count) show the same
// scene.
constexpr float threshold = 0.35f;

// One photo of a scan: where it is, what it shows and how many pixels it has (0 when unknown),
// and its stamp from before it was read (a default one when unknown).
struct PhotoRecord {
    QString path;
    FeaturePrint print;
    qint64 pixels = 0;
    RegularFile::Stamp stamp = {};
};

// True for the photo extensions "jpg", "jpeg", "png", "heic", "heif", "tiff", "bmp", "webp",
// compared with the file name's extension in lower case.
bool isPhotoName(const QString& fileName);

// The photos below a folder, at most `limit`, in ascending order of their paths: regular files
// with a photo extension, the first `limit` in the order of a depth-first walk (the rest of the
// folder is not looked at). Hidden files and folders and the insides of packages are passed
// over, as are symlinks; a file with several hard links counts once. A folder that cannot be
// read gives an empty list.
QStringList collectPhotos(const QString& folder, int limit = photoLimit,
                          const CancelToken& cancel = CancelToken());

// The pixel count of a photo from its header (width × height), 0 when it cannot be read.
qint64 pixelCount(const QString& path);

// The print of the photo file at path (FeaturePrint::ofFile), nothing when it cannot be decoded.
// Like pixelCount, it opens the file by the path's own bytes and only then lets the image readers
// at it, so a name that is not UTF-8 is read as itself, never as the file Qt's lossy decoding
// would name; anything but a regular file is refused without waiting.
std::optional<FeaturePrint> printOf(const QString& path);

// Prints made per photo; nothing when the photo cannot be decoded. Replaceable for tests.
using Printer = std::function<std::optional<FeaturePrint>(const QString& path)>;

// The record a scan keeps of one photo: its stamp, taken before anything is read so that any
// later change shows when the photo is moved, the printer's print and the pixel count. Nothing
// when the path is not a regular file or no print can be made of it.
std::optional<PhotoRecord> recordOf(const QString& path, const Printer& printer);

// Greedy grouping against each cluster's founding photo: records are taken in the given order;
// each joins the first cluster (in founding order) whose founder lies closer than the
// threshold, or founds a new one. A distance that cannot be computed is no match. Clusters of
// two or more become sets in founding order, their members by pixel count, most first (ties
// keep the joining order), each with its record's stamp and print.
QList<SimilarPhotoGroup> group(const QList<PhotoRecord>& records, float limit = threshold);

// How far a scan is: photos printed so far of those found (total 0 while the folder is still being
// walked; done 0 announces the total).
struct Progress {
    int done = 0;
    int total = 0;
    bool operator==(const Progress&) const = default;
};

// How often progress is told while N photos are processed: every 10 below 200 photos, else
// every 50; the last photo is always told.
int progressStep(int total);
bool tellsProgress(int done, int total);

} // namespace SimilarPhotoScan
