#include "duplicates/SimilarPhotoScan.h"

#include "platform/DirectoryWalker.h"
#include "platform/NativePath.h"
#include "platform/PhotoImage.h"
#include "platform/WalkRules.h"

#include <algorithm>
#include <QSet>
#include <sys/stat.h>

namespace SimilarPhotoScan {

bool isPhotoName(const QString& fileName) {
    static const QSet<QString> extensions = {QStringLiteral("jpg"),  QStringLiteral("jpeg"),
                                             QStringLiteral("png"),  QStringLiteral("heic"),
                                             QStringLiteral("heif"), QStringLiteral("tiff"),
                                             QStringLiteral("bmp"),  QStringLiteral("webp")};
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot + 1 >= fileName.size())
        return false;
    return extensions.contains(fileName.mid(dot + 1).toLower());
}

QStringList collectPhotos(const QString& folder, int limit, const CancelToken& cancel) {
    QStringList photos;
    struct stat st;
    if (limit <= 0 || ::stat(NativePath::encode(folder).constData(), &st) != 0 ||
        !S_ISDIR(st.st_mode))
        return photos;
    // One thread, so the first photos found are those of a depth-first walk; the walk stops
    // through its own flag once the limit is reached.
    std::atomic_bool full{false};
    const CancelToken stop;
    const DirectoryWalker walker(DirectoryWalker::Options{}, stop);
    walker.walk(folder, [&](const DirectoryWalker::Entry& e) {
        if (cancel.isCancelled() || full.load()) {
            stop.cancel();
            return DirectoryWalker::Action::SkipChildren;
        }
        if (const auto step = WalkRules::pickedFolderStep(e))
            return *step;
        if (!e.isFile() || e.repeatLink)
            return DirectoryWalker::Action::Continue;
        const QString name = e.fileName();
        if (!isPhotoName(name))
            return DirectoryWalker::Action::Continue;
        photos.append(e.path());
        if (photos.size() >= limit) {
            full.store(true);
            stop.cancel();
        }
        return DirectoryWalker::Action::Continue;
    });
    std::sort(photos.begin(), photos.end());
    return photos;
}

qint64 pixelCount(const QString& path) {
    const RegularFile file(path);
    if (!file.isOpen())
        return 0;
    const std::optional<QSize> size = PhotoImage::pixelSize(file.descriptorPath());
    return size ? qint64(size->width()) * qint64(size->height()) : 0;
}

std::optional<FeaturePrint> printOf(const QString& path) {
    const RegularFile file(path);
    if (!file.isOpen())
        return std::nullopt;
    return FeaturePrint::ofFile(file.descriptorPath());
}

std::optional<PhotoRecord> recordOf(const QString& path, const Printer& printer) {
    const std::optional<RegularFile::Stamp> stamp = RegularFile::stampOf(path);
    if (!stamp)
        return std::nullopt;
    std::optional<FeaturePrint> print = printer(path);
    if (!print)
        return std::nullopt;
    return PhotoRecord{path, std::move(*print), pixelCount(path), *stamp};
}

QList<SimilarPhotoGroup> group(const QList<PhotoRecord>& records, float limit) {
    struct Cluster {
        const PhotoRecord* founder;
        QList<const PhotoRecord*> members;
    };
    std::vector<Cluster> clusters;
    for (const PhotoRecord& r : records) {
        bool joined = false;
        for (Cluster& c : clusters) {
            const float d =
                r.print.distance(c.founder->print).value_or(std::numeric_limits<float>::max());
            if (d < limit) {
                c.members.append(&r);
                joined = true;
                break;
            }
        }
        if (!joined)
            clusters.push_back(Cluster{&r, {&r}});
    }
    QList<SimilarPhotoGroup> sets;
    for (Cluster& c : clusters) {
        if (c.members.size() < 2)
            continue;
        std::stable_sort(
            c.members.begin(), c.members.end(),
            [](const PhotoRecord* a, const PhotoRecord* b) { return a->pixels > b->pixels; });
        SimilarPhotoGroup set{QUuid::createUuid(), {}};
        for (const PhotoRecord* m : c.members) {
            set.files.append(m->path);
            set.stamps.append(m->stamp);
            set.prints.append(m->print);
        }
        sets.append(set);
    }
    return sets;
}

int progressStep(int total) {
    return total < 200 ? 10 : 50;
}

bool tellsProgress(int done, int total) {
    return done == total || (done > 0 && done % progressStep(total) == 0);
}

} // namespace SimilarPhotoScan
