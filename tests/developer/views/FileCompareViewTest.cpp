#include "developer/views/FileCompareView.h"
#include "developer/DiffRowModel.h"
#include "developer/FileCompare.h"
#include "developer/views/CompareDropZone.h"
#include "developer/views/CompareExplainButton.h"
#include "developer/views/CompareFileFacts.h"
#include "developer/views/CompareImagePair.h"
#include "developer/views/CompareVerdict.h"
#include "developer/views/DiffRowDelegate.h"
#include "fakes/FakeLanguageModel.h"
#include "platform/LinuxDocumentText.h"
#include "shell/ScreenState.h"
#include "support/AccessTime.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSymbol.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QTest>
#include <QThreadPool>

namespace {

using Side = FileCompare::Side;
using Page = FileCompareText::ResultPage;

QString write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray numbered(int count) {
    QByteArray text;
    for (int k = 1; k <= count; ++k)
        text += "line " + QByteArray::number(k) + (k < count ? "\n" : "");
    return text;
}

struct Screen {
    ScreenState state;
    FakeLanguageModel model;
    FileCompare compare{state, model, std::make_shared<LinuxDocumentText>()};
    std::unique_ptr<FileCompareView> view = std::make_unique<FileCompareView>(state, compare);
    QList<QUrl> picks; // what the file picker answers, in turn

    Screen() {
        view->setFilePicker([this](QWidget*) -> std::optional<QUrl> {
            if (picks.isEmpty())
                return std::nullopt;
            return picks.takeFirst();
        });
        view->resize(900, 640);
        view->show();
    }
    void pair(const QString& left, const QString& right) {
        compare.setSide(QUrl::fromLocalFile(left), Side::Left);
        compare.setSide(QUrl::fromLocalFile(right), Side::Right);
        settle();
    }
    void settle() {
        ASSERT_TRUE(testsupport::waitFor([this] { return !state.compareBusy(); }, 10000));
    }
    bool visible(QWidget* w) const { return w->isVisibleTo(view.get()); }
    template <typename T> T* part(const char* name) const { return Find::part<T>(*view, name); }
    CompareDropZone* zone(Side side) const {
        return part<CompareDropZone>(side == Side::Left ? "compareLeftZone" : "compareRightZone");
    }
    CompareVerdict* verdict() const { return part<CompareVerdict>("compareVerdict"); }
    CompareFileFacts* facts() const { return part<CompareFileFacts>("compareFileFacts"); }
};

void drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent event(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    EXPECT_TRUE(event.isAccepted());
}

} // namespace

TEST(FileCompareView, StartsByInvitingTwoFilesAndFillsAZoneWhenOneIsPicked) {
    Screen s;
    for (Side side : {Side::Left, Side::Right}) {
        CompareDropZone* zone = s.zone(side);
        EXPECT_EQ(Find::part<QKSymbol>(zone, "zoneSymbol")->symbol(),
                  QStringLiteral("doc.badge.plus"));
        EXPECT_EQ(Find::part<QKLineLabel>(zone, "zoneDetail")->text(),
                  QStringLiteral("Click to choose, or drop a file here"));
    }
    EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Left), "zoneName")->text(),
              QStringLiteral("First file"));
    EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Right), "zoneName")->text(),
              QStringLiteral("Second file"));
    // An empty zone is read as its side, not its side twice; the invitation is its description.
    EXPECT_EQ(s.zone(Side::Left)->accessibleName(), QStringLiteral("First file"));
    EXPECT_EQ(s.zone(Side::Right)->accessibleDescription(),
              QStringLiteral("Click to choose, or drop a file here"));
    EXPECT_EQ(s.view->resultPage(), Page::Pick);
    EXPECT_EQ(s.part<QKEmptyState>("comparePick")->title(), QStringLiteral("Pick two files"));
    EXPECT_FALSE(s.visible(s.part<CompareExplainButton>("explainChanges")));
    EXPECT_FALSE(s.visible(s.verdict()));
    EXPECT_FALSE(s.visible(s.part<QKCardSurface>("explanationBox")));
    EXPECT_FALSE(s.visible(s.part<QKIconLabel>("unavailableNote")));

    const QString dir = testsupport::freshDir("pick");
    s.picks = {QUrl::fromLocalFile(write(dir + "/Offer.txt", "a\n"))};
    QTest::mouseClick(s.zone(Side::Left), Qt::LeftButton);
    CompareDropZone* left = s.zone(Side::Left);
    EXPECT_EQ(Find::part<QKSymbol>(left, "zoneSymbol")->symbol(), QStringLiteral("doc.fill"));
    EXPECT_EQ(Find::part<QKLineLabel>(left, "zoneName")->text(), QStringLiteral("Offer.txt"));
    EXPECT_EQ(Find::part<QKLineLabel>(left, "zoneDetail")->text(), dir);
    EXPECT_EQ(left->accessibleName(), QStringLiteral("First file: Offer.txt"));
    EXPECT_EQ(s.view->resultPage(), Page::Pick);
    EXPECT_FALSE(s.state.compareBusy());

    // A cancelled picker changes nothing.
    QTest::mouseClick(s.zone(Side::Right), Qt::LeftButton);
    EXPECT_EQ(s.state.compareRight(), std::nullopt);

    // From the keyboard, Return and Enter ask as Space does.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        const QString name = QStringLiteral("Key%1.txt").arg(int(key));
        s.picks = {QUrl::fromLocalFile(write(dir + "/" + name, "b\n"))};
        QTest::keyClick(s.zone(Side::Right), key);
        EXPECT_TRUE(s.picks.isEmpty()) << name.toStdString();
        EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Right), "zoneName")->text(), name);
        s.settle();
    }
}

TEST(FileCompareView, ADropUsesItsFirstFileOnlyAndReplacesThatSide) {
    Screen s;
    const QString dir = testsupport::freshDir("drop");
    const QString a = write(dir + "/a.txt", "a\n"), b = write(dir + "/b.txt", "b\n"),
                  c = write(dir + "/c.txt", "c\n");
    s.compare.setSide(QUrl::fromLocalFile(a), Side::Left);
    drop(s.zone(Side::Right),
         {QUrl::fromLocalFile(b), QUrl::fromLocalFile(c), QUrl::fromLocalFile(a)});
    EXPECT_EQ(s.state.compareRight(), QUrl::fromLocalFile(b));
    EXPECT_EQ(s.state.compareLeft(), QUrl::fromLocalFile(a));
    s.settle();
    drop(s.zone(Side::Right), {});
    drop(s.zone(Side::Right), {QUrl("https://example.org/x.txt")});
    EXPECT_EQ(s.state.compareRight(), QUrl::fromLocalFile(b));

    // The same file on both sides.
    drop(s.zone(Side::Right), {QUrl::fromLocalFile(a)});
    s.settle();
    EXPECT_EQ(s.verdict()->verdict(), FileCompareText::Verdict::Identical);
    EXPECT_TRUE(s.visible(Find::part<QKIconLabel>(s.verdict(), "verdictIdentical")));
    EXPECT_FALSE(s.visible(s.part<CompareExplainButton>("explainChanges")));
}

TEST(FileCompareView, ALineDiffShowsItsCountsRowsAndTheExplanation) {
    Screen s;
    const QString dir = testsupport::freshDir("text");
    s.pair(write(dir + "/a.txt", "keep\nold one\nkeep too\n"),
           write(dir + "/b.txt", "keep\nnew one\nkeep too\nadded\nadded again\n"));
    ASSERT_EQ(s.state.compareSummary(), (DiffSummary{2, 0, 1}));
    EXPECT_EQ(s.view->resultPage(), Page::Text);
    EXPECT_FALSE(s.visible(s.part<QWidget>("extractionBanner")));
    CompareVerdict* verdict = s.verdict();
    EXPECT_EQ(Find::part<QKIconLabel>(verdict, "addedCount")->text(), QStringLiteral("2"));
    EXPECT_EQ(Find::part<QKIconLabel>(verdict, "removedCount")->text(), QStringLiteral("0"));
    EXPECT_EQ(Find::part<QKIconLabel>(verdict, "changedCount")->text(), QStringLiteral("1"));
    EXPECT_TRUE(s.visible(Find::part<QKIconLabel>(verdict, "removedCount"))); // zeros are shown too
    // A figure beside a symbol is heard as what it counts.
    const auto heard = [verdict](const char* name) {
        return QAccessible::queryAccessibleInterface(
                   Find::part<QKIconLabel>(verdict, name)->textLabel())
            ->text(QAccessible::Name);
    };
    EXPECT_EQ(heard("addedCount"), "2 lines added");
    EXPECT_EQ(heard("removedCount"), "0 lines removed");
    EXPECT_EQ(heard("changedCount"), "1 line changed");
    EXPECT_EQ(s.part<QListView>("diffList")->model()->rowCount(), s.state.compareRows().size());
    EXPECT_TRUE(s.part<QListView>("diffList")->uniformItemSizes());

    CompareExplainButton* explain = s.part<CompareExplainButton>("explainChanges");
    ASSERT_TRUE(s.visible(explain));
    EXPECT_EQ(explain->label(), QStringLiteral("Explain changes"));
    s.model.setHeld(true);
    s.model.scriptAnswer(QStringLiteral("Clause one was reworded and two lines were added."));
    QTest::mouseClick(explain, Qt::LeftButton);
    EXPECT_EQ(explain->label(), QStringLiteral("Reading…"));
    EXPECT_FALSE(explain->isEnabled());
    EXPECT_TRUE(s.visible(Find::part<QKIconLabel>(verdict, "changedCount")));
    s.model.release();
    ASSERT_TRUE(
        testsupport::waitFor([&] { return s.visible(s.part<QKCardSurface>("explanationBox")); }));
    EXPECT_EQ(s.part<QLabel>("explanationText")->text(),
              QStringLiteral("Clause one was reworded and two lines were added."));
    EXPECT_TRUE(explain->isEnabled());

    // Without a model the note appears and the comparison stays.
    s.model.available = false;
    QTest::mouseClick(explain, Qt::LeftButton);
    EXPECT_TRUE(s.visible(s.part<QKIconLabel>("unavailableNote")));
    EXPECT_EQ(s.view->resultPage(), Page::Text);

    // Coming back to the section shows the same comparison.
    s.view = std::make_unique<FileCompareView>(s.state, s.compare);
    s.view->show();
    EXPECT_EQ(s.view->resultPage(), Page::Text);
    EXPECT_EQ(s.part<QListView>("diffList")->model()->rowCount(), s.state.compareRows().size());
    EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Left), "zoneName")->text(),
              QStringLiteral("a.txt"));
}

TEST(FileCompareView, AFirstRunShowsTheRowsKnownAheadAndKeepsThePlaceInThem) {
    Screen s;
    const QString dir = testsupport::freshDir("ahead");
    // The files differ from their first line on.
    QByteArray left = "x\n" + numbered(1000) + "\n", right = numbered(1000) + "\n";
    for (int k = 0; k < 3000; ++k) {
        left += "old " + QByteArray::number(k) + "\n";
        right += "new " + QByteArray::number(k * 7) + "\n";
    }
    QListView* list = s.part<QListView>("diffList");
    int shownAhead = -1;
    Page pageAhead = Page::Pick;
    // Connected after the view, so it sees what the view made of the rows.
    QObject::connect(&s.compare, &FileCompare::rowsAhead, [&] {
        shownAhead = list->model()->rowCount();
        pageAhead = s.view->resultPage();
        list->setCurrentIndex(list->model()->index(120, 0));
        list->scrollTo(list->model()->index(100, 0), QAbstractItemView::PositionAtTop);
    });
    s.pair(write(dir + "/a.txt", left), write(dir + "/b.txt", right));
    EXPECT_EQ(shownAhead, FileCompare::aheadRows);
    EXPECT_EQ(pageAhead, Page::Text);
    EXPECT_EQ(list->model()->rowCount(), s.state.compareRows().size());
    EXPECT_EQ(list->currentIndex().row(), 120);
    // The result's panels resize the list, which lays its rows out again, in batches.
    EXPECT_TRUE(testsupport::waitFor([&] { return list->indexAt(QPoint(0, 0)).isValid(); }, 5000));
    EXPECT_EQ(list->indexAt(QPoint(0, 0)).row(), 100);

    // The next pair shows none of the last pair's rows before its own.
    s.compare.setSide(QUrl::fromLocalFile(write(dir + "/c.txt", "y\n" + left)), Side::Left);
    EXPECT_EQ(list->model()->rowCount(), 0);
    s.settle();
    EXPECT_EQ(s.view->resultPage(), Page::Text);
    EXPECT_EQ(list->model()->rowCount(), s.state.compareRows().size());
}

TEST(FileCompareView, DocumentsCarryTheExtractionBannerAndErrorsTheirPanel) {
    Screen s;
    const QString fx = testsupport::fixture("developer/");
    s.pair(fx + "terms-plain.docx", fx + "terms-styled.docx");
    EXPECT_TRUE(s.visible(s.part<QWidget>("extractionBanner")));
    EXPECT_EQ(s.verdict()->verdict(), FileCompareText::Verdict::Identical);

    const QString dir = testsupport::freshDir("err");
    s.pair(write(dir + "/a.txt", "a\n"), write(dir + "/bad.txt", QByteArray(9000, 'b') + "\xff"));
    EXPECT_EQ(s.view->resultPage(), Page::Error);
    EXPECT_EQ(s.part<QKEmptyState>("compareError")->title(), QStringLiteral("Couldn't compare"));
    EXPECT_EQ(s.part<QKEmptyState>("compareError")->message(),
              QStringLiteral("One of the files couldn't be read as text."));
    EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Right), "zoneName")->text(),
              QStringLiteral("bad.txt"));
}

TEST(FileCompareView, ImagesSitSideBySideAndABadOneCannotBePreviewed) {
    Screen s;
    const QString dir = testsupport::freshDir("images");
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(dir + "/good.png"));
    s.pair(dir + "/good.png", write(dir + "/broken.jpg", "not a jpeg at all"));
    ASSERT_EQ(s.view->resultPage(), Page::Image);
    EXPECT_EQ(s.verdict()->verdict(), FileCompareText::Verdict::Different);
    const QList<QWidget*> columns = s.view->imagePair()->columns();
    ASSERT_EQ(columns.size(), 2);
    ASSERT_TRUE(testsupport::waitFor([&] {
        return CompareImagePair::pictureOf(columns[0])->isFinished() &&
               CompareImagePair::pictureOf(columns[1])->isFinished();
    }));
    EXPECT_TRUE(CompareImagePair::pictureOf(columns[0])->hasImage());
    EXPECT_FALSE(CompareImagePair::showsCannotPreview(columns[0]));
    EXPECT_TRUE(CompareImagePair::showsCannotPreview(columns[1]));
    EXPECT_EQ(columns[1]->findChild<QKLineLabel*>("pictureName")->text(),
              QStringLiteral("broken.jpg"));
}

// The picture comes back to the widget that asked for it, and to nothing once that widget has
// gone: a compare closed while its pictures decode must not be written to.
TEST(ComparePicture, ThePictureArrivesAndAWidgetGoneBeforeItIsLeftAlone) {
    const QString dir = testsupport::freshDir("picture");
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::darkMagenta);
    ASSERT_TRUE(image.save(dir + "/wide.png"));

    ComparePicture shown(dir + "/wide.png");
    QList<bool> reports;
    QObject::connect(&shown, &ComparePicture::finished, [&](bool ok) { reports << ok; });
    ASSERT_TRUE(testsupport::waitFor([&] { return shown.isFinished(); }));
    EXPECT_TRUE(shown.hasImage());
    EXPECT_EQ(reports, QList<bool>{true});

    // Gone before the event loop could hand anything back, whether the decode has ended or not.
    for (int i = 0; i < 20; ++i)
        delete new ComparePicture(dir + "/wide.png");
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, QList<bool>{true});
}

TEST(FileCompareView, OtherFilesShowTheirFactsAndTheTooBigNote) {
    Screen s;
    const QString dir = testsupport::freshDir("facts");
    const QString a = write(dir + "/a.bin", QByteArray("\0\1\2", 3));
    s.pair(a, write(dir + "/b.bin", QByteArray("\0\1\3", 3)));
    ASSERT_EQ(s.view->resultPage(), Page::Facts);
    EXPECT_EQ(s.verdict()->verdict(), FileCompareText::Verdict::Different);
    CompareFileFacts* facts = s.facts();
    EXPECT_FALSE(s.visible(Find::part<QKIconLabel>(facts, "tooBigNote")));
    ASSERT_EQ(Find::parts<QWidget>(facts, "factsBox").size(), 2);
    QWidget* box = Find::parts<QWidget>(facts, "factsBox").first();
    EXPECT_EQ(box->findChild<QKLineLabel*>("factsName")->text(), QStringLiteral("a.bin"));
    EXPECT_EQ(box->findChild<QLabel*>("factsSize")->text(), QStringLiteral("Size: 3 bytes"));
    EXPECT_TRUE(box->findChild<QLabel*>("factsModified")->text().startsWith("Modified: "));
    EXPECT_EQ(box->findChild<QKLineLabel*>("factsPath")->text(), a);

    QByteArray many;
    for (int k = 0; k < 20001; ++k)
        many += "x\n";
    s.pair(write(dir + "/big.txt", many), write(dir + "/small.txt", "x\n"));
    EXPECT_EQ(s.view->resultPage(), Page::Facts);
    EXPECT_TRUE(s.visible(Find::part<QKIconLabel>(s.facts(), "tooBigNote")));

    // A vanished file: 0 bytes and no date.
    s.compare.setSide(QUrl::fromLocalFile(dir + "/gone.bin"), Side::Left);
    s.settle();
    QWidget* gone = Find::parts<QWidget>(s.facts(), "factsBox").first();
    EXPECT_EQ(gone->findChild<QLabel*>("factsSize")->text(), QStringLiteral("Size: Zero KB"));
    EXPECT_EQ(gone->findChild<QLabel*>("factsModified"), nullptr);
}

// Showing two files, their icons and pictures included, must not make them look recently opened.
TEST(FileCompareView, ShowingTheFilesLeavesTheirAccessTimes) {
    const QString dir = testsupport::freshDir("facts-atime");
    if (!testsupport::plainReadsMoveAccessTime(dir))
        GTEST_SKIP() << "reads on this mount never move the access time";
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(dir + "/shot.png", "PNG"));
    // Names that tell no kind, so an icon by kind would have to look inside.
    const QStringList files = {write(dir + "/first", QByteArray("\0\1\2", 3)),
                               write(dir + "/second", QByteArray("\0\1\3", 3)), dir + "/shot.png"};
    QList<qint64> before;
    for (const QString& file : files) {
        testsupport::ageFile(file);
        before.append(testsupport::accessTimeNs(file));
    }
    Screen s;
    s.pair(files[0], files[1]);
    ASSERT_EQ(s.view->resultPage(), Page::Facts);
    EXPECT_FALSE(ComparePicture::load(files[2]).isNull());
    for (qsizetype i = 0; i < files.size(); ++i)
        EXPECT_EQ(testsupport::accessTimeNs(files[i]), before[i]) << files[i].toStdString();
}

TEST(FileCompareView, TabReachesTheDiffAndTheKeysWalkItsRows) {
    Screen s;
    const QString dir = testsupport::freshDir("keys");
    QByteArray left, right;
    for (int i = 0; i < 300; ++i) {
        left += "line " + QByteArray::number(i) + "\n";
        right += (i % 7 ? "line " : "other ") + QByteArray::number(i) + "\n";
    }
    s.pair(write(dir + "/a.txt", left), write(dir + "/b.txt", right));
    ASSERT_EQ(s.view->resultPage(), Page::Text);
    QListView* list = s.part<QListView>("diffList");
    const QImage untouched = list->grab().toImage();
    s.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.view.get()));

    s.zone(Side::Right)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 10 && QApplication::focusWidget() != list; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), list) << "Tab never reached the diff";
    ASSERT_TRUE(s.view->window()->testAttribute(Qt::WA_KeyboardFocusChange));
    EXPECT_EQ(list->currentIndex().row(), 0);
    EXPECT_NE(list->grab().toImage(), untouched) << "keyboard focus does not show";

    const auto press = [&](Qt::Key key) {
        QTest::keyClick(list, key);
        return list->currentIndex().row();
    };
    const int rows = list->model()->rowCount();
    EXPECT_EQ(press(Qt::Key_Down), 1);
    EXPECT_GT(press(Qt::Key_PageDown), 5);
    EXPECT_EQ(press(Qt::Key_End), rows - 1);
    EXPECT_TRUE(list->viewport()->rect().intersects(list->visualRect(list->currentIndex())));
    const int beforeUp = list->currentIndex().row();
    const int afterPageUp = press(Qt::Key_PageUp);
    EXPECT_LT(afterPageUp, beforeUp - 5);
    EXPECT_EQ(press(Qt::Key_Up), afterPageUp - 1);
    EXPECT_EQ(press(Qt::Key_Home), 0);
    EXPECT_TRUE(list->selectionModel()->selectedIndexes().isEmpty()) << "the diff selects nothing";

    // The current row is the focused cell of the table a screen reader reads.
    QTest::keyClick(list, Qt::Key_Down);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_TRUE(table->tableInterface()->cellAt(1, 0)->state().focused);
    EXPECT_FALSE(table->tableInterface()->cellAt(0, 0)->state().focused);

    // Without the focus nothing is marked: the list looks as it did before the keys.
    list->clearFocus();
    QApplication::processEvents();
    EXPECT_FALSE(table->tableInterface()->cellAt(1, 0)->state().focused);
    list->scrollToTop();
    EXPECT_EQ(list->grab().toImage(), untouched);
}
