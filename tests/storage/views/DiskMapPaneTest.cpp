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
#include "ui-kit/QKTransientNote.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QThreadPool>

using namespace diskmaptest;
using Kind = DiskMapScanner::State::Kind;

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
    EXPECT_TRUE(pane.showsIdle());
    pane.show();
    EXPECT_TRUE(scanner.state().isScanning());
    EXPECT_TRUE(pane.showsProgress());
    EXPECT_EQ(pane.primaryButton()->text(), "Stop");
    EXPECT_EQ(pane.progressText(), "Opening your home folder");
    scanner.applyProgress(scanner.scanGeneration(), QString());
    EXPECT_EQ(pane.progressText(), QString::fromUtf8("Measuring\u2026"));
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
    EXPECT_EQ(scanner.state().kind, Kind::Idle);
    EXPECT_TRUE(pane.showsIdle());
    EXPECT_EQ(pane.idleState()->title(), "See where space lives");
    EXPECT_EQ(pane.primaryButton()->text(), "Analyse home");
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
    EXPECT_TRUE(pane.showsMap());
    EXPECT_EQ(pane.breadcrumbText(), "Home");
    EXPECT_TRUE(pane.upButton()->isHidden());
    EXPECT_EQ(pane.treemap()->nodes().size(), 2);
}

TEST(DiskMapPane, DrillingInAndOut) {
    DiskMapScanner scanner(requestFor(makeHome()));
    FakeFileRevealer revealer;
    DiskMapPane pane(scanner, &revealer);
    pane.resize(900, 600);
    pane.show();
    ASSERT_TRUE(settled(scanner));
    ASSERT_TRUE(pane.showsMap());

    const MapNode* notes = named(pane.currentNodes(), "notes.txt");
    ASSERT_NE(notes, nullptr);
    pane.drillIn(*notes); // a file cannot be entered
    EXPECT_TRUE(pane.stack().isEmpty());

    // Selecting a file shows its details, without a button to reveal it.
    emit pane.treemap()->selectionClicked(*notes);
    EXPECT_FALSE(pane.details()->isHidden());
    EXPECT_TRUE(pane.revealButton()->isHidden());

    const MapNode projects = *named(pane.currentNodes(), "Projects");
    emit pane.treemap()->selectionClicked(projects);
    EXPECT_FALSE(pane.revealButton()->isHidden());
    pane.revealButton()->click();
    EXPECT_EQ(revealer.revealed, QStringList({projects.id}));
    EXPECT_EQ(QKTransientNote::shownIn(&pane), nullptr);
    revealer.refuses = true;
    pane.revealButton()->click();
    ASSERT_TRUE(QKTransientNote::shownIn(&pane));
    EXPECT_EQ(QKTransientNote::shownIn(&pane)->anchor(), pane.revealButton());

    emit pane.treemap()->drillInRequested(projects);
    EXPECT_EQ(pane.breadcrumbText(), QString::fromUtf8("Home \u203A Projects"));
    EXPECT_FALSE(pane.upButton()->isHidden());
    EXPECT_FALSE(pane.selection());
    EXPECT_TRUE(pane.details()->isHidden());

    const MapNode app = *named(pane.currentNodes(), "app");
    pane.drillIn(app);
    // The legend sums this level only: one pool, classed by its biggest category.
    EXPECT_EQ(pane.categoryTotals(), (CategoryTotals{{DiskMapCategory::Code, app.sizeBytes}}));
    // Its ten blocks of files and the folder's own blocks.
    EXPECT_EQ(app.sizeBytes, 10 * 4096 + allocated(app.id));
    EXPECT_EQ(pane.legend()->rowTexts(), QStringList({"Code " + formatBytes(app.sizeBytes)}));

    pane.goUp();
    pane.goUp();
    EXPECT_EQ(pane.breadcrumbText(), "Home");
    EXPECT_TRUE(pane.upButton()->isHidden());

    // Analysing from inside a folder comes back to the top.
    pane.drillIn(projects);
    pane.analyse();
    EXPECT_TRUE(pane.stack().isEmpty());
    ASSERT_TRUE(settled(scanner));
    EXPECT_EQ(pane.breadcrumbText(), "Home");
    EXPECT_EQ(pane.treemap()->nodes().size(), 2);
}

TEST(DiskMapPane, FailureShowsItsMessage) {
    DiskMapScanner scanner(requestFor(testsupport::freshDir("pane-missing") + "/gone"));
    DiskMapPane pane(scanner, nullptr);
    pane.show();
    ASSERT_TRUE(settled(scanner));
    EXPECT_TRUE(pane.showsFailed());
    EXPECT_EQ(pane.failedState()->title(), "Could not map");
    EXPECT_EQ(pane.failedState()->message(), DiskMapScanner::unreadableHomeText());
    EXPECT_EQ(pane.primaryButton()->text(), "Analyse home");
}

TEST(DiskMapPane, AFolderNameWithoutRoomIsCutWithAnEllipsisAndReadWhole) {
    DiskMapScanner scanner(requestFor(makeHome()));
    DiskMapPane pane(scanner, nullptr);
    pane.resize(900, 600);
    pane.show();
    QApplication::processEvents();
    ASSERT_TRUE(testsupport::waitFor([&] { return scanner.state().kind == Kind::Done; }));
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
