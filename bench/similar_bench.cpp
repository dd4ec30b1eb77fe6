// similar_bench [--keep DIR] [--count N]: the look-alike photo search on generated camera-size
// photos. Makes N (500) 12-megapixel JPEGs of seeded scenes, the last fifth brightened and
// re-encoded copies of the first fifth, then times the search as the finder runs it (collect,
// prints on every core, grouping) and checks that it found exactly those pairs. Reports images
// per second and peak memory in one RESULT line; there is no peer program to compare with.
//
// The photos are written to a temporary folder, or to DIR with --keep (reused when it already
// holds them, as generating takes longer than searching). The search runs in a child process
// (`similar_bench --search DIR --count N`), so its peak memory is the search's alone.
#include "duplicates/SimilarPhotoScan.h"
#include "platform/DirectoryWalker.h"
#include "platform/ParallelLoop.h"

#include <cstdio>
#include <mutex>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

QImage makeScene(int seed) {
    QRandomGenerator rng(quint32(seed) * 7919u + 17u);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, rng.bounded(kWidth), kHeight);
    sky.setColorAt(
        0, QColor::fromHsv(rng.bounded(360), 60 + rng.bounded(150), 120 + rng.bounded(130)));
    sky.setColorAt(1,
                   QColor::fromHsv(rng.bounded(360), 60 + rng.bounded(150), 40 + rng.bounded(150)));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 10; ++i) {
        p.setBrush(QColor::fromHsv(rng.bounded(360), 80 + rng.bounded(170), 30 + rng.bounded(220)));
        const QRectF r(rng.bounded(kWidth) - 400, rng.bounded(kHeight) - 300,
                       300 + rng.bounded(2000), 200 + rng.bounded(1500));
        if (rng.bounded(2))
            p.drawEllipse(r);
        else
            p.drawRect(r);
    }
    p.end();
    // Sensor-like grain, so the files compress like photos rather than drawings.
    for (int y = 0; y < kHeight; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int n = int(rng.bounded(13)) - 6;
            line[x] =
                qRgb(std::clamp(qRed(line[x]) + n, 0, 255), std::clamp(qGreen(line[x]) + n, 0, 255),
                     std::clamp(qBlue(line[x]) + n, 0, 255));
        }
    }
    return image;
}

QImage brighter(QImage image) {
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(std::min(255, qRed(line[x]) + 15), std::min(255, qGreen(line[x]) + 15),
                           std::min(255, qBlue(line[x]) + 15));
    }
    return image;
}

QString name(const QString& dir, int i) {
    return QStringLiteral("%1/IMG_%2.jpg").arg(dir).arg(i, 4, 10, QLatin1Char('0'));
}

void generate(const QString& dir, int count) {
    const int copies = count / 5;
    ParallelLoop::run(size_t(count), ParallelLoop::flatThreads(), [&](size_t i, int) {
        const QString path = name(dir, int(i));
        if (QFileInfo::exists(path))
            return;
        const int index = int(i);
        const bool copy = index >= count - copies;
        QImage image = makeScene(copy ? index - (count - copies) : index);
        if (copy)
            image = brighter(std::move(image));
        image.save(path + ".part", "JPEG", copy ? 80 : 92);
        QFile::rename(path + ".part", path);
    });
}

} // namespace

int main(int argc, char** argv) {
    // Drawing needs a platform; this one needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int count = 500;
    QString keep;
    for (int i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--count"))
            count = std::max(10, args[i + 1].toInt());
        if (args[i] == QLatin1String("--keep"))
            keep = args[i + 1];
    }
    const qsizetype s = args.indexOf(QStringLiteral("--search"));
    if (s < 0 || s + 1 >= args.size()) {
        QTemporaryDir temp;
        const QString dir = keep.isEmpty() ? temp.path() : keep;
        QDir().mkpath(dir);
        QElapsedTimer made;
        made.start();
        generate(dir, count);
        std::printf("photos ready in %s after %.1f s\n", qPrintable(dir), made.elapsed() / 1000.0);
        std::fflush(stdout);
        const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
        const QByteArray folder = QFile::encodeName(dir);
        const QByteArray n = QByteArray::number(count);
        char* child[] = {const_cast<char*>(self.constData()),   const_cast<char*>("--search"),
                         const_cast<char*>(folder.constData()), const_cast<char*>("--count"),
                         const_cast<char*>(n.constData()),      nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, child[0], nullptr, nullptr, child, environ) != 0)
            return 2;
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
    }
    const QString dir = args.at(s + 1);

    const int threads = ParallelLoop::flatThreads();
    QElapsedTimer timer;
    timer.start();
    const QStringList photos = SimilarPhotoScan::collectPhotos(dir);
    std::vector<std::optional<SimilarPhotoScan::PhotoRecord>> prints(size_t(photos.size()));
    ParallelLoop::run(prints.size(), threads, [&](size_t i, int) {
        const QString& path = photos.at(qsizetype(i));
        if (std::optional<FeaturePrint> print = FeaturePrint::ofFile(path))
            prints[i] = SimilarPhotoScan::PhotoRecord{path, std::move(*print),
                                                      SimilarPhotoScan::pixelCount(path)};
    });
    QList<SimilarPhotoScan::PhotoRecord> records;
    for (auto& s : prints)
        if (s)
            records.append(std::move(*s));
    const QList<SimilarPhotoGroup> sets = SimilarPhotoScan::group(records);
    const double ms = double(timer.nsecsElapsed()) / 1e6;

    // Expected: photo i with photo count - copies + i, for every i below copies.
    const int copies = count / 5;
    QSet<QString> expected;
    for (int i = 0; i < copies; ++i)
        expected.insert(name(dir, i) + QLatin1Char('|') + name(dir, count - copies + i));
    QSet<QString> found;
    for (const SimilarPhotoGroup& s : sets) {
        QStringList files = s.files;
        std::sort(files.begin(), files.end());
        found.insert(files.join(QLatin1Char('|')));
    }
    const bool same = found == expected;
    std::printf("%lld photos, %lld prints, %lld sets (%lld expected), threads %d\n",
                static_cast<long long>(photos.size()), static_cast<long long>(records.size()),
                static_cast<long long>(sets.size()), static_cast<long long>(expected.size()),
                threads);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const double perSecond = ms > 0 ? photos.size() * 1000.0 / ms : 0;
    std::printf("images per second: %.1f\n", perSecond);
    std::printf("RESULT job=similar_photos ours_ms=%.0f peer=none peer_ms=0 ratio=0.00 same=%s "
                "peak_mb=%ld images_per_s=%.1f\n",
                ms, same ? "yes" : "no", (usage.ru_maxrss + 1023) / 1024, perSecond);
    return same ? 0 : 1;
}
