// The biggest-files screen driven as a user would: picking a folder, the minimum size, the
// old-files filter, selecting rows and moving them to the Trash.
#include "cleaning/views/BiggestFilesPane.h"
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/LargeFilesScanner.h"
#include "cleaning/views/BigFileDelegate.h"
#include "fakes/FakeFileRevealer.h"
#include "fakes/FakeTrash.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanningProgress.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/QKTransientNote.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <fcntl.h>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace cleaningtest;
using Kind = ScanPhase;

namespace {

constexpr qint64 MB = 1'048'576;

// A file of this length whose blocks are all reserved on the disk, without writing them.
void allocated(const QString& path, qint64 bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(::posix_fallocate(f.handle(), 0, bytes), 0);
}

struct Rig {
    QString folder = testsupport::freshDir("biggest");
    std::shared_ptr<FakeTrash> trash =
        std::make_shared<FakeTrash>(testsupport::freshDir("biggest-trash"));
    LargeFilesScanner scanner{trash};
    ScreenState screen;
    FakeFileRevealer revealer;

    Rig() {
        allocated(folder + "/movie.mkv", 300 * MB);
        allocated(folder + "/old-backup.zip", 120 * MB);
        age(folder + "/old-backup.zip", 400, 400);
        allocated(folder + "/disk.iso", 60 * MB);
        allocated(folder + "/small.txt", 20 * MB);
        // A length of 2 GB with nothing written takes no room: never listed, selected or summed.
        QFile holes(folder + "/claims-2g.img");
        EXPECT_TRUE(holes.open(QIODevice::WriteOnly) && holes.resize(2048 * MB));
        age(folder + "/claims-2g.img", 400, 400);
    }
    std::unique_ptr<BiggestFilesPane> pane() {
        auto p = std::make_unique<BiggestFilesPane>(scanner, screen, &revealer);
        Find::part<DeleteConfirm>(p.get(), "biggestConfirm")->setRandomSource([] {
            return quint32(7);
        });
        p->setFolderPicker([this](QWidget*) { return std::optional<QString>(folder); });
        p->resize(1000, 700);
        p->show();
        return p;
    }
    bool done() const { return scanner.state().phase == Kind::Done; }
};

QStringList shownNames(const BiggestFilesPane& pane) {
    const QAbstractItemModel* rows = Find::part<QListView>(&pane, "biggestFiles")->model();
    QStringList out;
    for (int r = 0; r < rows->rowCount(); ++r)
        out << rows->index(r, 0).data().toString();
    return out;
}

QUuid idOf(const LargeFilesScanner& scanner, const QString& name) {
    for (const BigFile& f : scanner.files()) {
        if (f.fileName() == name)
            return f.id;
    }
    return {};
}

void selectRows(BiggestFilesPane& pane, const QList<int>& rows) {
    auto* list = Find::part<QListView>(&pane, "biggestFiles");
    list->selectionModel()->clearSelection();
    for (int r : rows)
        list->selectionModel()->select(list->model()->index(r, 0), QItemSelectionModel::Select);
}

} // namespace

TEST(BiggestFilesPane, NothingRunsUntilAFolderIsPickedThenTheListShows) {
    Rig rig;
    auto pane = rig.pane();
    EXPECT_EQ(Find::part<QKScanStatePages>(pane.get(), "biggestContent")->currentWidget(),
              Find::part<QKEmptyState>(pane.get(), "biggestIdle"));
    EXPECT_EQ(Find::part<QKEmptyState>(pane.get(), "biggestIdle")->title(),
              "Pick a folder to scan");
    EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "biggestChoose")->text(), "Choose folder…");
    EXPECT_FALSE(Find::part<QKProminentButton>(pane.get(), "biggestTrash")->isVisible());
    EXPECT_FALSE(Find::part<QLabel>(pane.get(), "biggestFolder")->isVisible());
    EXPECT_EQ(Find::part<QComboBox>(pane.get(), "biggestMinSize")->currentText(), "50 MB+");

    // A new minimum before any folder only stores the value.
    Find::part<QComboBox>(pane.get(), "biggestMinSize")->setCurrentIndex(0);
    emit Find::part<QComboBox>(pane.get(), "biggestMinSize")->activated(0);
    EXPECT_EQ(rig.scanner.minSizeBytes(), 10'000'000);
    EXPECT_EQ(rig.scanner.state().phase, Kind::Idle);

    rig.screen.setBigSelection({QUuid::createUuid()});
    Find::part<QKProminentButton>(pane.get(), "biggestChoose")->click();
    EXPECT_TRUE(rig.screen.bigSelection().isEmpty());
    EXPECT_EQ(Find::part<QKScanStatePages>(pane.get(), "biggestContent")->currentWidget(),
              Find::part<QKScanningProgress>(pane.get(), "biggestScanning"));
    EXPECT_EQ(Find::part<QLabel>(Find::part<QWidget>(pane.get(), "biggestScanning"), "scanningText")
                  ->text(),
              "Scanning… 0 files checked");
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    EXPECT_EQ(Find::part<QKScanStatePages>(pane.get(), "biggestContent")->currentWidget(),
              Find::part<QWidget>(pane.get(), "biggestList"));
    EXPECT_EQ(shownNames(*pane),
              QStringList({"movie.mkv", "old-backup.zip", "disk.iso", "small.txt"}));
    EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "biggestChoose")->text(), "Scan another…");
    EXPECT_EQ(Find::part<QLabel>(pane.get(), "biggestFolder")->text(),
              QFileInfo(rig.folder).fileName());
    EXPECT_FALSE(Find::part<QLabel>(pane.get(), "biggestResult")->isVisible());

    // "Show" reveals the file without touching the selection.
    const QRect first =
        Find::part<QListView>(pane.get(), "biggestFiles")
            ->visualRect(Find::part<QListView>(pane.get(), "biggestFiles")->model()->index(0, 0));
    const QPoint show =
        Find::part<BigFileDelegate>(pane.get(), "biggestDelegate")->revealRect(first).center();
    QTest::mouseClick(Find::part<QListView>(pane.get(), "biggestFiles")->viewport(), Qt::LeftButton,
                      {}, show);
    EXPECT_EQ(rig.revealer.revealed, QStringList({rig.folder + "/movie.mkv"}));
    EXPECT_TRUE(rig.screen.bigSelection().isEmpty());
    EXPECT_EQ(QKTransientNote::shownIn(pane.get()), nullptr);
    // Where nothing can show it, the line appears under that row's button.
    rig.revealer.refuses = true;
    QTest::mouseClick(Find::part<QListView>(pane.get(), "biggestFiles")->viewport(), Qt::LeftButton,
                      {}, show);
    QKTransientNote* note = QKTransientNote::shownIn(pane.get());
    ASSERT_TRUE(note);
    EXPECT_EQ(note->anchor(), Find::part<QListView>(pane.get(), "biggestFiles")->viewport());
    const QPoint button =
        Find::part<QListView>(pane.get(), "biggestFiles")
            ->viewport()
            ->mapTo(pane->window(), Find::part<BigFileDelegate>(pane.get(), "biggestDelegate")
                                        ->revealRect(first)
                                        .bottomLeft());
    EXPECT_GT(note->y(), button.y());
    EXPECT_LT(note->y(), button.y() + 12);
}

TEST(BiggestFilesPane, ANewMinimumRescansTheFolderAndKeepsTheOldSelection) {
    Rig rig;
    auto pane = rig.pane();
    pane->pickFolder(rig.folder);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    selectRows(*pane, {0});
    const QSet<QUuid> selected = rig.screen.bigSelection();
    ASSERT_EQ(selected, QSet<QUuid>({idOf(rig.scanner, "movie.mkv")}));
    EXPECT_TRUE(Find::part<QKProminentButton>(pane.get(), "biggestTrash")->isVisible());
    EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "biggestTrash")->text(), "Trash 314.6 MB");

    Find::part<QComboBox>(pane.get(), "biggestMinSize")->setCurrentIndex(2);
    emit Find::part<QComboBox>(pane.get(), "biggestMinSize")->activated(2);
    EXPECT_EQ(rig.scanner.state().phase, Kind::Running);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    EXPECT_EQ(shownNames(*pane), QStringList({"movie.mkv", "old-backup.zip"}));
    // The kept ids belong to the earlier list: nothing is selected or counted now.
    EXPECT_EQ(rig.screen.bigSelection(), selected);
    EXPECT_TRUE(Find::part<QListView>(pane.get(), "biggestFiles")
                    ->selectionModel()
                    ->selectedIndexes()
                    .isEmpty());
    EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "biggestTrash")->text(), "Trash Zero KB");

    // Confirming moves nothing, says so, and empties the selection.
    Find::part<QKProminentButton>(pane.get(), "biggestTrash")->click();
    DeleteCodeSheet* sheet = Find::part<DeleteConfirm>(pane.get(), "biggestConfirm")->sheet();
    ASSERT_NE(sheet, nullptr);
    QTest::keyClicks(sheet->entryField(), "0007");
    sheet->confirmButton()->click();
    EXPECT_TRUE(rig.trash->moved().isEmpty());
    EXPECT_EQ(rig.screen.bigResult(), "Freed Zero KB");
    EXPECT_TRUE(rig.screen.bigSelection().isEmpty());

    // 500 MB+: nothing that big here.
    Find::part<QComboBox>(pane.get(), "biggestMinSize")->setCurrentIndex(3);
    emit Find::part<QComboBox>(pane.get(), "biggestMinSize")->activated(3);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    EXPECT_EQ(Find::part<QKScanStatePages>(pane.get(), "biggestContent")->currentWidget(),
              Find::part<QKEmptyState>(pane.get(), "biggestNothing"));
    EXPECT_EQ(Find::part<QKEmptyState>(pane.get(), "biggestNothing")->message(),
              "No files above 500 MB in that folder. Try a smaller minimum size in the picker "
              "above.");
}

TEST(BiggestFilesPane, OnlyOldHidesRowsButKeepsTheirSelectionAndMovesThemToo) {
    Rig rig;
    auto pane = rig.pane();
    pane->pickFolder(rig.folder);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    selectRows(*pane, {0, 1}); // movie.mkv (recent) and old-backup.zip (old)
    ASSERT_EQ(rig.screen.bigSelection().size(), 2);

    Find::part<QCheckBox>(pane.get(), "biggestOnlyOld")->click();
    EXPECT_TRUE(rig.screen.bigOnlyOld());
    EXPECT_EQ(rig.scanner.state().phase, Kind::Done); // the filter starts no scan
    EXPECT_EQ(shownNames(*pane), QStringList({"old-backup.zip"}));
    EXPECT_EQ(rig.screen.bigSelection().size(), 2);
    EXPECT_EQ(Find::part<QListView>(pane.get(), "biggestFiles")
                  ->selectionModel()
                  ->selectedIndexes()
                  .size(),
              1);

    // Clicking the one shown row keeps the hidden one selected.
    const QRect row =
        Find::part<QListView>(pane.get(), "biggestFiles")
            ->visualRect(Find::part<QListView>(pane.get(), "biggestFiles")->model()->index(0, 0));
    QTest::mouseClick(Find::part<QListView>(pane.get(), "biggestFiles")->viewport(), Qt::LeftButton,
                      {}, row.topLeft() + QPoint(40, 5));
    EXPECT_EQ(rig.screen.bigSelection().size(), 2);
    EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "biggestTrash")->text(), "Trash 440.4 MB");

    Find::part<QKProminentButton>(pane.get(), "biggestTrash")->click();
    DeleteCodeSheet* sheet = Find::part<DeleteConfirm>(pane.get(), "biggestConfirm")->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->confirmButton()->text(), "Move to Trash");
    QTest::keyClicks(sheet->entryField(), "0007");
    sheet->confirmButton()->click();
    EXPECT_EQ(rig.trash->moved(),
              QStringList({rig.folder + "/movie.mkv", rig.folder + "/old-backup.zip"}));
    EXPECT_EQ(rig.screen.bigResult(), "Freed 440.4 MB");
    EXPECT_TRUE(rig.screen.bigSelection().isEmpty());
    // No old file is left: the filtered list is empty and says why.
    EXPECT_EQ(Find::part<QKScanStatePages>(pane.get(), "biggestContent")->currentWidget(),
              Find::part<QKEmptyState>(pane.get(), "biggestNothing"));
    EXPECT_EQ(Find::part<QKEmptyState>(pane.get(), "biggestNothing")->message(),
              "No large files older than six months.");

    // Off again: the rest shows under the result line.
    Find::part<QCheckBox>(pane.get(), "biggestOnlyOld")->click();
    EXPECT_EQ(Find::part<QKScanStatePages>(pane.get(), "biggestContent")->currentWidget(),
              Find::part<QWidget>(pane.get(), "biggestList"));
    EXPECT_EQ(shownNames(*pane), QStringList({"disk.iso"}));
    EXPECT_TRUE(Find::part<QLabel>(pane.get(), "biggestResult")->isVisible());
    EXPECT_EQ(Find::part<QLabel>(pane.get(), "biggestResult")->text(), "Freed 440.4 MB");
}

TEST(BiggestFilesPane, FilesThatCannotBeMovedStayListedAndAreNamedInOneAlert) {
    Rig rig;
    rig.trash->failFor(rig.folder + "/disk.iso", "Permission denied");
    auto pane = rig.pane();
    pane->pickFolder(rig.folder);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    selectRows(*pane, {1, 2}); // old-backup.zip, disk.iso
    pane->trashSelected();
    EXPECT_EQ(shownNames(*pane), QStringList({"movie.mkv", "disk.iso"}));
    EXPECT_EQ(rig.screen.bigResult(), "Freed 125.8 MB");
    EXPECT_TRUE(rig.screen.bigSelection().isEmpty());
    auto* alert = Find::maybe<QMessageBox>(pane.get(), "biggestErrors");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Some files could not be moved");
    EXPECT_EQ(alert->informativeText(), "disk.iso: Permission denied");
    alert->close();
}

TEST(BiggestFilesPane, LeavingAndComingBackKeepsListFilterSelectionAndResult) {
    Rig rig;
    {
        auto pane = rig.pane();
        pane->pickFolder(rig.folder);
        ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
        selectRows(*pane, {2});
        rig.screen.setBigResult(QString("Freed 1 MB"));
    }
    auto again = rig.pane();
    EXPECT_EQ(Find::part<QKScanStatePages>(again.get(), "biggestContent")->currentWidget(),
              Find::part<QWidget>(again.get(), "biggestList"));
    EXPECT_EQ(Find::part<QListView>(again.get(), "biggestFiles")
                  ->selectionModel()
                  ->selectedIndexes()
                  .size(),
              1);
    EXPECT_EQ(Find::part<QListView>(again.get(), "biggestFiles")
                  ->selectionModel()
                  ->selectedIndexes()[0]
                  .row(),
              2);
    EXPECT_EQ(Find::part<QLabel>(again.get(), "biggestResult")->text(), "Freed 1 MB");
    EXPECT_EQ(Find::part<QKProminentButton>(again.get(), "biggestChoose")->text(), "Scan another…");
}

TEST(BiggestFilesPane, AFolderThatCannotBeReadSaysSo) {
    Rig rig;
    auto pane = rig.pane();
    pane->pickFolder(rig.folder + "/gone");
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.scanner.state().phase == Kind::Failed; }));
    EXPECT_EQ(Find::part<QKScanStatePages>(pane.get(), "biggestContent")->currentWidget(),
              Find::part<QKEmptyState>(pane.get(), "biggestFailed"));
    EXPECT_EQ(Find::part<QKEmptyState>(pane.get(), "biggestFailed")->title(), "Scan failed");
    EXPECT_EQ(Find::part<QKEmptyState>(pane.get(), "biggestFailed")->message(),
              "Pendrel could not read “gone”: No such file or directory.");
}

TEST(BiggestFilesPane, ShowWorksFromTheKeyboardAndAssistiveTechnologyAndRowsReadTheirFigures) {
    Rig rig;
    auto pane = rig.pane();
    pane->pickFolder(rig.folder);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    auto* list = Find::part<QListView>(pane.get(), "biggestFiles");

    // Return on the current row is its "Show", and leaves the selection alone.
    list->setCurrentIndex(list->model()->index(2, 0));
    rig.screen.setBigSelection({});
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(rig.revealer.revealed, QStringList({rig.folder + "/disk.iso"}));
    EXPECT_TRUE(rig.screen.bigSelection().isEmpty());

    // The list says what it lists; each row is an item of it that reads its size, folder and
    // age, and offers "Show".
    QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(list);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->text(QAccessible::Name), "Biggest files");
    ASSERT_EQ(rows->childCount(), 3); // 50 MB and more
    QAccessibleInterface* old = rows->child(1);
    ASSERT_TRUE(old);
    EXPECT_EQ(old->role(), QAccessible::ListItem);
    EXPECT_EQ(old->text(QAccessible::Name), "old-backup.zip");
    const QString about = old->text(QAccessible::Description);
    EXPECT_TRUE(about.startsWith("125.8 MB, in " + rig.folder + ", last opened 1 year ago"))
        << about.toStdString();
    EXPECT_TRUE(about.endsWith(", old")) << about.toStdString();
    ASSERT_TRUE(old->actionInterface());
    EXPECT_EQ(old->actionInterface()->actionNames(), QStringList({"Show"}));
    old->actionInterface()->doAction("Show");
    EXPECT_EQ(rig.revealer.revealed,
              QStringList({rig.folder + "/disk.iso", rig.folder + "/old-backup.zip"}));
}

TEST(BiggestFilesPane, TheToolbarStacksRatherThanClipsAtTheLargestTextInASmallWindow) {
    Themed::shared();
    UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(TextSize::Largest));
    Rig rig;
    auto pane = rig.pane();
    pane->pickFolder(rig.folder);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    selectRows(*pane, {0});
    // The content area of the smallest window, beside the sidebar.
    pane->resize(700, 560);
    QApplication::processEvents();

    auto* controls = Find::part<QWidget>(pane.get(), "biggestControls");
    auto* title = Find::part<QLabel>(pane.get(), "biggestTitle");
    const QList<QWidget*> parts = {
        title,
        Find::part<QLabel>(pane.get(), "biggestFolder"),
        Find::part<QComboBox>(pane.get(), "biggestMinSize"),
        Find::part<QCheckBox>(pane.get(), "biggestOnlyOld"),
        Find::part<QKProminentButton>(pane.get(), "biggestTrash"),
        Find::part<QKProminentButton>(pane.get(), "biggestChoose"),
    };
    QList<QRect> placed;
    for (QWidget* w : parts) {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
        // Whole: as wide as its text asks, and inside the pane.
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        const QRect r(w->mapTo(pane.get(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(pane->rect().contains(r)) << w->objectName().toStdString();
        for (const QRect& other : placed)
            EXPECT_FALSE(r.intersects(other)) << w->objectName().toStdString();
        placed << r;
    }
    // The title block went over the controls.
    EXPECT_LE(title->mapTo(pane.get(), QPoint(0, title->height())).y(),
              controls->mapTo(pane.get(), QPoint(0, 0)).y());
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}
