// The exact and look-alike finders' moves through the real freedesktop Trash in a sandboxed home:
// a folder between the folder searched and the copies, swapped for a link to the user's own
// files after the scan, carries nothing of those files to the Trash.
#include "duplicates/DuplicateFinder.h"
#include "duplicates/SimilarPhotoFinder.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HomeLayout.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace {

void writeCopy(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Puts `folder` aside and a link in its place to `target`, which holds files of the same names
// and bytes (the user's own, that were never found).
void swapForLink(const QString& folder, const QString& target) {
    ASSERT_TRUE(QDir().rename(folder, folder + ".was"));
    ASSERT_TRUE(QFile::link(target, folder));
}

QStringList trashed(const HomeLayout& layout) {
    return QDir(layout.trashDir() + "/files").entryList(QDir::Files | QDir::NoDotAndDotDot);
}

} // namespace

TEST(DuplicateMovesE2E, KeepingOneOfEachMovesNothingThroughAFolderSwappedForALink) {
    const HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("e2e-dup-swap"));
    const QString searched = layout.home() + "/Pictures";
    const QString mine = layout.documentsDir() + "/kept";
    const QByteArray bytes(4096, 'p');
    for (const char* name : {"a.bin", "b.bin"}) {
        writeCopy(searched + "/trip/" + QString::fromLatin1(name), bytes);
        writeCopy(mine + "/" + QString::fromLatin1(name), bytes);
    }
    DuplicateFinder finder(std::make_shared<FreedesktopTrash>(layout.trashDir()));
    finder.scan(searched);
    ASSERT_TRUE(
        testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; }, 20000));
    ASSERT_EQ(finder.groups().size(), 1);

    swapForLink(searched + "/trip", mine);
    std::optional<DuplicateFinder::TrashResult> ended;
    QObject::connect(&finder, &DuplicateFinder::keptOneOfEach,
                     [&](const DuplicateFinder::TrashResult& r) { ended = r; });
    finder.keepOneOfEach();
    ASSERT_TRUE(testsupport::waitFor([&] { return ended.has_value(); }, 20000));
    EXPECT_EQ(ended->freedBytes, 0);
    ASSERT_EQ(ended->errors.size(), 1);
    EXPECT_TRUE(ended->errors.first().contains(Trash::movedAwayText()))
        << ended->errors.first().toStdString();
    EXPECT_TRUE(QFileInfo::exists(mine + "/a.bin"));
    EXPECT_TRUE(QFileInfo::exists(mine + "/b.bin"));
    EXPECT_TRUE(trashed(layout).isEmpty());
}

TEST(DuplicateMovesE2E, KeepingTheBestPhotoMovesNothingThroughAFolderSwappedForALink) {
    const HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("e2e-photo-swap"));
    const QString searched = layout.home() + "/Pictures";
    const QString mine = layout.documentsDir() + "/kept";
    QImage photo(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x % 256, (y * 2) % 256, ((x + y) / 4) % 256));
    for (const QString& folder : {searched + "/trip", mine}) {
        QDir().mkpath(folder);
        ASSERT_TRUE(photo.save(folder + "/a.png"));
        ASSERT_TRUE(photo.scaled(320, 240).save(folder + "/b.png"));
    }
    SimilarPhotoFinder finder(std::make_shared<FreedesktopTrash>(layout.trashDir()));
    finder.scan(searched);
    ASSERT_TRUE(
        testsupport::waitFor([&] { return finder.state().phase == ScanPhase::Done; }, 20000));
    ASSERT_EQ(finder.groups().size(), 1);

    swapForLink(searched + "/trip", mine);
    const QStringList errors = finder.trash(finder.groups().first());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(Trash::movedAwayText())) << errors.first().toStdString();
    EXPECT_TRUE(QFileInfo::exists(mine + "/a.png"));
    EXPECT_TRUE(QFileInfo::exists(mine + "/b.png"));
    EXPECT_TRUE(trashed(layout).isEmpty());
}
