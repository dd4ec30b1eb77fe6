// The duplicates screen driven as a user would: picking, the header's buttons, the panes of each
// phase, the failure alert and names that are not UTF-8.
#include "duplicates/views/DuplicatesViewTestSupport.h"

using namespace duptest;

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
    // The list comes up once its rows are built, a turn or two after the result.
    EXPECT_TRUE(testsupport::waitFor([&] {
        return s.part<QKScanStatePages>("exactPane")->currentWidget() ==
               s.part<QKLazyColumn>("exactList");
    }));

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

TEST(DuplicatesView, CleanAllConfirmedFromTheKeyboardKeepsTheFocusWhileCopiesAreMoved) {
    Screen s;
    s.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.view.get()));
    EXPECT_EQ(s.view->accessibleName(), "Duplicates");
    s.view->scanFolder(sampleFolder());
    ASSERT_TRUE(s.scanned());
    auto* cleanAll = s.part<QKProminentButton>("cleanAllButton");
    cleanAll->setFocus(Qt::TabFocusReason);
    QTest::keyClick(cleanAll, Qt::Key_Space);
    ASSERT_NE(s.view->confirmation()->sheet(), nullptr);
    // While the moves run every header button is off: the screen's focus waits on the screen,
    // not on the next control; with nothing left to clean, "Clean all" is gone, and the focus
    // goes on to the folder button.
    std::optional<QWidget*> during;
    QObject::connect(&s.finder, &DuplicateFinder::cleaningChanged, [&] {
        if (s.finder.cleaning() && !during)
            during = s.view->window()->focusWidget();
    });
    s.confirm();
    ASSERT_TRUE(testsupport::waitFor([&] { return !s.finder.cleaning() && during; }));
    EXPECT_EQ(*during, s.view.get());
    EXPECT_FALSE(cleanAll->isVisible());
    EXPECT_EQ(s.view->window()->focusWidget(), s.part<QKProminentButton>("folderButton"));
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

TEST(DuplicatesView, AListOfManyGroupsComesUpWithTheRowsOfItsView) {
    // More groups than a view holds, found while the list is behind the progress page.
    const QString dir = testsupport::freshDir("view-many-groups");
    for (int g = 0; g < 24; ++g) {
        const QByteArray bytes = QByteArray::number(g).rightJustified(2'000, 'x');
        testsupport::write(dir + QStringLiteral("/a/%1.bin").arg(g), bytes);
        testsupport::write(dir + QStringLiteral("/b/copy of %1.bin").arg(g), bytes);
    }
    Screen s;
    auto* list = s.part<QKLazyColumn>("exactList");
    // How many rows the list had made when it came into view.
    struct OnShow : QObject {
        QKLazyColumn* list;
        int built = -1;
        explicit OnShow(QKLazyColumn* l) : list(l) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show && built < 0)
                built = list->builtCount();
            return false;
        }
    } onShow(list);
    list->installEventFilter(&onShow);
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    ASSERT_TRUE(testsupport::waitFor([&] { return list->isVisible(); }));
    const int atFirst = onShow.built;
    QTest::qWait(100);
    // It makes none in the turn that first paints it: the rows of the view it shows were all
    // made behind the progress page (a list made the size of a line there made the rest then).
    EXPECT_GT(atFirst, 1);
    EXPECT_LT(list->builtCount(), list->rowCount());
    EXPECT_EQ(list->builtCount(), atFirst);
    EXPECT_EQ(s.finder.groups().size(), 24);
}
