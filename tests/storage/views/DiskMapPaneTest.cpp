#include "storage/views/DiskMapPane.h"
#include "fakes/FakeFileRevealer.h"
#include "platform/ByteFormat.h"
#include "storage/DiskMapScanner.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/views/TreemapLegend.h"
#include "storage/views/TreemapView.h"
#include "support/Find.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/QKTransientNote.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>

using namespace diskmaptest;
using Kind = ScanPhase;

namespace {

// A home of a code folder (600 bytes' worth of code, 300 of media, its own files) and a file.
QString makeHome() {
    const QString home = testsupport::freshDir("pane");
    makeFile(home + "/Projects/app/main.cpp", 6 * 4096);
    makeFile(home + "/Projects/app/icon.png", 3 * 4096);
    makeFile(home + "/Projects/app/README", 4096);
    makeFile(home + "/notes.txt", 4096);
    return home;
}

const MapNode* named(const QList<MapNode>& nodes, const QString& name) {
    for (const MapNode& n : nodes) {
        if (n.name == name)
            return &n;
    }
    return nullptr;
}

} // namespace

TEST(DiskMapPane, ShowingAnIdleScannerStartsAScan) {
    DiskMapScanner scanner(requestFor(makeHome()));
    DiskMapPane pane(scanner, nullptr);
    EXPECT_TRUE(Find::part<QKScanStatePages>(pane, "diskMapBody")->isShowing(QKScanPhase::Idle));
    pane.show();
    EXPECT_TRUE(scanner.state().isRunning());
    EXPECT_TRUE(Find::part<QKScanStatePages>(pane, "diskMapBody")->isShowing(QKScanPhase::Busy));
    EXPECT_EQ(Find::part<QPushButton>(pane, "diskMapPrimary")->text(), "Stop");
    EXPECT_EQ(Find::part<QLabel>(pane, "diskMapProgress")->text(), "Opening your home folder");
    scanner.applyProgress(scanner.scanGeneration(), QString());
    EXPECT_EQ(Find::part<QLabel>(pane, "diskMapProgress")->text(),
              QString::fromUtf8("Measuring\u2026"));
    // The note under the progress shows all its lines. Only the layout requests are delivered:
    // the tiny home's scan may have finished by now, and its result must not arrive before stop().
    pane.resize(900, 600);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QLabel* note = pane.findChild<QLabel*>("diskMapProgressNote");
    ASSERT_NE(note, nullptr);
    EXPECT_LE(note->width(), 380);
    EXPECT_GE(note->height(), note->heightForWidth(note->width()));
    EXPECT_GT(note->height(), note->fontMetrics().height());

    pane.stop();
    EXPECT_EQ(scanner.state().phase, Kind::Idle);
    EXPECT_TRUE(Find::part<QKScanStatePages>(pane, "diskMapBody")->isShowing(QKScanPhase::Idle));
    EXPECT_EQ(Find::part<QKEmptyState>(pane, "diskMapIdle")->title(), "See where space lives");
    EXPECT_EQ(Find::part<QPushButton>(pane, "diskMapPrimary")->text(), "Analyse home");
    QThreadPool::globalInstance()->waitForDone();
}

TEST(DiskMapPane, AResultOnHandIsShownWithoutScanning) {
    DiskMapScanner scanner(requestFor(makeHome()));
    scanner.scan();
    ASSERT_TRUE(settled(scanner));
    const quint64 generation = scanner.scanGeneration();
    DiskMapPane pane(scanner, nullptr);
    pane.show();
    EXPECT_EQ(scanner.scanGeneration(), generation);
    EXPECT_TRUE(Find::part<QKScanStatePages>(pane, "diskMapBody")->isShowing(QKScanPhase::Done));
    EXPECT_EQ(Find::part<QKLineLabel>(pane, "diskMapBreadcrumb")->text(), "Home");
    EXPECT_TRUE(Find::part<QPushButton>(pane, "diskMapUp")->isHidden());
    EXPECT_EQ(pane.treemap()->nodes().size(), 2);
}

TEST(DiskMapPane, DrillingInAndOut) {
    DiskMapScanner scanner(requestFor(makeHome()));
    FakeFileRevealer revealer;
    DiskMapPane pane(scanner, &revealer);
    pane.resize(900, 600);
    pane.show();
    ASSERT_TRUE(settled(scanner));
    ASSERT_TRUE(Find::part<QKScanStatePages>(pane, "diskMapBody")->isShowing(QKScanPhase::Done));

    const MapNode* notes = named(pane.currentNodes(), "notes.txt");
    ASSERT_NE(notes, nullptr);
    pane.drillIn(*notes); // a file cannot be entered
    EXPECT_TRUE(pane.stack().isEmpty());

    // Selecting a file shows its details, without a button to reveal it.
    emit pane.treemap()->selectionClicked(*notes);
    EXPECT_FALSE(Find::part<QWidget>(pane, "diskMapDetails")->isHidden());
    EXPECT_TRUE(Find::part<QPushButton>(pane, "diskMapReveal")->isHidden());

    const MapNode projects = *named(pane.currentNodes(), "Projects");
    emit pane.treemap()->selectionClicked(projects);
    EXPECT_FALSE(Find::part<QPushButton>(pane, "diskMapReveal")->isHidden());
    Find::part<QPushButton>(pane, "diskMapReveal")->click();
    EXPECT_EQ(revealer.revealed, QStringList({projects.id}));
    EXPECT_EQ(QKTransientNote::shownIn(&pane), nullptr);
    revealer.refuses = true;
    Find::part<QPushButton>(pane, "diskMapReveal")->click();
    ASSERT_TRUE(QKTransientNote::shownIn(&pane));
    EXPECT_EQ(QKTransientNote::shownIn(&pane)->anchor(),
              Find::part<QPushButton>(pane, "diskMapReveal"));

    emit pane.treemap()->drillInRequested(projects);
    EXPECT_EQ(Find::part<QKLineLabel>(pane, "diskMapBreadcrumb")->text(),
              QString::fromUtf8("Home \u203A Projects"));
    EXPECT_FALSE(Find::part<QPushButton>(pane, "diskMapUp")->isHidden());
    EXPECT_FALSE(pane.selection());
    EXPECT_TRUE(Find::part<QWidget>(pane, "diskMapDetails")->isHidden());

    const MapNode app = *named(pane.currentNodes(), "app");
    pane.drillIn(app);
    // The legend sums this level only: one pool, classed by its biggest category.
    EXPECT_EQ(pane.categoryTotals(), (CategoryTotals{{DiskMapCategory::Code, app.sizeBytes}}));
    // Its ten blocks of files and the folder's own blocks.
    EXPECT_EQ(app.sizeBytes, 10 * 4096 + allocated(app.id));
    EXPECT_EQ(Find::part<TreemapLegend>(pane, "diskMapLegend")->rowTexts(),
              QStringList({"Code " + formatBytes(app.sizeBytes)}));

    // Backspace on the map goes up as the "Up" button does, and at the top changes nothing.
    pane.goUp();
    QTest::keyClick(pane.treemap(), Qt::Key_Backspace);
    EXPECT_EQ(Find::part<QKLineLabel>(pane, "diskMapBreadcrumb")->text(), "Home");
    EXPECT_TRUE(Find::part<QPushButton>(pane, "diskMapUp")->isHidden());
    emit pane.treemap()->selectionClicked(projects);
    QTest::keyClick(pane.treemap(), Qt::Key_Backspace);
    EXPECT_TRUE(pane.selection());

    // Analysing from inside a folder comes back to the top.
    pane.drillIn(projects);
    pane.analyse();
    EXPECT_TRUE(pane.stack().isEmpty());
    ASSERT_TRUE(settled(scanner));
    EXPECT_EQ(Find::part<QKLineLabel>(pane, "diskMapBreadcrumb")->text(), "Home");
    EXPECT_EQ(pane.treemap()->nodes().size(), 2);
}

TEST(DiskMapPane, FailureShowsItsMessage) {
    DiskMapScanner scanner(requestFor(testsupport::freshDir("pane-missing") + "/gone"));
    DiskMapPane pane(scanner, nullptr);
    pane.show();
    ASSERT_TRUE(settled(scanner));
    EXPECT_TRUE(Find::part<QKScanStatePages>(pane, "diskMapBody")->isShowing(QKScanPhase::Failed));
    EXPECT_EQ(Find::part<QKEmptyState>(pane, "diskMapFailed")->title(), "Could not map");
    EXPECT_EQ(Find::part<QKEmptyState>(pane, "diskMapFailed")->message(),
              DiskMapScanner::unreadableHomeText());
    EXPECT_EQ(Find::part<QPushButton>(pane, "diskMapPrimary")->text(), "Analyse home");
}

TEST(DiskMapPane, AFolderNameWithoutRoomIsCutWithAnEllipsisAndReadWhole) {
    DiskMapScanner scanner(requestFor(makeHome()));
    DiskMapPane pane(scanner, nullptr);
    pane.resize(900, 600);
    pane.show();
    QApplication::processEvents();
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().phase == Kind::Done; }));
    QApplication::processEvents();
    auto* trail = Find::part<QKLineLabel>(&pane, "diskMapBreadcrumb");
    EXPECT_EQ(trail->displayedText(), "Home");
    // Squeezed by the header's buttons in a narrow pane: "Ho…", never a letter cut in half.
    trail->setText(QString::fromUtf8(
        "Home \u203A Downloads \u203A Installers \u203A Old versions \u203A 2023 \u203A Spring "
        "\u203A Week fourteen \u203A Drafts \u203A Final \u203A Really final"));
    pane.resize(360, 600);
    QApplication::processEvents();
    EXPECT_TRUE(trail->displayedText().endsWith(QString::fromUtf8("…")))
        << trail->displayedText().toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(trail)->text(QAccessible::Name),
              QString::fromUtf8(
                  "Home \u203A Downloads \u203A Installers \u203A Old versions \u203A 2023 \u203A "
                  "Spring \u203A Week fourteen \u203A Drafts \u203A Final \u203A Really final"));
}
