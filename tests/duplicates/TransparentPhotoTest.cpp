// Look-alike photos with transparency: a picture is compared as it is seen, so designs drawn in
// one colour on a clear ground are told apart by their shapes, a light design from a dark one,
// while one design at several sizes, in several colourings or flattened into a JPEG stays a set.
#include "duplicates/DuplicatesTestSupport.h"
#include "duplicates/SimilarPhotoScan.h"
#include "platform/FeaturePrint.h"

#include <cmath>
#include <QPainter>
#include <QPainterPath>

using namespace duptest;

namespace {

enum class Design { Silk, Spring, Waves, Stripes };

// A design drawn in `ink` (its alpha included) on a clear ground whose hidden colour is `ground`:
// what a wallpaper of shapes on a transparent ground stores.
QImage design(Design kind, QColor ink, QColor ground = QColor(255, 255, 255, 0),
              QSize size = QSize(960, 540)) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(ground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const qreal w = size.width(), h = size.height();
    switch (kind) {
    case Design::Silk: // two broad diagonal folds
        for (qreal at : {0.15, 0.55}) {
            QPainterPath fold;
            fold.moveTo(w * at, 0);
            fold.lineTo(w * (at + 0.25), 0);
            fold.lineTo(w * (at + 0.05), h);
            fold.lineTo(w * (at - 0.2), h);
            fold.closeSubpath();
            p.drawPath(fold);
        }
        break;
    case Design::Spring: // blossoms in the lower right
        for (int i = 0; i < 6; ++i)
            p.drawEllipse(QPointF(w * (0.55 + 0.07 * i), h * (0.9 - 0.1 * (i % 3) - 0.05 * i)),
                          w * 0.06, w * 0.06);
        break;
    case Design::Waves: { // horizontal bands that swell across the top
        QPainterPath wave;
        wave.moveTo(0, 0);
        for (int x = 0; x <= 64; ++x)
            wave.lineTo(w * x / 64.0, h * (0.3 + 0.12 * std::sin(x / 64.0 * 2 * M_PI)));
        wave.lineTo(w, 0);
        wave.closeSubpath();
        p.drawPath(wave);
        break;
    }
    case Design::Stripes:
        for (int i = 0; i < 8; i += 2)
            p.drawRect(QRectF(w * i / 8.0, 0, w / 8.0, h));
        break;
    }
    p.end();
    return image;
}

// The picture as it shows over a mid-grey desktop, with no transparency left.
QImage flattened(const QImage& image) {
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(QColor(128, 128, 128));
    QPainter p(&out);
    p.drawImage(0, 0, image);
    p.end();
    return out;
}

} // namespace

TEST(TransparentPhotos, ArePrintedAsTheyAreSeen) {
    const QString dir = testsupport::freshDir("transparent");
    const QColor white(255, 255, 255, 200);
    struct Picture {
        QString name;
        QImage image;
    };
    const QList<Picture> pictures = {
        {"silk.png", design(Design::Silk, white)},
        {"silk-1280.png", design(Design::Silk, white).scaled(1280, 720)},
        {"silk-640.png", design(Design::Silk, white)
                             .scaled(640, 360, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)},
        {"spring.png", design(Design::Spring, white)},
        {"spring-warm.png", design(Design::Spring, QColor(255, 236, 214, 200))},
        {"spring-cool.png", design(Design::Spring, QColor(218, 232, 255, 200))},
        {"waves.png", design(Design::Waves, white)},
        {"stripes-light.png", design(Design::Stripes, white)},
        {"stripes-dark.png", design(Design::Stripes, QColor(0, 0, 0, 200), QColor(0, 0, 0, 0))},
    };
    QList<SimilarPhotoScan::PhotoRecord> records;
    for (const Picture& picture : pictures) {
        const QString path = savePhoto(picture.image, dir + "/" + picture.name);
        const std::optional<FeaturePrint> print = FeaturePrint::ofFile(path);
        ASSERT_TRUE(print) << path.toStdString();
        records.append({path, *print, qint64(picture.image.width()) * picture.image.height()});
    }
    // The waves as a JPEG of what the screen showed: the same picture.
    const QString seen = savePhoto(flattened(design(Design::Waves, white)), dir + "/waves.jpg", 80);
    records.append({seen, *FeaturePrint::ofFile(seen), 960 * 540});

    QList<QStringList> sets;
    for (const SimilarPhotoGroup& set : SimilarPhotoScan::group(records)) {
        QStringList names;
        for (const QString& file : set.files)
            names << QFileInfo(file).fileName();
        names.sort();
        sets.append(names);
    }
    EXPECT_EQ(sets, QList<QStringList>({{"silk-1280.png", "silk-640.png", "silk.png"},
                                        {"spring-cool.png", "spring-warm.png", "spring.png"},
                                        {"waves.jpg", "waves.png"}}));
}
