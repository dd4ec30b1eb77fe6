// The compare screen over pictures, other files and the files it must leave as they were.
#include "developer/views/FileCompareTestSupport.h"

using namespace comparetest;

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
