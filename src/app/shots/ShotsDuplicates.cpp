#include "app/shots/Shots.h"

#include "duplicates/DuplicateFinder.h"
#include "duplicates/SimilarPhotoFinder.h"
#include "duplicates/views/ComparisonSheet.h"
#include "duplicates/views/DuplicateGroupRow.h"
#include "duplicates/views/DuplicatesView.h"
#include "fakes/FakeTrash.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKLazyColumn.h"
#include "ui-kit/Themed.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// A holiday "photo": a sky, the sea or a meadow, a sun and a few shapes, from a seed.
QImage photo(int seed, QSize size = QSize(1600, 1200)) {
    QRandomGenerator rng(quint32(seed) * 131u + 7u);
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int hue = rng.bounded(360);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(hue, 110, 235));
    sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 70, 250));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xE0, 0x7A));
    p.drawEllipse(QPointF(size.width() * (0.2 + rng.bounded(60) / 100.0), size.height() * 0.25),
                  size.width() * 0.07, size.width() * 0.07);
    p.setBrush(QColor::fromHsv(rng.bounded(2) ? 200 : 110, 150, 130 + rng.bounded(60)));
    const qreal horizon = size.height() * (0.5 + rng.bounded(20) / 100.0);
    p.drawRect(QRectF(0, horizon, size.width(), size.height() - horizon));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor::fromHsv(rng.bounded(360), 160, 90 + rng.bounded(120)));
        p.drawEllipse(QRectF(rng.bounded(size.width()), horizon - size.height() * 0.1,
                             size.width() * 0.15, size.height() * 0.2));
    }
    p.end();
    return image;
}

QString save(const QImage& image, const QString& path, int quality = 90) {
    image.save(path, nullptr, quality);
    return path;
}

// A folder like a user's Pictures and Documents with a few exact copies and look-alike shots.
QString sampleFolder() {
    const QString dir = QDir::homePath() + QStringLiteral("/Pictures/Holiday 2024");
    QDir().mkpath(dir + "/Edited");
    QDir().mkpath(dir + "/Backup");
    const QImage beach = photo(1);
    save(beach, dir + "/IMG_2041.jpg");
    QFile::copy(dir + "/IMG_2041.jpg", dir + "/Backup/IMG_2041.jpg");
    QFile::copy(dir + "/IMG_2041.jpg", dir + "/Edited/IMG_2041 copy.jpg");
    save(beach.scaled(800, 600, Qt::KeepAspectRatio, Qt::SmoothTransformation),
         dir + "/IMG_2041-small.jpg", 75);
    const QImage meadow = photo(4);
    save(meadow, dir + "/IMG_2107.jpg");
    save(meadow.scaled(1024, 768, Qt::KeepAspectRatio, Qt::SmoothTransformation),
         dir + "/Edited/IMG_2107-share.jpg", 70);
    save(photo(9), dir + "/IMG_2230.png");
    QFile::copy(dir + "/IMG_2230.png", dir + "/Backup/IMG_2230.png");
    QByteArray report(180000, Qt::Uninitialized);
    for (qsizetype i = 0; i < report.size(); ++i)
        report[i] = char((i * 31) ^ (i >> 7));
    Shots::writeFile(dir + "/Trip budget.pdf", report);
    Shots::writeFile(dir + "/Backup/Trip budget.pdf", report);
    Shots::writeFile(dir + "/Backup/Trip budget (1).pdf", report);
    return dir;
}

struct DuplicatesShot {
    ScreenState screen;
    std::shared_ptr<FakeTrash> trash =
        std::make_shared<FakeTrash>(QDir::homePath() + QStringLiteral("/shots-trash"));
    DuplicateFinder finder{trash};
    SimilarPhotoFinder similar{trash};
    QWidget window;
    DuplicatesView* view;

    DuplicatesShot() {
        QVBoxLayout* layout = Shots::column(&window, QStringLiteral("duplicates"));
        view = new DuplicatesView(screen, finder, similar, &window);
        layout->addWidget(view);
        window.resize(1000, 720);
    }

    void scan(const QString& folder) {
        view->scanFolder(folder);
        Shots::waitFor(
            [this] {
                return finder.state().phase == ScanPhase::Done &&
                       similar.state().phase == ScanPhase::Done;
            },
            20000);
    }

    // The thumbnails are decoded on the pool: drained, so every picture is in before the grab.
    void save(ShotContext& ctx, const QString& name) {
        window.show();
        Shots::drain(8);
        ctx.save(&window, name);
    }
};

} // namespace

// The duplicates screen before a pick, with exact groups (a keeper chosen in the first row) and
// with look-alike sets, in light and dark at the smallest and largest text size; the comparison
// sheet; and the empty results.
void renderDuplicatesShots(ShotContext& ctx) {
    const QString folder = sampleFolder();
    {
        DuplicatesShot shot;
        shot.save(ctx, QStringLiteral("duplicates-idle"));
        shot.scan(folder);
        shot.save(ctx, QStringLiteral("duplicates-exact"));
        for (DuplicateGroupRow* row : shot.view->findChildren<DuplicateGroupRow*>()) {
            row->choose(row->group().files.value(1));
            break;
        }
        ctx.eachLook([&](const ShotLook& look) {
            shot.screen.setDuplicateMode(DuplicatesMode::Exact);
            shot.save(ctx, QStringLiteral("duplicates-exact") + look.suffix());
            shot.screen.setDuplicateMode(DuplicatesMode::Similar);
            shot.save(ctx, QStringLiteral("duplicates-similar") + look.suffix());
        });
        shot.screen.setDuplicateThumbSize(220);
        shot.save(ctx, QStringLiteral("duplicates-similar-large-thumbs"));
        if (!shot.similar.groups().isEmpty()) {
            const SimilarPhotoGroup set = shot.similar.groups().first();
            for (int i : {0, 1}) {
                shot.view->openComparison(set.files, set.files.value(i));
                Shots::waitFor([&] { return shot.view->comparisonSheet() != nullptr; }, 20000);
                ComparisonSheet* sheet = shot.view->comparisonSheet();
                Themed::apply(sheet);
                Shots::drain(8);
                ctx.save(sheet, QStringLiteral("duplicates-compare-sheet-%1").arg(i));
                sheet->close();
            }
            ctx.setLook(QStringLiteral("Dark"), 4);
            shot.view->openComparison(set.files, set.files.value(0));
            Shots::drain(8);
            ctx.save(shot.view->comparisonSheet(), QStringLiteral("duplicates-compare-sheet-dark"));
            shot.view->comparisonSheet()->close();
            ctx.resetLook();
        }
        shot.screen.setDuplicateMode(DuplicatesMode::Exact);
        shot.view->exactList()->verticalScrollBar()->setValue(0);
        shot.view->requestCleanAll();
        shot.save(ctx, QStringLiteral("duplicates-confirm-clean-all"));
        shot.window.hide();
    }
    {
        DuplicatesShot shot;
        const QString empty = QDir::homePath() + QStringLiteral("/Documents/Taxes");
        QDir().mkpath(empty);
        Shots::writeFile(empty + "/2023.txt", QByteArray(2000, 'a'));
        shot.scan(empty);
        shot.save(ctx, QStringLiteral("duplicates-exact-none"));
        shot.screen.setDuplicateMode(DuplicatesMode::Similar);
        shot.save(ctx, QStringLiteral("duplicates-similar-none"));
        shot.view->scanFolder(QDir::homePath() + QStringLiteral("/Nowhere"));
        shot.screen.setDuplicateMode(DuplicatesMode::Exact);
        Shots::waitFor([&] { return !shot.finder.state().isRunning(); }, 20000);
        shot.save(ctx, QStringLiteral("duplicates-exact-failed"));
        shot.window.hide();
    }
}
