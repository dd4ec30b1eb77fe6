// Look-alike photos: which files count, the calibration of the prints against the threshold,
// the greedy grouping, and the finder's states and trashing.
#include "duplicates/DuplicatesTestSupport.h"
#include "duplicates/SimilarPhotoFinder.h"
#include "fakes/FakeTrash.h"
#include "platform/FeaturePrint.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HeifImage.h"
#include "platform/PhotoImage.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTest>
#include <QThread>
#include <QTransform>

using namespace duptest;

namespace {

FeaturePrint print(std::vector<float> v) {
    return FeaturePrint(std::move(v));
}

SimilarPhotoScan::PhotoRecord record(const QString& path, std::vector<float> v, qint64 pixels = 0) {
    return {path, print(std::move(v)), pixels};
}

QImage reencoded(const QImage& image, int quality) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return QImage::fromData(jpeg, "JPEG");
}

float distance(const QImage& a, const QImage& b) {
    return FeaturePrint::ofImage(a)->distance(*FeaturePrint::ofImage(b)).value();
}

// Runs keepBestOfEach() to its end and returns its errors; the sets are published once, at the
// end, and the progress is gone by then.
QStringList keptBestOfEach(SimilarPhotoFinder& finder) {
    std::optional<QStringList> ended;
    int published = 0;
    const QMetaObject::Connection counting =
        QObject::connect(&finder, &SimilarPhotoFinder::groupsChanged, [&] { ++published; });
    const QMetaObject::Connection ending = QObject::connect(
        &finder, &SimilarPhotoFinder::keptBestOfEach, [&](const QStringList& e) { ended = e; });
    finder.keepBestOfEach();
    EXPECT_TRUE(finder.cleaning().has_value());
    EXPECT_TRUE(testsupport::waitFor([&] { return ended.has_value(); }, 20000));
    QObject::disconnect(counting);
    QObject::disconnect(ending);
    EXPECT_EQ(published, 1);
    EXPECT_FALSE(finder.cleaning().has_value());
    return ended.value_or(QStringList());
}

} // namespace

TEST(SimilarPhotoScan, PhotoNamesAndCollection) {
    for (const char* yes :
         {"a.jpg", "B.JPG", "c.jpeg", "d.png", "e.heic", "f.HEIF", "g.tiff", "h.bmp", "i.webp"})
        EXPECT_TRUE(SimilarPhotoScan::isPhotoName(yes)) << yes;
    for (const char* no : {"a.tif", "b.gif", "jpg", "c.jpg.txt", "d."})
        EXPECT_FALSE(SimilarPhotoScan::isPhotoName(no)) << no;

    const QString dir = testsupport::freshDir("collect");
    for (const char* name : {"/b.jpg", "/a/c.PNG", "/a/a.heic", "/notes.txt", "/.hidden.jpg",
                             "/.thumbs/x.jpg", "/Viewer.app/Contents/icon.png"})
        write(dir + name, "x");
    QDir().mkpath(dir + "/folder.jpg");
    ASSERT_EQ(::symlink(QFile::encodeName(dir + "/b.jpg").constData(),
                        QFile::encodeName(dir + "/link.jpg").constData()),
              0);
    EXPECT_EQ(SimilarPhotoScan::collectPhotos(dir),
              QStringList({dir + "/a/a.heic", dir + "/a/c.PNG", dir + "/b.jpg"}));
    EXPECT_EQ(SimilarPhotoScan::collectPhotos(dir, 2).size(), 2);
    EXPECT_TRUE(SimilarPhotoScan::collectPhotos(dir + "/missing").isEmpty());
}

TEST(SimilarPhotoScan, ProgressSteps) {
    QList<int> told;
    for (int done = 1; done <= 150; ++done)
        if (SimilarPhotoScan::tellsProgress(done, 150))
            told.append(done);
    EXPECT_EQ(told.size(), 15);
    EXPECT_EQ(told.first(), 10);
    EXPECT_EQ(told.last(), 150);
    told.clear();
    for (int done = 1; done <= 230; ++done)
        if (SimilarPhotoScan::tellsProgress(done, 230))
            told.append(done);
    EXPECT_EQ(told, QList<int>({50, 100, 150, 200, 230}));
}

TEST(SimilarPhotoScan, GreedyGroupingAgainstFounders) {
    // B is close to A; C is close to B but not to A: C founds its own cluster and stays alone.
    QList<SimilarPhotoGroup> sets = SimilarPhotoScan::group(
        {record("A", {0.0f}, 10), record("B", {0.3f}, 20), record("C", {0.6f}, 30)});
    ASSERT_EQ(sets.size(), 1);
    EXPECT_EQ(sets[0].files, QStringList({"B", "A"})); // most pixels first

    // D is close to both founders; it joins the one founded first, though the other is closer.
    sets = SimilarPhotoScan::group({record("P", {0.0f}), record("Q", {0.5f}), record("D", {0.3f})});
    ASSERT_EQ(sets.size(), 1);
    EXPECT_EQ(sets[0].files, QStringList({"P", "D"}));

    // A distance equal to the threshold does not join; one that cannot be made is no match.
    sets = SimilarPhotoScan::group(
        {record("E", {0.0f}), record("F", {0.35f}), record("G", {}), record("H", {0.0f, 1.0f})});
    EXPECT_TRUE(sets.isEmpty());
}

TEST(FeaturePrintCalibration, CopiesStayTogetherDifferentScenesApart) {
    constexpr int kScenes = 8;
    QList<QImage> originals;
    for (int n = 0; n < kScenes; ++n)
        originals.append(scene(n));
    for (int n = 0; n < kScenes; ++n) {
        const QImage& original = originals[n];
        const QImage half =
            original.scaled(original.size() / 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QImage small =
            original.scaled(200, 150, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QImage lowQuality = reencoded(original, 40);
        const QImage brighter = reencoded(brightened(original, 20), 85);
        for (const QImage* copy : {&half, &small, &lowQuality, &brighter}) {
            const float d = distance(original, *copy);
            EXPECT_LT(d, 0.2f) << "scene " << n;
        }
        for (int m = 0; m < kScenes; ++m) {
            if (m != n) {
                EXPECT_GT(distance(original, originals[m]), 0.5f) << n << " vs " << m;
            }
        }
    }
    // A flat picture has a print too, by its colour alone.
    QImage grey(100, 100, QImage::Format_RGB32);
    grey.fill(QColor(128, 128, 128));
    QImage red(100, 100, QImage::Format_RGB32);
    red.fill(QColor(200, 30, 30));
    EXPECT_LT(distance(grey, grey), 0.01f);
    EXPECT_GT(distance(grey, red), SimilarPhotoScan::threshold);
}

TEST(PhotoImage, SizesAndScaledDecodes) {
    const QString dir = testsupport::freshDir("decode");
    const QString jpeg = savePhoto(scene(1, QSize(1200, 800)), dir + "/wide.jpg");
    EXPECT_EQ(PhotoImage::pixelSize(jpeg), QSize(1200, 800));
    const std::optional<QImage> small = PhotoImage::read(jpeg, QSize(300, 300));
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->size(), QSize(300, 200));
    // Content decides, not the name.
    const QString misnamed = write(dir + "/text.jpg", "not a picture");
    EXPECT_FALSE(PhotoImage::read(misnamed).has_value());
    EXPECT_FALSE(PhotoImage::pixelSize(misnamed).has_value());
    EXPECT_FALSE(FeaturePrint::ofFile(misnamed).has_value());
    // Without libheif, or for a file that is not HEIF, the HEIF reader declines cleanly.
    EXPECT_FALSE(HeifImage::read(jpeg).has_value());
    EXPECT_FALSE(HeifImage::size(misnamed).has_value());
}

// A JPEG whose stored picture is turned by its orientation tag (6: a quarter turn clockwise to
// show it upright), tagged the way cameras do, in an Exif segment right after the start.
QByteArray withOrientation(QByteArray jpeg, char orientation) {
    const QByteArray exif = QByteArray("\xff\xe1\x00\x22"
                                       "Exif\0\0"
                                       "II\x2a\x00\x08\x00\x00\x00"
                                       "\x01\x00"
                                       "\x12\x01\x03\x00\x01\x00\x00\x00",
                                       28) +
                            QByteArray(1, orientation) + QByteArray(7, '\0');
    return jpeg.insert(2, exif);
}

TEST(PhotoImage, EighthSizeDecodesPrintAsTheFullPicture) {
    const QString dir = testsupport::freshDir("eighth");
    const QImage upright = scene(3, QSize(1600, 1200));
    const QString plain = savePhoto(upright, dir + "/plain.jpg");
    // The print is made from the block means; it must lie where the full picture's lies.
    const std::optional<FeaturePrint> small = FeaturePrint::ofFile(plain);
    const std::optional<QImage> full = PhotoImage::read(plain);
    ASSERT_TRUE(small && full);
    EXPECT_EQ(full->size(), QSize(1600, 1200));
    EXPECT_LT(small->distance(*FeaturePrint::ofImage(*full)).value(), 0.05f);

    // Stored sideways with its tag: read upright, fitted the right way round.
    const QString sideways =
        write(dir + "/sideways.jpg",
              withOrientation(jpeg(upright.transformed(QTransform().rotate(-90))), 6));
    const std::optional<QImage> turned = PhotoImage::read(sideways, QSize(150, 150));
    ASSERT_TRUE(turned.has_value());
    EXPECT_EQ(turned->size(), QSize(150, 112));
    // A progressive JPEG has no block means to take: the plugins decode it as before.
    QImageWriter progressive(dir + "/progressive.jpg", "jpeg");
    progressive.setProgressiveScanWrite(true);
    ASSERT_TRUE(progressive.write(upright));
    const std::optional<QImage> stepwise =
        PhotoImage::read(dir + "/progressive.jpg", QSize(192, 192));
    ASSERT_TRUE(stepwise.has_value());
    EXPECT_EQ(stepwise->size(), QSize(192, 144));
    EXPECT_LT(FeaturePrint::ofImage(*stepwise)->distance(*small).value(), 0.05f);

    const std::optional<QImage> same = PhotoImage::read(plain, QSize(150, 150));
    ASSERT_TRUE(same.has_value());
    EXPECT_LT(FeaturePrint::ofImage(*turned)->distance(*FeaturePrint::ofImage(*same)).value(),
              0.05f);
}

TEST(PhotoImage, APictureTooLargeToDecodeIsPassedOver) {
    const QString dir = testsupport::freshDir("huge");
    // A small photo whose header claims 60,000 × 60,000 pixels: even its block means would take
    // more memory than every decode in flight may share, so it is not decoded at all.
    QByteArray data = jpeg(scene(5, QSize(320, 240)));
    const qsizetype frame = data.indexOf(QByteArray("\xff\xc0", 2));
    ASSERT_GT(frame, 0);
    for (const int at : {5, 7}) {
        data[frame + at] = char(0xea);
        data[frame + at + 1] = char(0x60);
    }
    const QString huge = write(dir + "/huge.jpg", data);
    EXPECT_EQ(PhotoImage::pixelSize(huge), QSize(60000, 60000));
    EXPECT_FALSE(PhotoImage::read(huge, QSize(192, 192)).has_value());
    EXPECT_FALSE(SimilarPhotoScan::printOf(huge).has_value());
    // Cut short, a photo still reads as far as it goes, through the plugins.
    const QByteArray whole = jpeg(scene(5, QSize(1600, 1200)));
    const QString cut = write(dir + "/cut.jpg", whole.left(whole.size() / 2));
    const std::optional<QImage> part = PhotoImage::read(cut, QSize(192, 192));
    ASSERT_TRUE(part.has_value());
    EXPECT_EQ(part->size(), QSize(192, 144));
}

TEST(SimilarPhotoFinder, FindsSetsAndKeepsTheLargest) {
    const QString dir = testsupport::freshDir("photos");
    const QImage sky = scene(3);
    savePhoto(sky, dir + "/full.jpg");
    savePhoto(sky.scaled(480, 360), dir + "/reduced.jpg", 70);
    savePhoto(scene(6), dir + "/other.jpg");
    write(dir + "/broken.jpg", "not a jpeg");
    write(dir + "/notes.txt", "text");

    auto trash = std::make_shared<FakeTrash>(testsupport::freshDir("trash"));
    SimilarPhotoFinder finder(trash, {}, 3);
    QList<SimilarPhotoFinder::State> states;
    QObject::connect(&finder, &SimilarPhotoFinder::stateChanged,
                     [&] { states.append(finder.state()); });
    finder.scan(dir);
    EXPECT_EQ(finder.state(), SimilarPhotoFinder::State::running({0, 0}));
    ASSERT_TRUE(testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; }));
    // Four photos, the broken one counted as processed.
    EXPECT_TRUE(states.contains(SimilarPhotoFinder::State::running({0, 4})));
    EXPECT_TRUE(states.contains(SimilarPhotoFinder::State::running({4, 4})));
    ASSERT_EQ(finder.groups().size(), 1);
    EXPECT_EQ(finder.groups()[0].files, QStringList({dir + "/full.jpg", dir + "/reduced.jpg"}));
    EXPECT_EQ(finder.removableCount(), 1);

    EXPECT_TRUE(keptBestOfEach(finder).isEmpty());
    EXPECT_TRUE(finder.groups().isEmpty());
    EXPECT_EQ(finder.removableCount(), 0);
    EXPECT_EQ(trash->moved(), QStringList({dir + "/reduced.jpg"}));
    EXPECT_TRUE(QFileInfo::exists(dir + "/full.jpg"));
}

TEST(SimilarPhotoFinder, NoPhotosAndStaleScans) {
    const QString empty = testsupport::freshDir("no-photos");
    write(empty + "/notes.txt", "text");
    SimilarPhotoFinder finder(std::make_shared<FakeTrash>(testsupport::freshDir("trash")));
    QList<SimilarPhotoFinder::State> states;
    QObject::connect(&finder, &SimilarPhotoFinder::stateChanged,
                     [&] { states.append(finder.state()); });
    finder.scan(empty);
    ASSERT_TRUE(testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; }));
    EXPECT_EQ(states.size(), 2); // scanning(0, 0), done: a total was never told
    EXPECT_TRUE(finder.groups().isEmpty());

    // Scans whose prints are held: a second scan replaces the first, a reset stays idle.
    std::atomic_bool open{false};
    const SimilarPhotoScan::Printer held = [&open](const QString& path) {
        while (!open.load())
            QThread::msleep(5);
        return std::optional<FeaturePrint>(FeaturePrint({path.endsWith("b.png") ? 9.0f : 0.0f}));
    };
    const QString first = testsupport::freshDir("first");
    writeCopies(first, {"/a.png", "/b.png", "/c.png"}, "x");
    const QString second = testsupport::freshDir("second");
    writeCopies(second, {"/x.png", "/y.png"}, "x");
    SimilarPhotoFinder slow(std::make_shared<FakeTrash>(testsupport::freshDir("trash")), held);
    slow.scan(first);
    slow.scan(second);
    open.store(true);
    ASSERT_TRUE(testsupport::waitFor([&] { return slow.state().phase == ScanPhase::Done; }));
    QTest::qWait(50);
    ASSERT_EQ(slow.groups().size(), 1);
    EXPECT_EQ(slow.groups()[0].files, QStringList({second + "/x.png", second + "/y.png"}));

    open.store(false);
    slow.scan(first);
    slow.reset();
    open.store(true);
    QTest::qWait(200);
    EXPECT_EQ(slow.state().phase, ScanPhase::Idle);
    EXPECT_TRUE(slow.groups().isEmpty());
}

TEST(SimilarPhotoFinder, PartialTrashKeepsTheFailedPhotoInTheSet) {
    const QString dir = testsupport::freshDir("partial");
    writeCopies(dir, {"/a.png", "/b.png", "/c.png"}, "x");
    auto trash = std::make_shared<FakeTrash>(testsupport::freshDir("trash"));
    SimilarPhotoFinder finder(
        trash, [](const QString&) { return std::optional<FeaturePrint>(FeaturePrint({0.0f})); });
    finder.scan(dir);
    ASSERT_TRUE(testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; }));
    ASSERT_EQ(finder.groups().size(), 1);
    const SimilarPhotoGroup set = finder.groups()[0];
    trash->failFor(set.files[1], "Read-only file system");
    EXPECT_EQ(finder.trash(set),
              QStringList({QFileInfo(set.files[1]).fileName() + ": Read-only file system"}));
    ASSERT_EQ(finder.groups().size(), 1);
    EXPECT_NE(finder.groups()[0].id, set.id);
    EXPECT_EQ(finder.groups()[0].files, QStringList({set.files[0], set.files[1]}));
}

// A photo whose name is not UTF-8 is found, printed and moved by its own bytes, never through
// the name Qt's lossy decoding gives it (U+FFFD for the bad byte), which here is another photo
// of another scene. The folder searched is named so too.
TEST(SimilarPhotoFinder, APhotoNamedWithBytesThatAreNotUtf8IsReadByThem) {
    const QString parent = testsupport::freshDir("photo-bytes");
    const QString trashDir = testsupport::freshDir("photo-bytes-trash");
    const Cleanup cleanup{{parent, trashDir}};
    const QString dir = makeFolder(byteName(parent, "album-\xE9"));
    const QImage sky = scene(3);
    const QString odd = writeBytes(byteName(dir, "caf\xE9.jpg"), jpeg(sky));
    const QString lossy = writeBytes(byteName(dir, "caf\xEF\xBF\xBD.jpg"), jpeg(scene(6)));
    const QString reduced = writeBytes(dir + "/reduced.jpg", jpeg(sky.scaled(480, 360), 70));

    SimilarPhotoFinder finder(std::make_shared<FreedesktopTrash>(trashDir), {}, 3);
    finder.scan(dir);
    ASSERT_TRUE(testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; }));
    ASSERT_EQ(finder.groups().size(), 1);
    EXPECT_EQ(finder.groups()[0].files, QStringList({odd, reduced}));

    const QStringList errors = keptBestOfEach(finder);
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
    EXPECT_FALSE(exists(reduced));
    EXPECT_TRUE(exists(trashDir + "/files/reduced.jpg"));
    EXPECT_TRUE(exists(odd));
    EXPECT_TRUE(exists(lossy));
}

// A photo changed after the scan is printed again before the move: one that still looks like
// the photo kept moves, one that no longer does stays with a line that says why, and a changed
// keeper keeps the photos that no longer look like it. Photos left alone are not read again.
TEST(SimilarPhotoFinder, PhotosChangedAfterTheScanAreLookedAtAgain) {
    const QString dir = testsupport::freshDir("photos-changed");
    for (const auto& [name, number] : {std::pair{"big", 5}, {"keep", 7}, {"full", 3}}) {
        const QImage picture = scene(number);
        savePhoto(picture, QStringLiteral("%1/%2.jpg").arg(dir, name));
    }
    savePhoto(scene(5).scaled(480, 360), dir + "/small.jpg", 70);
    savePhoto(scene(7).scaled(480, 360), dir + "/copy.jpg", 70);
    savePhoto(scene(3).scaled(480, 360), dir + "/reduced.jpg", 70);
    savePhoto(scene(9), dir + "/alone.jpg");
    savePhoto(scene(9).scaled(480, 360), dir + "/alone-copy.jpg", 70);

    std::atomic<int> prints{0};
    auto trash = std::make_shared<FakeTrash>(testsupport::freshDir("trash"));
    SimilarPhotoFinder finder(
        trash,
        [&prints](const QString& path) {
            ++prints;
            return FeaturePrint::ofFile(path);
        },
        3);
    finder.scan(dir);
    ASSERT_TRUE(testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; }));
    ASSERT_EQ(finder.groups().size(), 4);

    // Re-encoded, still the same scene; another scene; the keeper of a set now another scene.
    editInPlace(dir + "/small.jpg", jpeg(scene(5).scaled(400, 300), 50));
    editInPlace(dir + "/reduced.jpg", jpeg(scene(6).scaled(480, 360), 70));
    editInPlace(dir + "/keep.jpg", jpeg(scene(8)));
    prints = 0;
    EXPECT_EQ(keptBestOfEach(finder),
              QStringList({"copy.jpg: the photo kept changed after the scan and no longer looks "
                           "like this one, so it was not moved.",
                           "reduced.jpg: it changed after the scan and no longer looks like the "
                           "photo kept, so it was not moved."}));
    EXPECT_EQ(prints.load(), 3);
    QStringList moved = trash->moved();
    moved.sort();
    EXPECT_EQ(moved, QStringList({dir + "/alone-copy.jpg", dir + "/small.jpg"}));
    EXPECT_EQ(finder.removableCount(), 2);
}
