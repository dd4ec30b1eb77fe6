// The cleaner pane driven as a user would: appearing, ticking, confirming with the typed code,
// the result line, and the states of its body.
#include "cleaning/views/CleanerPane.h"
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeFileRevealer.h"
#include "fakes/FakeTrash.h"
#include "platform/ByteFormat.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/QKTransientNote.h"
#include "ui-kit/TamsoExplainRow.h"
#include "ui-kit/TamsoSafetyBadge.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <semaphore>

using namespace cleaningtest;
using Kind = ScanPhase;

namespace {

CleanCategory row(const QString& id, TamsoSafety safety, bool onByDefault, bool removable = true) {
    CleanCategory c;
    c.id = id;
    c.name = "Row " + id;
    c.plainDescription = "What " + id + " is.";
    c.safety = safety;
    c.onByDefault = onByDefault;
    c.removable = removable;
    c.locations = {"/nowhere/" + id, "/nowhere/" + id + "-2"};
    return c;
}

// The row with one place, a folder the test fills.
CleanCategory inFolder(CleanCategory c, const QString& folder) {
    c.locations = {folder};
    return c;
}

struct Rig {
    std::shared_ptr<FakeCategoryMeasure> measure = std::make_shared<FakeCategoryMeasure>();
    std::shared_ptr<FakeTrash> trash =
        std::make_shared<FakeTrash>(testsupport::freshDir("pane-trash"));
    ScreenState screen;
    FakeFileRevealer revealer;
    std::unique_ptr<CleanupScanner> scanner;

    explicit Rig(QList<CleanCategory> table) {
        scanner = std::make_unique<CleanupScanner>(std::move(table),
                                                   CleanupScanner::Deps{measure, trash, {}});
    }
    std::unique_ptr<CleanerPane> pane() {
        auto p = std::make_unique<CleanerPane>(*scanner, screen, CleanerStateFields::system(),
                                               CleanerPaneText::systemJunk(), &revealer);
        Find::part<DeleteConfirm>(*p, "cleanerConfirm")->setRandomSource([] {
            return quint32(42);
        });
        p->resize(900, 700);
        return p;
    }
    bool done() const { return scanner->state().phase == Kind::Done; }
};

QStringList titles(const QList<TamsoExplainRow*>& rows) {
    QStringList out;
    for (TamsoExplainRow* r : rows)
        out << r->title();
    return out;
}

// A ticked, safe "cache" row over a fresh folder that holds one 4 KB file.
CleanCategory cacheWithAFile(const QString& folder) {
    const QString dir = testsupport::freshDir(folder);
    writeFile(dir + "/cache/a.bin", 4096);
    return inFolder(row("cache", TamsoSafety::Safe, true), dir + "/cache");
}

void confirmWithCode(CleanerPane& pane) {
    Find::part<QKProminentButton>(&pane, "cleanerClean")->click();
    DeleteCodeSheet* sheet = Find::part<DeleteConfirm>(pane, "cleanerConfirm")->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->confirmButton()->text(), "Clean now");
    QTest::keyClicks(sheet->entryField(), "0042");
    ASSERT_TRUE(sheet->confirmButton()->isEnabled());
    sheet->confirmButton()->click();
}

} // namespace

TEST(CleanerPane, AppearingScansOnceTicksThePreselectionAndListsWhatWasFound) {
    Rig rig({row("caches", TamsoSafety::Safe, true), row("logs", TamsoSafety::CheckFirst, true),
             row("downloads", TamsoSafety::Risky, false),
             row("library", TamsoSafety::Keep, false, false)});
    rig.measure->setResult("caches", {2'000'000, 12, {}});
    rig.measure->setResult("downloads", {500'000, 3, {}});
    rig.measure->setResult("library", {9'000'000, 40, {}});
    {
        auto pane = rig.pane();
        EXPECT_EQ(Find::part<QKScanStatePages>(*pane, "cleanerBody")->currentWidget(),
                  Find::part<QKEmptyState>(*pane, "cleanerReady"));
        EXPECT_EQ(Find::part<QKEmptyState>(*pane, "cleanerReady")->title(), "Ready to scan");
        pane->show();
        EXPECT_EQ(rig.scanner->state().phase, Kind::Running);
        EXPECT_EQ(Find::part<QKScanStatePages>(*pane, "cleanerBody")->currentWidget(),
                  Find::part<QWidget>(*pane, "cleanerMeasuring"));
        EXPECT_EQ(rig.screen.diskSelected(), QSet<QString>({"caches"}));
        ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
        EXPECT_EQ(Find::part<QKScanStatePages>(*pane, "cleanerBody")->currentWidget(),
                  Find::part<QWidget>(*pane, "cleanerList"));
        EXPECT_EQ(titles(Find::parts<TamsoExplainRow>(pane.get(), "cleanerRow")),
                  QStringList({"Row caches", "Row downloads"}));
        EXPECT_EQ(titles(Find::parts<TamsoExplainRow>(pane.get(), "cleanerKeptRow")),
                  QStringList({"Row library"}));

        TamsoExplainRow* caches = Find::parts<TamsoExplainRow>(pane.get(), "cleanerRow")[0];
        EXPECT_EQ(caches->sizeText(), "2 MB");
        EXPECT_EQ(caches->detail(), "What caches is.");
        EXPECT_EQ(caches->meta(), "12 items");
        EXPECT_EQ(caches->selected(), true);
        EXPECT_EQ(Find::parts<TamsoExplainRow>(pane.get(), "cleanerRow")[1]->selected(), false);
        EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->text(),
                  "Clean selected · 2 MB");
        EXPECT_TRUE(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->isEnabled());

        // Ticking goes to ScreenState and into the button.
        Find::part<QCheckBox>(Find::parts<TamsoExplainRow>(pane.get(), "cleanerRow")[1],
                              "explainRowCheck")
            ->click();
        EXPECT_EQ(rig.screen.diskSelected(), QSet<QString>({"caches", "downloads"}));
        EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->text(),
                  "Clean selected · 2.5 MB");

        // The locked row: kept grade, no checkbox, and its first place shown in the file manager.
        TamsoExplainRow* library = Find::parts<TamsoExplainRow>(pane.get(), "cleanerKeptRow")[0];
        EXPECT_TRUE(library->locked());
        EXPECT_EQ(library->safety(), TamsoSafety::Keep);
        EXPECT_FALSE(Find::part<QCheckBox>(library, "explainRowCheck")->isVisible());
        auto* reveal = Find::part<QPushButton>(library, "cleanerReveal");
        EXPECT_EQ(reveal->text(), "Show in File Manager");
        reveal->click();
        EXPECT_EQ(rig.revealer.revealed, QStringList({"/nowhere/library"}));
        EXPECT_EQ(QKTransientNote::shownIn(pane.get()), nullptr);
        rig.revealer.refuses = true;
        reveal->click();
        rig.revealer.refuses = false;
        ASSERT_TRUE(QKTransientNote::shownIn(pane.get()));
        EXPECT_EQ(QKTransientNote::shownIn(pane.get())->anchor(), reveal);
    }
    // Coming back: the measurement and the ticks are kept, nothing is measured again.
    const int measuredBefore = int(rig.measure->measured().size());
    auto again = rig.pane();
    again->show();
    EXPECT_EQ(int(rig.measure->measured().size()), measuredBefore);
    EXPECT_EQ(Find::part<QKScanStatePages>(*again, "cleanerBody")->currentWidget(),
              Find::part<QWidget>(*again, "cleanerList"));
    EXPECT_EQ(Find::parts<TamsoExplainRow>(again.get(), "cleanerRow")[1]->selected(), true);
}

TEST(CleanerPane, CleanSelectedWaitsUntilTheMeasurementIsIn) {
    Rig rig({row("a", TamsoSafety::Safe, true), row("b", TamsoSafety::Safe, true)});
    rig.measure->setResult("a", {1000, 1, {}});
    std::binary_semaphore release(0);
    std::atomic_bool hold{true};
    rig.measure->setHook([&](const CleanCategory& c, const CancelToken&) {
        if (hold && c.id == "b")
            release.acquire();
    });
    auto pane = rig.pane();
    pane->show();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.scanner->progressDone() == 1; }));
    // Ticks exist and a size shows, but the table is only half measured.
    EXPECT_FALSE(rig.screen.diskSelected().isEmpty());
    EXPECT_FALSE(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->isEnabled());
    EXPECT_TRUE(Find::part<QPushButton>(pane.get(), "cleanerRescan")->isEnabled());
    release.release();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    EXPECT_TRUE(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->isEnabled());

    // A measurement that starts under an open confirmation withdraws it.
    Find::part<QKProminentButton>(pane.get(), "cleanerClean")->click();
    ASSERT_TRUE(Find::part<DeleteConfirm>(*pane, "cleanerConfirm")->isPresented());
    hold = false;
    rig.scanner->scan();
    EXPECT_FALSE(Find::part<DeleteConfirm>(*pane, "cleanerConfirm")->isPresented());
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));

    // Nothing ticked: nothing to clean.
    rig.screen.setDiskSelected({});
    EXPECT_FALSE(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->isEnabled());
    EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->text(),
              "Clean selected · Zero KB");
}

TEST(CleanerPane, CleanPressedFromTheKeyboardKeepsTheFocusWhileItCleansAndMeasures) {
    Rig rig({cacheWithAFile("pane-focus")});
    rig.measure->setResult("cache", {4096, 1, {}});
    auto pane = rig.pane();
    pane->show();
    pane->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pane.get()));
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    EXPECT_EQ(pane->accessibleName(), "Free up space safely");

    auto* clean = Find::part<QKProminentButton>(pane.get(), "cleanerClean");
    clean->setFocus(Qt::TabFocusReason);
    QTest::keyClick(clean, Qt::Key_Space);
    DeleteCodeSheet* sheet = Find::part<DeleteConfirm>(*pane, "cleanerConfirm")->sheet();
    ASSERT_NE(sheet, nullptr);
    QTest::keyClicks(sheet->entryField(), "0042");
    sheet->confirmButton()->click();
    // Both buttons go off while it cleans: the pane's focus waits on the pane, not on the next
    // control, and comes back once the measurement after the clean is done too.
    ASSERT_TRUE(pane->isCleaning());
    EXPECT_EQ(pane->focusWidget(), pane.get());
    ASSERT_TRUE(testsupport::waitFor([&] { return !pane->isCleaning() && rig.done(); }));
    ASSERT_TRUE(clean->isEnabled());
    EXPECT_EQ(pane->focusWidget(), clean);
}

TEST(CleanerPane, AConfirmedCleanWritesTheResultLineAndMeasuresAgain) {
    const QString dir = testsupport::freshDir("pane-clean");
    writeFile(dir + "/cache/a.bin", 8192);
    writeFile(dir + "/cache/b.bin", 4096);
    Rig rig({inFolder(row("cache", TamsoSafety::Safe, true), dir + "/cache")});
    rig.measure->setResult("cache", {12'288, 2, {}});
    rig.trash->failFor(dir + "/cache/b.bin", "Permission denied");
    auto pane = rig.pane();
    pane->show();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    const int measuredBefore = int(rig.measure->measured().size());

    // Cancelling the confirmation runs nothing.
    Find::part<QKProminentButton>(pane.get(), "cleanerClean")->click();
    Find::part<QPushButton>(Find::part<DeleteConfirm>(*pane, "cleanerConfirm")->sheet(),
                            "deleteCodeCancel")
        ->click();
    EXPECT_FALSE(Find::part<DeleteConfirm>(*pane, "cleanerConfirm")->isPresented());
    EXPECT_TRUE(rig.trash->moved().isEmpty());

    confirmWithCode(*pane);
    EXPECT_TRUE(pane->isCleaning());
    EXPECT_FALSE(Find::part<QPushButton>(pane.get(), "cleanerRescan")->isEnabled());
    EXPECT_FALSE(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->isEnabled());
    ASSERT_TRUE(testsupport::waitFor([&] { return !pane->isCleaning(); }));
    const QString expected = "Freed " +
                             formatBytes(allocated(rig.trash->trashedAs(dir + "/cache/a.bin"))) +
                             " · 1 item skipped";
    EXPECT_EQ(rig.screen.diskResult(), expected);
    EXPECT_EQ(Find::part<QLabel>(*pane, "cleanerResult")->text(), expected);
    EXPECT_TRUE(Find::part<QLabel>(*pane, "cleanerResult")->isVisible());
    // Measured again, the ticks unchanged, the result still shown.
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return rig.done() && int(rig.measure->measured().size()) > measuredBefore; }));
    EXPECT_EQ(rig.screen.diskSelected(), QSet<QString>({"cache"}));
    EXPECT_EQ(rig.screen.diskResult(), expected);

    // "Rescan" clears the result and ticks the preselection again.
    rig.screen.setDiskSelected({});
    Find::part<QPushButton>(pane.get(), "cleanerRescan")->click();
    EXPECT_FALSE(rig.screen.diskResult());
    EXPECT_FALSE(Find::part<QLabel>(*pane, "cleanerResult")->isVisible());
    EXPECT_EQ(rig.screen.diskSelected(), QSet<QString>({"cache"}));
}

TEST(CleanerPane, RowsEmptiedByACleanLeaveNothingToCleanAgain) {
    Rig rig({cacheWithAFile("pane-emptied")});
    rig.measure->setResult("cache", {4096, 1, {}});
    auto pane = rig.pane();
    pane->show();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    const int measuredBefore = int(rig.measure->measured().size());
    rig.measure->setResult("cache", {0, 0, {}}); // what the measurement after the clean finds

    confirmWithCode(*pane);
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return rig.done() && int(rig.measure->measured().size()) > measuredBefore; }));
    ASSERT_TRUE(testsupport::waitFor([&] { return !pane->isCleaning(); }));
    // Still ticked, but the row measured nothing: there is nothing left to clean.
    EXPECT_EQ(rig.screen.diskSelected(), QSet<QString>({"cache"}));
    EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->text(),
              "Clean selected · Zero KB");
    EXPECT_FALSE(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->isEnabled());
    EXPECT_TRUE(Find::part<QPushButton>(pane.get(), "cleanerRescan")->isEnabled());
}

TEST(CleanerPane, TheResultOfACleanLandsEvenWhenThePaneIsGone) {
    Rig rig({cacheWithAFile("pane-gone")});
    rig.measure->setResult("cache", {4096, 1, {}});
    auto pane = rig.pane();
    pane->show();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    pane->cleanNow();
    pane.reset();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.screen.diskResult().has_value(); }));
    EXPECT_TRUE(rig.screen.diskResult()->startsWith("Freed "));
}

TEST(CleanerPane, NothingFoundWhenOnlyALockedRowHasFilesWithoutBytes) {
    Rig rig({row("a", TamsoSafety::Safe, true), row("kept", TamsoSafety::Keep, false, false)});
    rig.measure->setResult("kept", {0, 1, {}});
    auto pane = rig.pane();
    pane->show();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    EXPECT_EQ(Find::part<QKScanStatePages>(*pane, "cleanerBody")->currentWidget(),
              Find::part<QKEmptyState>(*pane, "cleanerNothing"));
    EXPECT_EQ(Find::part<QKEmptyState>(*pane, "cleanerNothing")->title(), "Nothing found");
    EXPECT_EQ(Find::part<QKEmptyState>(*pane, "cleanerNothing")->message(),
              "Pendrel could not find any of these on this Mac. Nothing to do.");
}

TEST(CleanerPane, AScannerAlreadyMeasuredElsewhereIsShownAsItIsWithoutTicks) {
    Rig rig({row("shots", TamsoSafety::Safe, true)});
    rig.measure->setResult("shots", {5000, 2, {}});
    rig.scanner->scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    auto pane = rig.pane();
    pane->show();
    EXPECT_EQ(rig.measure->measured().size(), 1);
    EXPECT_TRUE(rig.screen.diskSelected().isEmpty());
    EXPECT_EQ(Find::part<QKScanStatePages>(*pane, "cleanerBody")->currentWidget(),
              Find::part<QWidget>(*pane, "cleanerList"));
    EXPECT_EQ(Find::parts<TamsoExplainRow>(pane.get(), "cleanerRow")[0]->selected(), false);
    EXPECT_FALSE(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->isEnabled());
}

TEST(CleanerPane, AfterACleanOnlyRowsGradedSafeStayTickedSoTheTrashIsNeverEmptiedUnasked) {
    const QString dir = testsupport::freshDir("pane-after");
    writeFile(dir + "/cache/a.bin", 4096);
    writeFile(dir + "/backups/db.bak", 4096);
    const CleanCategory cache = inFolder(row("cache", TamsoSafety::Safe, true), dir + "/cache");
    const CleanCategory backups =
        inFolder(row("backups", TamsoSafety::CheckFirst, false), dir + "/backups");
    // The Trash row's place is known once the rig's Trash is.
    Rig rig(QList<CleanCategory>{});
    const CleanCategory trash =
        inFolder(row("trash", TamsoSafety::Risky, true), rig.trash->itemsFolder());
    writeFile(rig.trash->itemsFolder() + "/thrown-away.txt", 4096);
    rig.scanner =
        std::make_unique<CleanupScanner>(QList<CleanCategory>{cache, trash, backups},
                                         CleanupScanner::Deps{rig.measure, rig.trash, {}});
    for (const char* id : {"cache", "trash", "backups"})
        rig.measure->setResult(id, {4096, 1, {}});
    auto pane = rig.pane();
    pane->show();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    rig.screen.setDiskSelected({"cache", "trash", "backups"});

    confirmWithCode(*pane);
    ASSERT_TRUE(testsupport::waitFor([&] { return !pane->isCleaning() && rig.done(); }));
    EXPECT_EQ(rig.trash->erased(), QStringList({rig.trash->itemsFolder() + "/thrown-away.txt"}));
    EXPECT_EQ(rig.trash->moved().size(), 2);
    // The Trash row now holds what this clean moved: it is no longer ticked, nor is the row that
    // asked to be checked first.
    EXPECT_EQ(rig.screen.diskSelected(), QSet<QString>({"cache"}));
    EXPECT_EQ(Find::parts<TamsoExplainRow>(pane.get(), "cleanerRow")[1]->selected(), false);
}

TEST(CleanerPane, ARowWhoseLocationMayNotBeEmptiedIsListedLockedWithTheReason) {
    Rig rig({row("caches", TamsoSafety::Safe, true), row("logs", TamsoSafety::Safe, true)});
    Measurement refused;
    refused.refusal = ContentsRefusal{ContentsRefusal::Kind::Home, "/home/ada", "/home/ada", true};
    rig.measure->setResult("caches", refused);
    rig.measure->setResult("logs", {2000, 1, {}});
    auto pane = rig.pane();
    pane->show();
    EXPECT_EQ(rig.screen.diskSelected(), QSet<QString>({"caches", "logs"}));
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }));
    EXPECT_EQ(titles(Find::parts<TamsoExplainRow>(pane.get(), "cleanerRow")),
              QStringList({"Row caches", "Row logs"}));
    TamsoExplainRow* caches = Find::parts<TamsoExplainRow>(pane.get(), "cleanerRow")[0];
    EXPECT_TRUE(caches->locked());
    EXPECT_EQ(caches->meta(),
              "Left alone: /home/ada is your home folder, so Pendrel will not empty it.");
    EXPECT_EQ(rig.screen.diskSelected(), QSet<QString>({"logs"}));
    EXPECT_EQ(Find::part<QKProminentButton>(pane.get(), "cleanerClean")->text(),
              "Clean selected · 2 KB");
}
