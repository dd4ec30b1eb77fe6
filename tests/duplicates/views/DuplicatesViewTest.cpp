// The duplicates screen driven as a user would: picking, the header's buttons, the group row,
// the confirmations, the failure alert and the side-by-side sheet.
#include "duplicates/views/DuplicatesView.h"
#include "duplicates/DuplicateFinder.h"
#include "duplicates/DuplicatesTestSupport.h"
#include "duplicates/SimilarPhotoFinder.h"
#include "duplicates/views/ComparisonSheet.h"
#include "duplicates/views/DuplicateGroupRow.h"
#include "duplicates/views/PhotoThumb.h"
#include "duplicates/views/SimilarSetRow.h"
#include "fakes/FakeTrash.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirmItem.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKLazyColumn.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>

using namespace duptest;

namespace {

struct Screen {
    ScreenState state;
    std::shared_ptr<FakeTrash> trash =
        std::make_shared<FakeTrash>(testsupport::freshDir("view-trash"));
    DuplicateFinder finder{trash};
    SimilarPhotoFinder similar{trash};
    std::unique_ptr<DuplicatesView> view = std::make_unique<DuplicatesView>(state, finder, similar);
    QList<std::optional<QString>> picks;

    Screen() {
        view->setFolderPicker([this](QWidget*) -> std::optional<QString> {
            return picks.isEmpty() ? std::nullopt : picks.takeFirst();
        });
        view->resize(900, 700);
        view->show();
    }
    bool scanned() {
        return testsupport::waitFor([this] {
            return finder.state().phase != ScanPhase::Running &&
                   similar.state().phase != ScanPhase::Running;
        });
    }
    // Types the shown code and confirms.
    void confirm() {
        DeleteCodeSheet* sheet = view->confirmation()->sheet();
        ASSERT_NE(sheet, nullptr);
        QTest::keyClicks(sheet->entryField(), sheet->code());
        ASSERT_TRUE(sheet->confirmButton()->isEnabled());
        sheet->confirmButton()->click();
        QCoreApplication::processEvents();
    }
    template <typename T> T* part(const char* name) const { return Find::part<T>(*view, name); }
    // The row a list of the screen shows for a group, once the list has built it.
    template <typename Row> Row* row(const char* list, const QUuid& id) const {
        return qobject_cast<Row*>(part<QKLazyColumn>(list)->row(id.toString(QUuid::WithoutBraces)));
    }
    // Scans the folder in look-alike mode and hands back the row of the one set found in it.
    SimilarSetRow* scanForOneSet(const QString& dir) {
        state.setDuplicateMode(DuplicatesMode::Similar);
        view->scanFolder(dir);
        EXPECT_TRUE(scanned());
        QCoreApplication::processEvents();
        EXPECT_EQ(similar.groups().size(), 1);
        return similar.groups().size() == 1
                   ? row<SimilarSetRow>("similarList", similar.groups()[0].id)
                   : nullptr;
    }
    // The side-by-side sheet while it is open: a window of its own over the screen's.
    ComparisonSheet* sheet() const {
        return Find::maybe<ComparisonSheet>(view->window(), "comparisonSheet");
    }
    QMessageBox* failureAlert() const { return Find::maybe<QMessageBox>(*view, "trashFailures"); }
};

QList<DuplicateTile*> tilesOf(const DuplicateGroupRow* row) {
    return Find::parts<DuplicateTile>(row, "duplicateTile");
}

QList<PhotoThumb*> photosOf(const SimilarSetRow* row) {
    return Find::parts<PhotoThumb>(row, "setPhoto");
}

// Exact groups of two and three files, and one look-alike set of two photos.
QString sampleFolder() {
    const QString dir = testsupport::freshDir("sample");
    writeCopies(dir, {"/pair-a.bin", "/pair-b.bin"}, bytes(3000, 1));
    writeCopies(dir, {"/trio-a.bin", "/trio-b.bin", "/trio-c.bin"}, bytes(5000, 2));
    const QImage picture = scene(2, QSize(640, 480));
    savePhoto(picture, dir + "/photo.jpg");
    savePhoto(picture.scaled(320, 240), dir + "/photo-small.jpg", 60);
    return dir;
}

} // namespace

TEST(DuplicatesView, HeaderFollowsThePickAndTheMode) {
    Screen s;
    EXPECT_FALSE(s.part<QPushButton>("clearButton")->isVisible());
    EXPECT_FALSE(s.part<QKProminentButton>("cleanAllButton")->isVisible());
    EXPECT_EQ(s.part<QKProminentButton>("folderButton")->text(), "Choose folder…");
    EXPECT_EQ(s.part<QKEmptyState>("exactState")->title(), "Pick a folder to scan");

    // A cancelled pick changes nothing.
    s.view->pickFolder();
    EXPECT_EQ(s.finder.state().phase, ScanPhase::Idle);

    // A pick in look-alike mode runs both scans.
    s.part<SegmentedControl>("duplicateModes")->activated(1);
    EXPECT_EQ(s.state.duplicateMode(), DuplicatesMode::Similar);
    const QString dir = sampleFolder();
    s.picks.append(dir);
    s.view->pickFolder();
    EXPECT_TRUE(s.part<QPushButton>("clearButton")->isVisible());
    EXPECT_EQ(s.part<QKProminentButton>("folderButton")->text(), "Scan another folder…");
    ASSERT_TRUE(s.scanned());
    EXPECT_EQ(s.part<QLabel>("folderName")->text(), QFileInfo(dir).fileName());
    EXPECT_EQ(s.part<QKProminentButton>("cleanAllButton")->text(), "Clean all · trash 1");
    s.part<SegmentedControl>("duplicateModes")->activated(0);
    EXPECT_EQ(s.part<QKProminentButton>("cleanAllButton")->text(), "Clean all · trash 3");
    EXPECT_EQ(s.part<QKScanStatePages>("exactPane")->currentWidget(),
              s.part<QKLazyColumn>("exactList"));

    s.view->clear();
    EXPECT_FALSE(s.part<QPushButton>("clearButton")->isVisible());
    EXPECT_FALSE(s.part<QKProminentButton>("cleanAllButton")->isVisible());
    EXPECT_EQ(s.part<QKProminentButton>("folderButton")->text(), "Choose folder…");
    EXPECT_EQ(s.finder.state().phase, ScanPhase::Idle);
    EXPECT_EQ(s.similar.state().phase, ScanPhase::Idle);
}

TEST(DuplicatesView, ProgressAndEmptyPanes) {
    Screen s;
    s.view->scanFolder(testsupport::freshDir("nothing"));
    EXPECT_EQ(s.part<QLabel>("exactProgress")->text(), "Scanning… 0 files checked");
    EXPECT_EQ(s.part<QLabel>("similarProgress")->text(), "Looking for photos…");
    ASSERT_TRUE(s.scanned());
    EXPECT_EQ(s.part<QKEmptyState>("exactState")->title(), "No duplicates found");
    EXPECT_EQ(s.part<QKEmptyState>("similarState")->title(), "No look-alike photos");
    s.view->scanFolder(testsupport::home() + "/no-such-folder");
    ASSERT_TRUE(s.scanned());
    EXPECT_EQ(s.part<QKEmptyState>("exactState")->title(), "Scan failed");
    EXPECT_EQ(s.part<QKEmptyState>("exactState")->message(), "Could not read that folder.");
}

// The search leaves out small files, hidden ones and what apps hold inside: with copies of only
// those, the empty page claims no more than what was compared.
TEST(DuplicatesView, TheEmptyPageSaysWhatWasChecked) {
    Screen s;
    const QString dir = testsupport::freshDir("left-out");
    writeCopies(dir, {"/small-a.txt", "/small-b.txt"}, bytes(1023, 1));
    makeFolder(dir + "/.config");
    writeCopies(dir, {"/.config/a.bin", "/.hidden.bin"}, bytes(4096, 2));
    makeFolder(dir + "/Tool.app");
    writeCopies(dir, {"/Tool.app/lib.so", "/lib-copy.so"}, bytes(4096, 3));
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    EXPECT_TRUE(s.finder.groups().isEmpty());
    EXPECT_EQ(s.part<QKEmptyState>("exactState")->title(), "No duplicates found");
    EXPECT_EQ(s.part<QKEmptyState>("exactState")->message(),
              "Every file of 1,024 bytes or more in that folder is unique. Hidden files and the "
              "contents of apps were not checked.");
}

// A row made at one text size and shown at another still shows every tile whole, the keeper's
// label included.
TEST(DuplicatesView, GroupRowFitsItsTilesAtEveryTextSize) {
    Themed::shared();
    const QString dir = sampleFolder();
    DuplicateGroup group{QUuid::createUuid(), 3000, {dir + "/pair-a.bin", dir + "/pair-b.bin"}};
    for (int made : {int(TextSize::Smallest), int(TextSize::Largest)}) {
        UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(made));
        DuplicateGroupRow row(group, {});
        row.resize(700, row.sizeHint().height());
        row.show();
        row.choose(group.files[1]);
        QCoreApplication::processEvents();
        for (int shown : {int(TextSize::Largest), int(TextSize::Smallest)}) {
            UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(shown));
            QCoreApplication::processEvents();
            row.resize(700, row.sizeHint().height());
            QCoreApplication::processEvents();
            for (DuplicateTile* tile : tilesOf(&row))
                EXPECT_EQ(tile->visibleRegion().boundingRect(), tile->rect())
                    << "made at " << made << ", shown at " << shown;
        }
    }
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}

TEST(DuplicatesView, KeepingTheChosenCopy) {
    Screen s;
    const QString dir = sampleFolder();
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    QCoreApplication::processEvents();
    auto* row = s.row<DuplicateGroupRow>("exactList", s.finder.groups()[1].id);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->group().files.size(), 2);
    const QList<DuplicateTile*> tiles = tilesOf(row);
    EXPECT_TRUE(Find::part<QLabel>(row, "rowHeader")->text().startsWith("2 identical copies · "));
    // What the copy that would go takes on the disk: 3,000 bytes hold one 4 KB block.
    EXPECT_EQ(Find::part<QLabel>(row, "freesLine")->text(), "Frees 4 KB");
    EXPECT_FALSE(Find::part<QPushButton>(row, "keepSelected")->isEnabled());
    EXPECT_FALSE(tiles[0]->hasThumbnail()); // not a picture: the document symbol

    QTest::mouseClick(tiles[1], Qt::LeftButton);
    EXPECT_TRUE(tiles[1]->isKeeper());
    EXPECT_FALSE(Find::part<QWidget>(tiles[1], "keepingThisOne")->isHidden());
    QTest::mouseClick(tiles[0], Qt::LeftButton);
    EXPECT_TRUE(tiles[0]->isKeeper());
    EXPECT_FALSE(tiles[1]->isKeeper());
    ASSERT_TRUE(Find::part<QPushButton>(row, "keepSelected")->isEnabled());
    Find::part<QPushButton>(row, "keepSelected")->click();
    ASSERT_TRUE(s.view->confirmation()->pending().has_value());
    EXPECT_EQ(s.view->confirmation()->pending()->title, "Trash 1 duplicate?");
    EXPECT_EQ(s.view->confirmation()->pending()->message,
              "The copy you chose stays. The other 1 move to the Trash so you can undo.");

    // Cancelling trashes nothing.
    Find::part<QPushButton>(s.view->confirmation()->sheet(), "deleteCodeCancel")->click();
    EXPECT_FALSE(s.view->confirmation()->pending().has_value());
    EXPECT_TRUE(s.trash->moved().isEmpty());

    Find::part<QPushButton>(row, "keepSelected")->click();
    s.confirm();
    EXPECT_EQ(s.trash->moved(), QStringList({dir + "/pair-b.bin"}));
    EXPECT_EQ(s.finder.groups().size(), 1);
    EXPECT_EQ(s.part<QKProminentButton>("cleanAllButton")->text(), "Clean all · trash 2");
    EXPECT_TRUE(s.view->errors().isEmpty());
}

// The rows are made in the list's order from its keys: each shows its own group, also after a
// group went and the rows that stayed were kept.
TEST(DuplicatesView, EveryRowShowsTheGroupOfItsKey) {
    Screen s;
    const QString dir = testsupport::freshDir("keyed-rows");
    for (int g = 0; g < 5; ++g)
        for (const char* copy : {"a", "b"})
            write(QStringLiteral("%1/g%2-%3.bin").arg(dir).arg(g).arg(copy),
                  bytes(2000 + 100 * g, g + 1));
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    const auto rowsMatch = [&s] {
        const QList<DuplicateGroup> groups = s.finder.groups();
        EXPECT_TRUE(testsupport::waitFor(
            [&] { return s.view->exactList()->builtCount() == groups.size(); }));
        for (const DuplicateGroup& group : groups) {
            const auto* row = s.row<DuplicateGroupRow>("exactList", group.id);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->group().files, group.files);
        }
    };
    ASSERT_EQ(s.finder.groups().size(), 5);
    rowsMatch();
    const DuplicateGroup gone = s.finder.groups()[2];
    s.finder.trash(gone, gone.files[0]);
    ASSERT_EQ(s.finder.groups().size(), 4);
    rowsMatch();
}

// Without a mouse: each copy is a focusable choice named by its path; Space, Return or a
// reader's "Press" makes it the keeper, it reads as the one checked, and the button follows.
// A reader has no "Toggle" that would check a copy the row never heard of.
TEST(DuplicatesView, TheKeeperIsChosenByKeyOrByAReader) {
    Screen s;
    const QString dir = sampleFolder();
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    QCoreApplication::processEvents();
    auto* row = s.row<DuplicateGroupRow>("exactList", s.finder.groups()[0].id);
    ASSERT_NE(row, nullptr);
    const QList<DuplicateTile*> tiles = tilesOf(row);
    ASSERT_EQ(tiles.size(), 3);
    auto* keep = Find::part<QPushButton>(row, "keepSelected");
    const auto read = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w); };

    for (DuplicateTile* tile : tiles) {
        EXPECT_TRUE(tile->focusPolicy() & Qt::TabFocus);
        EXPECT_EQ(read(tile)->text(QAccessible::Name), tile->path());
        EXPECT_EQ(read(tile)->role(), QAccessible::RadioButton);
        EXPECT_TRUE(read(tile)->state().checkable);
        EXPECT_FALSE(read(tile)->state().checked);
        EXPECT_EQ(read(tile)->actionInterface()->actionNames(),
                  QStringList({QAccessibleActionInterface::setFocusAction(),
                               QAccessibleActionInterface::pressAction()}));
    }
    QTest::keyClick(tiles[1], Qt::Key_Space);
    EXPECT_TRUE(tiles[1]->isKeeper());
    EXPECT_TRUE(read(tiles[1])->state().checked);
    EXPECT_TRUE(keep->isEnabled());
    QTest::keyClick(tiles[2], Qt::Key_Return);
    EXPECT_EQ(row->keeper(), tiles[2]->path());
    EXPECT_FALSE(read(tiles[1])->state().checked);
    read(tiles[0])->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(row->keeper(), tiles[0]->path());
    EXPECT_TRUE(read(tiles[0])->state().checked);
    EXPECT_FALSE(read(tiles[2])->state().checked);

    keep->click();
    s.confirm();
    EXPECT_EQ(s.trash->moved().size(), 2);
    EXPECT_FALSE(s.trash->moved().contains(row->group().files.value(0)));
}

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

TEST(DuplicatesView, FailuresAreListedInOneAlert) {
    Screen s;
    const QString dir = sampleFolder();
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    s.trash->failFor(dir + "/pair-b.bin", "Permission denied");
    s.trash->failFor(dir + "/trio-c.bin", "Read-only file system");
    s.view->requestCleanAll();
    EXPECT_EQ(s.view->confirmation()->pending()->title, "Keep one of each, trash 3 duplicates?");
    // The moves run off the main thread; meanwhile the pane shows their progress and nothing
    // can start another scan or clean. Seen as the clean starts, since a small one may end
    // before the confirmation returns.
    bool busy = false, anyEnabled = true, alertEarly = true;
    QString progress;
    QObject::connect(&s.finder, &DuplicateFinder::cleaningChanged, [&] {
        if (!s.finder.cleaning() || !progress.isEmpty())
            return;
        busy = s.part<QKScanStatePages>("exactPane")->isShowing(QKScanPhase::Busy);
        progress = s.part<QLabel>("exactProgress")->text();
        anyEnabled = s.part<QKProminentButton>("cleanAllButton")->isEnabled() ||
                     s.part<QKProminentButton>("folderButton")->isEnabled() ||
                     s.part<QPushButton>("clearButton")->isEnabled();
        alertEarly = s.failureAlert() != nullptr;
    });
    s.confirm();
    ASSERT_TRUE(testsupport::waitFor([&] { return !progress.isEmpty(); }));
    EXPECT_TRUE(busy);
    EXPECT_EQ(progress, "Moving to the Trash… 0 of 2");
    EXPECT_FALSE(anyEnabled);
    EXPECT_FALSE(alertEarly);
    ASSERT_TRUE(testsupport::waitFor([&] { return !s.view->errors().isEmpty(); }));
    EXPECT_TRUE(s.part<QKProminentButton>("folderButton")->isEnabled());
    EXPECT_EQ(s.view->errors(),
              QStringList({"trio-c.bin: Read-only file system", "pair-b.bin: Permission denied"}));
    QMessageBox* alert = s.failureAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Some files could not be moved to the Trash");
    EXPECT_EQ(alert->informativeText().split('\n').size(), 2);
    alert->button(QMessageBox::Ok)->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(s.view->errors().isEmpty());
    EXPECT_EQ(s.failureAlert(), nullptr);
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

// A copy whose name is not UTF-8 shows its own picture, size and creation date, never those of
// the file Qt's lossy decoding names (U+FFFD for the bad byte), and its name with the bad byte
// shown.
TEST(DuplicatesView, AFileNamedWithBytesThatAreNotUtf8ShowsItself) {
    const QString dir = testsupport::freshDir("tile-bytes");
    const Cleanup cleanup{{dir}};
    QImage red(320, 200, QImage::Format_RGB32);
    red.fill(QColor(220, 20, 20));
    QImage blue(640, 400, QImage::Format_RGB32);
    blue.fill(QColor(20, 20, 220));
    const QString odd = writeBytes(byteName(dir, "caf\xE9.jpg"), jpeg(red));
    writeBytes(byteName(dir, "caf\xEF\xBF\xBD.jpg"), jpeg(blue));

    DuplicateTile tile(odd);
    tile.resize(tile.sizeHint());
    auto* thumb = tile.findChild<PhotoPicture*>();
    ASSERT_NE(thumb, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([thumb] { return thumb->hasImage(); }, 5000));
    const QColor shown =
        thumb->grab().toImage().pixelColor(thumb->width() / 2, thumb->height() / 2);
    EXPECT_GT(shown.red(), 180);
    EXPECT_LT(shown.blue(), 80);
    auto* pathLabel = tile.findChild<QLabel*>("tilePath");
    ASSERT_NE(pathLabel, nullptr);
    EXPECT_EQ(pathLabel->toolTip(), dir + "/caf\\xE9.jpg");
    EXPECT_TRUE(ComparisonSheet::photoInfo(odd).startsWith("320 × 200 · "));

    // With no file of the lossy name at all, the date still comes from the file itself, where
    // the file system keeps one.
    const QString alone = writeBytes(byteName(dir, "\xE9t\xE9.jpg"), jpeg(red));
    const QString plain = writeBytes(dir + "/plain.jpg", jpeg(red));
    const auto dated = [](const QString& path) {
        const DuplicateTile tile(path);
        return Find::maybe<QLabel>(tile, "tileCreated") != nullptr;
    };
    EXPECT_EQ(dated(alone), dated(plain));
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
