// The look-alike sets on the screen: their photos, the side-by-side sheet they open, and pictures
// decoded away from the main thread.
#include "duplicates/views/DuplicatesViewTestSupport.h"

using namespace duptest;

// The look-alike thumbnails are buttons named after their photos: Space, Return and a reader's
// "Press" open the side-by-side sheet as a click does.
TEST(DuplicatesView, AThumbnailOpensTheSheetByKeyOrByAReader) {
    Screen s;
    const QString dir = sampleFolder();
    SimilarSetRow* row = s.scanForOneSet(dir);
    ASSERT_NE(row, nullptr);
    const auto closeSheet = [&] {
        ASSERT_NE(s.sheet(), nullptr);
        s.sheet()->doneButton()->click();
        QCoreApplication::processEvents();
        ASSERT_FALSE(s.view->comparing().has_value());
    };

    PhotoThumb* best = photosOf(row).value(0);
    ASSERT_NE(best, nullptr);
    EXPECT_TRUE(best->focusPolicy() & Qt::TabFocus);
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(best);
    EXPECT_EQ(read->role(), QAccessible::Button);
    EXPECT_EQ(read->text(QAccessible::Name), "photo.jpg");

    QTest::keyClick(best, Qt::Key_Space);
    ASSERT_TRUE(s.view->comparing().has_value());
    EXPECT_EQ(s.sheet()->pair().left, dir + "/photo.jpg");
    closeSheet();
    QTest::keyClick(best, Qt::Key_Return);
    ASSERT_TRUE(s.view->comparing().has_value());
    closeSheet();
    read->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(testsupport::waitFor([&] { return s.view->comparing().has_value(); }));
    closeSheet();
}

TEST(DuplicatesView, LookAlikeSetsAndTheSheet) {
    Screen s;
    const QString dir = sampleFolder();
    SimilarSetRow* row = s.scanForOneSet(dir);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Find::part<QLabel>(row, "setHeader")->text(),
              "2 photos look the same · best one marked");
    EXPECT_EQ(Find::part<QPushButton>(row, "keepBest")->text(), "Keep best, trash 1");

    // The slider resizes the cells live and is remembered.
    s.part<QSlider>("thumbSlider")->setValue(200);
    EXPECT_EQ(s.state.duplicateThumbSize(), 200.0);
    PhotoThumb* best = photosOf(row).value(0);
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->width(), 200);
    EXPECT_EQ(best->height(), 140);

    // A click on the best compares it with the runner-up.
    QTest::mouseClick(best, Qt::LeftButton);
    ASSERT_TRUE(s.view->comparing().has_value());
    ComparisonSheet* sheet = s.sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->pair().left, dir + "/photo.jpg");
    EXPECT_NE(sheet->bestLabel(true), nullptr);
    EXPECT_EQ(sheet->bestLabel(false), nullptr);
    EXPECT_TRUE(sheet->infoLabel(true)->text().startsWith("640 × 480 · "));
    EXPECT_TRUE(sheet->infoLabel(false)->text().startsWith("320 × 240 · "));
    sheet->doneButton()->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(s.view->comparing().has_value());

    Find::part<QPushButton>(row, "keepBest")->click();
    EXPECT_EQ(s.view->confirmation()->pending()->title, "Trash 1 photo?");
    s.confirm();
    EXPECT_EQ(s.trash->moved(), QStringList({dir + "/photo-small.jpg"}));
    EXPECT_TRUE(s.similar.groups().isEmpty());
    EXPECT_EQ(s.part<QKEmptyState>("similarState")->title(), "No look-alike photos");
}

TEST(ComparisonSheet, InfoLineOfALargePhotoAndAnUnreadableOne) {
    const QString dir = testsupport::freshDir("sheet");
    QImage big(4032, 3024, QImage::Format_RGB32);
    big.fill(QColor(40, 90, 160));
    savePhoto(big, dir + "/big.jpg", 50);
    write(dir + "/broken.jpg", "not a picture");
    EXPECT_TRUE(ComparisonSheet::photoInfo(dir + "/big.jpg").startsWith("4032 × 3024 · "));
    ComparisonSheet sheet(
        ComparePair::forClick({dir + "/big.jpg", dir + "/broken.jpg"}, dir + "/broken.jpg"));
    EXPECT_EQ(sheet.size(), QSize(900, 620));
    EXPECT_FALSE(sheet.photo(true)->hasImage());
    EXPECT_EQ(sheet.infoLabel(true)->text(), "");
    EXPECT_EQ(sheet.bestLabel(true), nullptr);
    EXPECT_NE(sheet.bestLabel(false), nullptr);
    // Only one photo says "Best quality", yet the two stand level and are of one size.
    sheet.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet.photo(true)->y(), sheet.photo(false)->y());
    EXPECT_EQ(sheet.photo(true)->size(), sheet.photo(false)->size());
    EXPECT_EQ(sheet.infoLabel(true)->mapTo(&sheet, QPoint()).y(),
              sheet.infoLabel(false)->mapTo(&sheet, QPoint()).y());
}

// A list builds several rows in one turn of the event loop: a photo's tile must not decode it
// there. The picture is read on the pool and arrives later; a file that is no picture ends its
// read with the symbol.
TEST(PhotoThumb, ThePictureIsDecodedOffTheMainThreadAndArrivesLater) {
    const QString dir = testsupport::freshDir("thumb-later");
    const Cleanup cleanup{{dir}};
    QImage green(1200, 800, QImage::Format_RGB32);
    green.fill(QColor(20, 200, 20));
    const QString photo = writeBytes(dir + "/photo.jpg", jpeg(green));
    const QString text = writeBytes(dir + "/notes.bin", QByteArray(3000, 'x'));

    PhotoThumb thumb(photo, PhotoThumb::Mode::Fill, QStringLiteral("doc"), 6, 280);
    PhotoThumb other(text, PhotoThumb::Mode::Fill, QStringLiteral("doc"), 6, 280);
    EXPECT_TRUE(thumb.isLoading());
    EXPECT_FALSE(thumb.hasImage()) << "decoded inside the constructor, on the main thread";
    QSignalSpy loaded(&thumb, &PhotoThumb::imageLoaded);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !thumb.isLoading() && !other.isLoading(); }, 5000));
    EXPECT_TRUE(thumb.hasImage());
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_FALSE(other.hasImage());
}
