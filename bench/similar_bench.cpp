// similar_bench [--keep DIR] [--count N] [--no-peer] [--cold]: the look-alike photo search on
// generated camera-size photos. Makes N (500) 12-megapixel JPEGs of seeded scenes, the last fifth
// brightened and re-encoded copies of the first fifth, then times the search as the finder runs it
// (collect, a stamp, print and pixel count of every photo on every core, grouping; the median of
// three after one untimed, so the photos are in memory) and checks that it found exactly those
// pairs. Reports images per second, CPU time and peak memory in one RESULT line. When
// findimagedupes is installed, a second RESULT line compares with it on the same photos (one run:
// it manages a few photos a second): same=yes when every set it finds lies inside one of ours
// (--no-peer leaves it out, as when profiling). Every RESULT line carries the load average, as the
// machine may be shared.
//
// The photos are written to a temporary folder, or to DIR with --keep (reused when it already
// holds them, as generating takes longer than searching). The search runs in a child process
// (`similar_bench --search DIR --count N`), so its peak memory is the search's alone. With
// --cold (as root), the search is timed again three times with the page cache dropped before
// each run, on a line of its own (job=similar_photos-cold).
#include "duplicates/SimilarPhotoScan.h"
#include "platform/DirectoryWalker.h"
#include "platform/ParallelLoop.h"
#include "support/BenchArgs.h"
#include "support/BenchProcess.h"

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
#include <QStandardPaths>
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

// This process's peak resident memory in MB. Read from VmHWM rather than getrusage's maxrss:
// posix_spawn starts the search from the parent's address space, and maxrss carries the
// parent's peak (the generation of the photos) over the exec.
long peakMegabytes() {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return (line.mid(6).trimmed().split(' ').value(0).toLong() + 1023) / 1024;
    return -1;
}

// CPU seconds (user and system) of this process, or of its waited-for children.
double cpuSeconds(int who) {
    struct rusage usage {};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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

// One search as the finder runs it: collect, a record of every photo on every core, grouping.
struct Search {
    QStringList photos;
    qsizetype records = 0;
    QList<SimilarPhotoGroup> sets;
    double ms = 0;
    double cpu = 0; // seconds of this process, all threads
};

Search search(const QString& dir, int threads) {
    Search out;
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer timer;
    timer.start();
    out.photos = SimilarPhotoScan::collectPhotos(dir);
    std::vector<std::optional<SimilarPhotoScan::PhotoRecord>> prints(size_t(out.photos.size()));
    ParallelLoop::run(prints.size(), threads, [&](size_t i, int) {
        prints[i] =
            SimilarPhotoScan::recordOf(out.photos.at(qsizetype(i)), SimilarPhotoScan::printOf);
    });
    QList<SimilarPhotoScan::PhotoRecord> records;
    for (auto& s : prints)
        if (s)
            records.append(std::move(*s));
    out.records = records.size();
    out.sets = SimilarPhotoScan::group(records);
    out.ms = double(timer.nsecsElapsed()) / 1e6;
    out.cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const BenchArgs::Parsed parsed = BenchArgs::parse(
        argc, argv,
        {QStringLiteral("similar_bench"),
         {},
         0,
         0,
         {BenchArgs::text(QStringLiteral("--keep"), QStringLiteral("DIR"),
                          QStringLiteral("write the photos to DIR, or reuse those it holds")),
          BenchArgs::number(QStringLiteral("--count"),
                            QStringLiteral("how many photos (500, at least 10)")),
          BenchArgs::flag(QStringLiteral("--no-peer"), QStringLiteral("leave findimagedupes out")),
          BenchArgs::coldFlag(),
          BenchArgs::text(QStringLiteral("--search"), QStringLiteral("DIR"),
                          QStringLiteral("the timed search alone, over photos made before"))},
         QStringLiteral("The look-alike photo search on generated 12-megapixel photos.")});
    if (parsed.exitNow)
        return *parsed.exitNow;
    const int count = std::max(10, parsed.number(QStringLiteral("--count"), 500));
    const QString keep = parsed.text(QStringLiteral("--keep"));
    const bool noPeer = parsed.has(QStringLiteral("--no-peer"));
    // Drawing needs a platform; this one needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!parsed.has(QStringLiteral("--search"))) {
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
        std::vector<char*> child = {const_cast<char*>(self.constData()),
                                    const_cast<char*>("--search"),
                                    const_cast<char*>(folder.constData()),
                                    const_cast<char*>("--count"), const_cast<char*>(n.constData())};
        if (noPeer)
            child.push_back(const_cast<char*>("--no-peer"));
        if (parsed.has(QStringLiteral("--cold")))
            child.push_back(const_cast<char*>("--cold"));
        child.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, child[0], nullptr, nullptr, child.data(), environ) != 0)
            return 2;
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
    }
    const QString dir = parsed.text(QStringLiteral("--search"));

    const int threads = ParallelLoop::flatThreads();
    // Warm means the photos' bytes in memory, whatever ran before (a cold benchmark empties the
    // cache): one search untimed, then the median of three.
    search(dir, threads);
    std::vector<Search> warm;
    for (int r = 0; r < 3; ++r)
        warm.push_back(search(dir, threads));
    std::sort(warm.begin(), warm.end(),
              [](const Search& a, const Search& b) { return a.ms < b.ms; });
    const Search timed = warm[1];
    const QStringList& photos = timed.photos;
    const QList<SimilarPhotoGroup>& sets = timed.sets;
    const double ms = timed.ms;
    const double cpu = timed.cpu;
    const qsizetype recordCount = timed.records;
    const long peak = peakMegabytes();

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
                static_cast<long long>(photos.size()), static_cast<long long>(recordCount),
                static_cast<long long>(sets.size()), static_cast<long long>(expected.size()),
                threads);
    const double perSecond = ms > 0 ? photos.size() * 1000.0 / ms : 0;
    std::printf("images per second: %.1f (CPU %.2f s)\n", perSecond, cpu);
    BenchProcess::printResult(
        {QStringLiteral("similar_photos"),
         ms,
         QStringLiteral("none"),
         0,
         same,
         peak,
         {{QStringLiteral("images_per_s"), QString::number(perSecond, 'f', 1)},
          {QStringLiteral("cpu_s"), QString::number(cpu, 'f', 2)}}});
    if (parsed.has(QStringLiteral("--cold"))) {
        // The same search with the photos' bytes out of memory: the cache is dropped before each
        // of three runs, this process's own code staying mapped.
        std::vector<Search> cold;
        for (int r = 0; r < 3 && BenchProcess::canDropCaches() && BenchProcess::dropCaches(); ++r)
            cold.push_back(search(dir, threads));
        if (cold.size() < 3) {
            BenchProcess::sayNoCold();
        } else {
            std::sort(cold.begin(), cold.end(),
                      [](const Search& a, const Search& b) { return a.ms < b.ms; });
            const Search& median = cold[1];
            const double rate = median.ms > 0 ? median.photos.size() * 1000.0 / median.ms : 0;
            std::printf("cold: images per second: %.1f (CPU %.2f s)\n", rate, median.cpu);
            BenchProcess::printResult(
                {QStringLiteral("similar_photos-cold"),
                 median.ms,
                 QStringLiteral("none"),
                 0,
                 median.sets.size() == sets.size(),
                 peakMegabytes(),
                 {{QStringLiteral("images_per_s"), QString::number(rate, 'f', 1)},
                  {QStringLiteral("cpu_s"), QString::number(median.cpu, 'f', 2)}}});
        }
    }

    const QString peer = QStandardPaths::findExecutable(QStringLiteral("findimagedupes"));
    if (peer.isEmpty() || noPeer)
        return same ? 0 : 1;
    // Its default threshold; it prints each set it finds on a line, the files apart by spaces
    // (the generated names have none).
    const double peerCpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer peerTimer;
    peerTimer.start();
    const std::optional<QByteArray> out = BenchProcess::run(peer, {dir});
    const double peerMs = double(peerTimer.nsecsElapsed()) / 1e6;
    const double peerCpu = cpuSeconds(RUSAGE_CHILDREN) - peerCpuBefore;
    if (!out) {
        std::printf("findimagedupes did not finish\n");
        return 1;
    }
    int peerSets = 0;
    bool covered = true;
    for (const QByteArray& line : out->split('\n')) {
        const QStringList files =
            QString::fromLocal8Bit(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (files.size() < 2)
            continue;
        ++peerSets;
        covered = covered && std::any_of(sets.begin(), sets.end(), [&](const SimilarPhotoGroup& s) {
                      return std::all_of(files.begin(), files.end(), [&](const QString& f) {
                          return s.files.contains(QDir::cleanPath(f));
                      });
                  });
    }
    std::printf("findimagedupes: %d sets in %.0f ms (CPU %.2f s)\n", peerSets, peerMs, peerCpu);
    BenchProcess::Result vsPeer{QStringLiteral("similar_photos_vs_findimagedupes"),
                                ms,
                                QStringLiteral("findimagedupes"),
                                peerMs,
                                covered,
                                peak,
                                {{QStringLiteral("ours_sets"), QString::number(sets.size())},
                                 {QStringLiteral("peer_sets"), QString::number(peerSets)},
                                 {QStringLiteral("ours_cpu_s"), QString::number(cpu, 'f', 2)},
                                 {QStringLiteral("peer_cpu_s"), QString::number(peerCpu, 'f', 2)}}};
    vsPeer.ratioDecimals = 3;
    BenchProcess::printResult(vsPeer);
    return same && covered ? 0 : 1;
}
