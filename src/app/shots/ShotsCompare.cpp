#include "app/shots/Shots.h"

#include "developer/FileCompare.h"
#include "developer/views/CompareImagePair.h"
#include "developer/views/FileCompareView.h"
#include "fakes/FakeLanguageModel.h"
#include "platform/LinuxDocumentText.h"
#include "shell/ScreenState.h"

#include <memory>
#include <QDateTime>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// A landscape "photo": a sky gradient, a hill and a sun; the edited copy moves the sun.
QString picture(const QString& path, int sunX) {
    QImage image(960, 640, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 640);
    sky.setColorAt(0, QColor(0x4A, 0x90, 0xD9));
    sky.setColorAt(1, QColor(0xF6, 0xC1, 0x8B));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xFF, 0xE0, 0x7A));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(sunX, 220), 70, 70);
    p.setBrush(QColor(0x3F, 0x7D, 0x4E));
    p.drawEllipse(QRect(-200, 420, 1400, 600));
    p.end();
    image.save(path);
    return path;
}

const char* kContractOld = R"(SERVICE AGREEMENT

1. Parties
This agreement is made between Northwind Studio ("the Client") and Ada Lovelace ("the Contractor").

2. Scope
The Contractor will design and build the booking website described in Appendix A.
Weekly progress calls take place on Mondays at 10:00.

3. Fees
The fee for the work is 12,000 EUR, payable in two instalments.
The first instalment of 6,000 EUR is due on signature.
Invoices are payable within 30 days.

4. Term
Work starts on 1 March 2025 and ends on 30 June 2025.

5. Termination
Either party may end this agreement with 14 days' written notice.
)";

const char* kContractNew = R"(SERVICE AGREEMENT

1. Parties
This agreement is made between Northwind Studio ("the Client") and Ada Lovelace ("the Contractor").

2. Scope
The Contractor will design and build the booking website described in Appendix A.
The Contractor will also provide three months of maintenance after launch.
Weekly progress calls take place on Mondays at 10:00.

3. Fees
The fee for the work is 14,500 EUR, payable in two instalments.
The first instalment of 6,000 EUR is due on signature.
Invoices are payable within 45 days.

4. Term
Work starts on 1 March 2025 and ends on 31 July 2025.
)";

// One screen over its own state and compare run, in a window the size of the main window's
// detail card.
struct CompareShot {
    ScreenState screen;
    FakeLanguageModel model;
    FileCompare compare{screen, model, std::make_shared<LinuxDocumentText>()};
    QWidget window;
    FileCompareView* view;

    CompareShot() {
        QVBoxLayout* layout = Shots::column(&window, QStringLiteral("compare"));
        view = new FileCompareView(screen, compare, &window);
        layout->addWidget(view);
        window.resize(900, 640);
    }

    void pair(const QString& left, const QString& right) {
        const QDateTime edited(QDate(2025, 3, 14), QTime(16, 20));
        Shots::setModified(left, edited.addDays(-9));
        Shots::setModified(right, edited);
        compare.setSide(QUrl::fromLocalFile(left), FileCompare::Side::Left);
        compare.setSide(QUrl::fromLocalFile(right), FileCompare::Side::Right);
        Shots::waitFor([this] { return !screen.compareBusy(); }, 10000);
    }

    void waitForPictures() {
        Shots::waitFor(
            [this] {
                for (QWidget* column : view->imagePair()->columns()) {
                    ComparePicture* picture = CompareImagePair::pictureOf(column);
                    if (!picture || !picture->isFinished())
                        return false;
                }
                return true;
            },
            10000);
    }

    void save(ShotContext& ctx, const QString& name) {
        window.show();
        Shots::settle(8);
        ctx.save(&window, name);
    }
};

} // namespace

// The file compare: empty, a text diff with its explanation (light and dark, smallest and
// largest text size), the note without a model, documents, images, a picture that cannot be
// previewed, the facts of a binary pair and of a pair too long for lines, and an error.
void renderCompareShots(ShotContext& ctx) {
    const QString dir = QDir::homePath() + QStringLiteral("/compare-shots");
    QDir().mkpath(dir);
    const QString oldText = Shots::writeFile(dir + "/agreement-v1.txt", kContractOld);
    const QString newText = Shots::writeFile(dir + "/agreement-v2.txt", kContractNew);

    {
        CompareShot shot;
        shot.save(ctx, QStringLiteral("compare-empty"));
        shot.compare.setSide(QUrl::fromLocalFile(oldText), FileCompare::Side::Left);
        shot.save(ctx, QStringLiteral("compare-one-side"));
    }
    {
        CompareShot shot;
        shot.pair(oldText, newText);
        shot.save(ctx, QStringLiteral("compare-text"));
        shot.model.scriptAnswer(QStringLiteral(
            "The fee rises from 12,000 to 14,500 EUR and invoices are now due in 45 days "
            "instead of 30. Three months of maintenance after launch were added, the end date "
            "moves from 30 June to 31 July 2025, and the termination clause was removed."));
        shot.compare.explainChanges();
        Shots::waitFor([&] { return !shot.screen.compareAIWorking(); }, 10000);
        shot.save(ctx, QStringLiteral("compare-text-explained"));
        ctx.eachLook([&](const ShotLook& look) {
            shot.save(ctx, QStringLiteral("compare-text") + look.suffix());
        });
        shot.model.setHeld(true);
        shot.screen.setCompareAISummary(std::nullopt);
        shot.compare.explainChanges();
        shot.save(ctx, QStringLiteral("compare-text-reading"));
        shot.window.hide();
    }
    {
        CompareShot shot;
        shot.model.available = false;
        shot.pair(oldText, newText);
        shot.compare.explainChanges();
        shot.save(ctx, QStringLiteral("compare-text-unavailable"));
    }
    {
        CompareShot shot;
        const QString a = Shots::writeFile(
            dir + "/price-list.html", "<html><body><h1>Price list</h1><p>Tea: 3 EUR</p><p>Coffee: "
                                      "3.50 EUR</p><p>Cake: 4 EUR</p></body></html>");
        const QString b =
            Shots::writeFile(dir + "/price-list-new.htm",
                             "<html><body><h1>Price list</h1><p><b>Tea:</b> 3 EUR</p><p>"
                             "Coffee: 3.80 EUR</p><p>Cake: 4 EUR</p><p>Scone: 3 EUR</p>"
                             "</body></html>");
        shot.pair(a, b);
        shot.save(ctx, QStringLiteral("compare-document"));
        shot.pair(a, a);
        shot.save(ctx, QStringLiteral("compare-identical"));
    }
    {
        CompareShot shot;
        const QString a = picture(dir + "/Beach.png", 300);
        const QString b = picture(dir + "/beach-edited.jpg", 640);
        shot.pair(a, b);
        shot.waitForPictures();
        shot.save(ctx, QStringLiteral("compare-image"));
        shot.pair(a, Shots::writeFile(dir + "/broken.jpg", "not a picture"));
        shot.waitForPictures();
        shot.save(ctx, QStringLiteral("compare-image-broken"));
    }
    {
        CompareShot shot;
        QByteArray one(4096, '\0'), two(4096, '\0');
        two[100] = 1;
        shot.pair(Shots::writeFile(dir + "/firmware-1.bin", one),
                  Shots::writeFile(dir + "/firmware-2.bin", two));
        shot.save(ctx, QStringLiteral("compare-binary"));
        QByteArray many;
        for (int k = 0; k < 20001; ++k)
            many += "2025-03-01 12:00:00 request served\n";
        shot.pair(Shots::writeFile(dir + "/access.log", many),
                  Shots::writeFile(dir + "/access.log.1", many));
        shot.save(ctx, QStringLiteral("compare-too-big"));
        shot.pair(oldText,
                  Shots::writeFile(dir + "/latin1.txt", QByteArray(9000, 'a') + "caf\xe9"));
        shot.save(ctx, QStringLiteral("compare-error"));
    }
}
