#include "storage/views/FoldersView.h"
#include "fakes/FakeFileRevealer.h"
#include "platform/ByteFormat.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderBrowserText.h"
#include "storage/FolderTree.h"
#include "storage/views/FolderBrowserView.h"
#include "storage/views/FolderIcons.h"
#include "storage/views/FolderRowDelegate.h"
#include "storage/views/ScrollStops.h"
#include "ui-kit/DraggableDivider.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbolButton.h"
#include "ui-kit/QKTransientNote.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "support/FindPage.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QThread>
#include <QThreadPool>

using namespace diskmaptest;

namespace {

// A home of two folders (one holding a folder of its own), a package and a file.
QString makeHome() {
    const QString home = testsupport::freshDir("folders-view");
    makeFile(home + "/Work/Clients/brief.pdf", 2 * 4096);
    makeFile(home + "/Work/notes.txt", 4096);
    makeFile(home + "/Player.app/Contents/bin", 3 * 4096);
    makeFile(home + "/todo.txt", 4096);
    makeDir(home + "/Empty");
    return home;
}

struct Screen {
    FolderTree tree;
    ScreenState state;
    FakeFileRevealer revealer;
    int biggestMade = 0;
    FoldersView view;

    explicit Screen(const QString& home, FolderTree::Deps tools = {})
        : tree(home, std::move(tools)), view(tree, state, &revealer, [this](QWidget* host) {
              ++biggestMade;
              auto* pane = new QWidget(host);
              pane->setObjectName(QStringLiteral("biggestStandIn"));
              return pane;
          }) {
        view.resize(1000, 640);
    }
    ~Screen() {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    FolderBrowserView& browser() { return *Find::part<FolderBrowserView>(view, "folderBrowser"); }
    QKSymbolButton* back() { return Find::part<QKSymbolButton>(browser(), "folderBrowserBack"); }
    QPushButton* home() { return Find::part<QPushButton>(browser(), "folderBrowserHome"); }
    // The trail's folder buttons, outermost first.
    QList<QPushButton*> trail() {
        QList<QPushButton*> buttons;
        while (auto* b = Find::maybe<QPushButton>(
                   browser(), QStringLiteral("folderBrowserTrail%1").arg(buttons.size())))
            buttons << b;
        return buttons;
    }
    QString status() { return Find::part<QLabel>(browser(), "folderBrowserStatus")->text(); }
    QString total() { return Find::part<QLabel>(browser(), "folderBrowserTotal")->text(); }
    bool settled() {
        return testsupport::waitFor([&] { return !tree.isListing() && tree.measuringCount() == 0; },
                                    20'000);
    }
    // Shown in the active window, as keys and focus need, with the listing done.
    bool shownActive() {
        view.show();
        QApplication::setActiveWindow(&view);
        return QTest::qWaitForWindowActive(&view) && settled();
    }
    FolderEntry entry(const QString& name) const {
        for (const FolderEntry& e : tree.entries()) {
            if (e.name == name)
                return e;
        }
        return {};
    }
    void select(const QString& name) { state.setFolderSelection(entry(name).id); }
};

} // namespace

TEST(FoldersView, FirstShowListsHomeAndAReturnLeavesTheTreeWhereItWas) {
    Screen s(makeHome());
    EXPECT_TRUE(Find::showing(s.view, "foldersBrowse"));
    s.view.show();
    EXPECT_TRUE(s.tree.isListing());
    const quint64 generation = s.tree.generation();
    s.view.hide();
    s.view.show(); // a listing under way is not started again
    EXPECT_EQ(s.tree.generation(), generation);
    ASSERT_TRUE(s.settled());
    EXPECT_EQ(s.tree.entries().size(), 4);

    s.tree.enter(s.entry("Work"));
    ASSERT_TRUE(s.settled());
    s.view.hide();
    s.view.show();
    EXPECT_EQ(s.tree.trail().size(), 1);
    EXPECT_EQ(s.tree.entries().size(), 2);
}

TEST(FoldersView, TheDetailFollowsTheSelectionByIdAndHidesWhatDoesNotApply) {
    Screen s(makeHome());
    s.view.show();
    ASSERT_TRUE(s.settled());
    EXPECT_FALSE(Find::part<QWidget>(s.view, "foldersPrompt")->isHidden());
    EXPECT_TRUE(Find::part<QWidget>(s.view, "foldersEntry")->isHidden());

    s.select("Work");
    EXPECT_TRUE(Find::part<QWidget>(s.view, "foldersPrompt")->isHidden());
    EXPECT_EQ(Find::part<QKClampedText>(s.view, "foldersDetailName")->text(), "Work");
    EXPECT_EQ(Find::part<QLabel>(s.view, "foldersDetailFiles")->text(),
              FolderBrowserText::filesInside(2));
    EXPECT_FALSE(Find::part<QPushButton>(s.view, "foldersLookInside")->isHidden());
    EXPECT_TRUE(Find::part<QWidget>(s.view, "foldersCategory")
                    ->isHidden()); // "Work" is of no known category
    EXPECT_TRUE(Find::part<QKIconLabel>(s.view, "foldersCloud")->isHidden());
    EXPECT_TRUE(
        Find::part<QLabel>(s.view, "foldersDetailModified")->text().startsWith("Last changed "));

    // A package counts its files but cannot be looked into; a plain file shows neither.
    s.select("Player.app");
    EXPECT_EQ(Find::part<QLabel>(s.view, "foldersDetailFiles")->text(), "1 file inside");
    EXPECT_TRUE(Find::part<QPushButton>(s.view, "foldersLookInside")->isHidden());
    s.select("todo.txt");
    EXPECT_TRUE(Find::part<QLabel>(s.view, "foldersDetailFiles")->isHidden());
    EXPECT_TRUE(Find::part<QPushButton>(s.view, "foldersLookInside")->isHidden());
    s.view.revealSelection();
    EXPECT_EQ(s.revealer.revealed, QStringList({s.entry("todo.txt").path}));
    EXPECT_EQ(QKTransientNote::shownIn(&s.view), nullptr);
    s.revealer.refuses = true;
    s.view.revealSelection();
    ASSERT_TRUE(QKTransientNote::shownIn(&s.view));
    EXPECT_EQ(QKTransientNote::shownIn(&s.view)->anchor(),
              Find::part<QPushButton>(s.view, "foldersReveal"));

    // "Look inside" goes down a level and back to the prompt; a stale id shows the prompt too.
    s.select("Work");
    s.view.lookInside();
    EXPECT_FALSE(s.state.folderSelection());
    EXPECT_FALSE(Find::part<QWidget>(s.view, "foldersPrompt")->isHidden());
    ASSERT_TRUE(s.settled());
    s.state.setFolderSelection(s.tree.home() + "/todo.txt");
    EXPECT_FALSE(s.view.selectedEntry());
    EXPECT_FALSE(Find::part<QWidget>(s.view, "foldersPrompt")->isHidden());
}

TEST(FoldersView, LegendSplitterAndModesLiveInScreenState) {
    Screen s(makeHome());
    s.view.show();
    QStringList legend;
    for (const QLabel* label : Find::parts<QLabel>(s.view, "foldersLegendLabel"))
        legend << label->text();
    EXPECT_EQ(legend, QStringList({"Client work", "Personal", "Photos and video",
                                   "Downloads and limbo", "Code", "Admin and finance"}));
    EXPECT_EQ(Find::part<QWidget>(s.view, "foldersDetail")->width(), 260);
    EXPECT_GE(Find::part<FolderBrowserView>(s.view, "folderBrowser")->minimumWidth(), 380);
    Find::part<DraggableDivider>(s.view, "foldersDivider")
        ->setPaneWidth(DraggableDivider::draggedWidth(260, -1000, 200, 460, true));
    EXPECT_EQ(s.state.folderSidebarWidth(), 460);
    EXPECT_EQ(Find::part<QWidget>(s.view, "foldersDetail")->width(), 460);
    s.state.setFolderSidebarWidth(220);
    EXPECT_EQ(Find::part<QWidget>(s.view, "foldersDetail")->width(), 220);

    EXPECT_EQ(s.biggestMade, 0);
    emit Find::part<SegmentedControl>(s.view, "foldersMode")->activated(1);
    EXPECT_EQ(s.state.folderMode(), FoldersMode::Biggest);
    EXPECT_TRUE(Find::showing(s.view, "biggestStandIn"));
    s.state.setFolderMode(FoldersMode::Browse);
    s.state.setFolderMode(FoldersMode::Biggest);
    EXPECT_EQ(s.biggestMade, 1);
    EXPECT_EQ(Find::part<SegmentedControl>(s.view, "foldersMode")->currentIndex(), 1);
}

TEST(FoldersView, AReaderHearsTheListByNameAndScrollViewsAreNoExtraTabStops) {
    Screen s(makeHome());
    ASSERT_TRUE(s.shownActive());
    s.select("Work");
    EXPECT_EQ(storagetest::accessibleNameOf(s.browser().list()), "Items in this folder");
    EXPECT_EQ(storagetest::scrollStopProblems(&s.view), QStringList());
}

TEST(FolderBrowser, TheTrailIsNamedForAReaderAndTabGoesStraightToItsButtons) {
    Screen s(makeHome());
    ASSERT_TRUE(s.shownActive());
    s.tree.enter(s.entry("Work"));
    ASSERT_TRUE(s.settled());
    ASSERT_EQ(s.trail().size(), 1);

    auto* path = Find::part<QScrollArea>(s.browser(), "folderBrowserPath");
    EXPECT_EQ(storagetest::accessibleNameOf(path), "Path to this folder");
    EXPECT_EQ(testsupport::scrollAreaProblems(&s.browser()), QStringList());

    // From Back, Tab lands on Home, never on the area around the trail.
    s.back()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(s.back(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), s.home());
}

TEST(FolderBrowser, TrailButtonsAndWhatClearsTheSelection) {
    auto hold = std::make_shared<std::atomic_bool>(false);
    FolderTree::Deps tools;
    tools.measure = [hold](const QString& folder, const CancelToken& cancel) {
        while (hold->load())
            QThread::msleep(1);
        return FolderTree::measureFolder(folder, cancel);
    };
    Screen s(makeHome(), tools);
    s.view.show();
    ASSERT_TRUE(s.settled());
    FolderBrowserView& b = s.browser();
    // The symbol-only buttons are named for assistive technology by what their tooltips say.
    EXPECT_EQ(s.back()->accessibleName(), "Back up one folder");
    EXPECT_NE(testsupport::findAccessible(&b, "Measure this folder again"), nullptr);
    EXPECT_TRUE(testsupport::accessibilityProblems(&b).isEmpty())
        << testsupport::accessibilityProblems(&b).join('\n').toStdString();
    EXPECT_FALSE(s.back()->isEnabled());
    EXPECT_FALSE(s.home()->isEnabled());
    EXPECT_TRUE(s.trail().isEmpty());
    EXPECT_EQ(s.status(), "4 items");

    // Double click: a folder is entered, a package revealed.
    b.activate(s.entry("Player.app"));
    EXPECT_EQ(s.revealer.revealed.size(), 1);
    // A refused reveal from the list points at the entry's row.
    s.revealer.refuses = true;
    b.reveal(s.entry("Player.app"));
    s.revealer.refuses = false;
    ASSERT_TRUE(QKTransientNote::shownIn(&s.view));
    EXPECT_EQ(QKTransientNote::shownIn(&s.view)->anchor(), b.list()->viewport());
    EXPECT_TRUE(s.tree.trail().isEmpty());
    EXPECT_EQ(b.menuActions(s.entry("Player.app")), QStringList({"Show in File Manager"}));
    EXPECT_EQ(b.menuActions(s.entry("Work")),
              QStringList({"Open in Pendrel", "Show in File Manager"}));
    s.select("Work");
    b.activate(s.entry("Work"));
    EXPECT_FALSE(s.state.folderSelection());
    ASSERT_TRUE(s.settled());
    b.activate(s.entry("Clients"));
    ASSERT_TRUE(s.settled());
    ASSERT_EQ(s.trail().size(), 2);
    EXPECT_TRUE(s.trail().at(0)->isEnabled());
    EXPECT_FALSE(s.trail().at(1)->isEnabled());
    EXPECT_TRUE(s.back()->isEnabled());
    EXPECT_EQ(s.status(), "1 item");

    s.trail().at(0)->click();
    EXPECT_EQ(s.tree.trail().size(), 1);
    ASSERT_TRUE(s.settled());

    // Measuring again forgets every size: each folder is measured anew, files keep theirs.
    s.select("notes.txt");
    *hold = true;
    b.remeasure();
    EXPECT_FALSE(s.state.folderSelection());
    ASSERT_TRUE(testsupport::waitFor([&] { return !s.tree.isListing(); }));
    EXPECT_EQ(s.status(), "Measuring 1 folder…");
    EXPECT_EQ(s.total(), "4 KB");
    *hold = false;
    ASSERT_TRUE(s.settled());
    // notes.txt and Clients, its file and its own blocks.
    EXPECT_EQ(s.total(), formatBytes(4096 + duOf(s.tree.home() + "/Work/Clients").bytes));

    s.select("notes.txt");
    b.goBack();
    EXPECT_FALSE(s.state.folderSelection());
    ASSERT_TRUE(s.settled());
    EXPECT_FALSE(s.home()->isEnabled());
}

TEST(FolderBrowser, AFailureShowsItsPanelAndTryAgainKeepsTheSelection) {
    const QString home = makeHome();
    auto refuse = std::make_shared<std::atomic_bool>(true);
    FolderTree::Deps tools;
    tools.list = [refuse](const QString& folder) -> FolderTree::Listing {
        if (refuse->load())
            return std::nullopt;
        return FolderTree::listFolder(folder);
    };
    Screen s(home, tools);
    s.view.show();
    ASSERT_TRUE(s.settled());
    FolderBrowserView& b = s.browser();
    EXPECT_TRUE(Find::showing(b, "folderBrowserFailed"));
    EXPECT_EQ(Find::part<QKEmptyState>(b, "folderBrowserFailed")->message(),
              FolderTree::unreadableText());
    s.state.setFolderSelection(home + "/todo.txt");
    *refuse = false;
    b.tryAgain();
    EXPECT_TRUE(Find::showing(b, "folderBrowserOpening"));
    ASSERT_TRUE(s.settled());
    EXPECT_EQ(s.state.folderSelection(), home + "/todo.txt");
    EXPECT_EQ(b.list()->currentIndex().data(Qt::DisplayRole).toString(), "todo.txt");
    EXPECT_TRUE(Find::showing(b, "folderBrowserList"));

    s.tree.enter(s.entry("Empty"));
    ASSERT_TRUE(s.settled());
    EXPECT_TRUE(Find::showing(b, "folderBrowserEmpty"));
    EXPECT_EQ(s.status(), "0 items");
}

// Only the user's own clicks and keys choose a row: the list taking the focus, or being filled
// anew, picks nothing, however Qt moves its current index.
TEST(FolderBrowser, TheSelectionFollowsTheUserOnly) {
    Screen s(makeHome());
    ASSERT_TRUE(s.shownActive());
    FolderBrowserView& b = s.browser();
    QListView* list = b.list();
    list->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_FALSE(s.state.folderSelection());

    const auto settledWithNothingSelected = [&](const char* after) {
        ASSERT_TRUE(s.settled()) << after;
        list->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_FALSE(s.state.folderSelection()) << after;
        EXPECT_FALSE(list->selectionModel()->hasSelection()) << after;
    };

    // A click selects; entering a folder, going back, home, along the trail and measuring
    // again leave nothing selected once the new list is in.
    const QModelIndex work = s.tree.model()->index(s.tree.model()->rowOf(s.entry("Work").id));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(work).center());
    EXPECT_EQ(s.state.folderSelection(), s.entry("Work").id);
    b.activate(s.entry("Work"));
    settledWithNothingSelected("entering");
    b.goBack();
    settledWithNothingSelected("back");
    b.activate(s.entry("Work"));
    ASSERT_TRUE(s.settled());
    b.activate(s.entry("Clients"));
    ASSERT_TRUE(s.settled());
    s.trail().at(0)->click();
    settledWithNothingSelected("trail");
    b.remeasure();
    settledWithNothingSelected("re-measure");
    s.home()->click();
    settledWithNothingSelected("home");

    // Keys move the selection like clicks (down, then up: one of them moves, wherever Qt left its
    // current row).
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_TRUE(s.state.folderSelection());
}

TEST(FolderBrowser, TheKeysRingTheCurrentRowAndReturnAndSpaceActOnIt) {
    Screen s(makeHome());
    ASSERT_TRUE(s.shownActive());
    FolderBrowserView& b = s.browser();
    QListView* list = b.list();
    const QModelIndex work = s.tree.model()->index(s.tree.model()->rowOf(s.entry("Work").id));
    const auto rows = [&] {
        QCoreApplication::processEvents();
        return list->viewport()->grab().toImage();
    };

    // A click selects and focuses without a ring; the same focus by keyboard rings the row.
    s.view.setAttribute(Qt::WA_KeyboardFocusChange, false);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(work).center());
    ASSERT_TRUE(list->hasFocus());
    ASSERT_EQ(list->currentIndex(), work);
    const QImage clicked = rows();
    s.view.setAttribute(Qt::WA_KeyboardFocusChange);
    list->viewport()->update();
    EXPECT_NE(rows(), clicked) << "the current row shows no keyboard focus";
    list->clearFocus();
    EXPECT_EQ(rows(), clicked) << "without the focus the row looks as a click left it";
    list->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();

    // Space clears the selection and keeps the row the keys are on; again, it selects it.
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_FALSE(s.state.folderSelection());
    EXPECT_EQ(list->currentIndex(), work);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(s.state.folderSelection(), s.entry("Work").id);

    // Return does what a double click does: a folder is entered, a file revealed.
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(s.settled());
    EXPECT_EQ(s.tree.trail().size(), 1);
    EXPECT_FALSE(s.state.folderSelection());
    const QModelIndex notes = s.tree.model()->index(s.tree.model()->rowOf(s.entry("notes.txt").id));
    list->setCurrentIndex(notes);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(s.revealer.revealed.size(), 1);
    EXPECT_TRUE(s.revealer.revealed.constFirst().endsWith(QStringLiteral("/Work/notes.txt")));
    EXPECT_EQ(s.tree.trail().size(), 1);
}

TEST(FolderRow, BarsFollowTheLargestMeasuredSibling) {
    Screen s(makeHome());
    s.view.show();
    ASSERT_TRUE(s.settled());
    auto* delegate = static_cast<FolderRowDelegate*>(s.browser().list()->itemDelegate());
    EXPECT_EQ(delegate->largest(), s.tree.largestEntrySize());
    const QRect row(0, 0, 600, 40);
    const QModelIndex top = s.tree.model()->index(0);
    EXPECT_DOUBLE_EQ(delegate->barRect(row, top).width(), 70);
    const QModelIndex last = s.tree.model()->index(s.tree.model()->rowCount() - 1);
    EXPECT_GE(delegate->barRect(row, last).width(), 2);
    // The tooltip gives the whole name, which the row may cut, before the hint.
    EXPECT_EQ(last.data(Qt::ToolTipRole).toString(),
              s.tree.entries().last().name + "\n" +
                  FolderBrowserText::rowHelp(s.tree.entries().last()));

    // Assistive technology reads each row's figures, not its name alone: the largest row's bar
    // is the whole track.
    QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(s.browser().list());
    ASSERT_TRUE(rows);
    QAccessibleInterface* first = nullptr;
    for (int i = 0; i < rows->childCount() && !first; ++i) {
        QAccessibleInterface* cell = rows->child(i);
        if (cell && cell->text(QAccessible::Name) == s.tree.entries().first().name)
            first = cell;
    }
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->text(QAccessible::Description)
                    .startsWith(formatBytes(*s.tree.entries().first().sizeBytes) +
                                ", 100% of the largest here"))
        << first->text(QAccessible::Description).toStdString();
}

// The rows' spinners turn with the kit's turn: only while sizes are due, and never where busy
// indicators stand still (offscreen renders, whose pictures must not depend on when they were
// taken). Making the screen loads the file-type database on the pool, for the first icons.
TEST(FolderBrowser, RowSpinnersTurnOnlyWhileMeasuringAndAnimated) {
    auto hold = std::make_shared<std::atomic_bool>(true);
    FolderTree::Deps tools;
    tools.measure = [hold](const QString& folder, const CancelToken& cancel) {
        while (hold->load() && !cancel.isCancelled())
            QThread::msleep(1);
        return FolderTree::measureFolder(folder, cancel);
    };
    for (const bool animated : {true, false}) {
        SCOPED_TRACE(animated ? "animated" : "standing still");
        QKSpinner::setAnimated(animated);
        hold->store(true);
        Screen s(makeHome(), tools);
        s.view.show();
        ASSERT_TRUE(testsupport::waitFor([&] { return s.tree.measuringCount() >= 1; }, 20'000));
        EXPECT_EQ(s.browser().rowsTurning(), animated);
        hold->store(false);
        ASSERT_TRUE(s.settled());
        EXPECT_FALSE(s.browser().rowsTurning());
        QThreadPool::globalInstance()->waitForDone();
        EXPECT_TRUE(FolderIcons::isWarm());
    }
    QKSpinner::setAnimated(true);
}

namespace {

// The visible widgets under root that show something of their own (no visible child), in root's
// coordinates.
QList<std::pair<QWidget*, QRect>> shownLeaves(QWidget* root) {
    QList<std::pair<QWidget*, QRect>> leaves;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->width() <= 0 || w->height() <= 0)
            continue;
        const QList<QWidget*> children = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        if (std::any_of(children.begin(), children.end(),
                        [&](QWidget* c) { return c->isVisibleTo(root); }))
            continue;
        leaves.append({w, QRect(w->mapTo(root, QPoint(0, 0)), w->size())});
    }
    return leaves;
}

std::string who(const QWidget* w) {
    return (QString::fromLatin1(w->metaObject()->className()) + "#" + w->objectName())
        .toStdString();
}

// A text the widget shows cut short, or nothing: what a user cannot read there.
QString cutShort(const QWidget* w) {
    if (auto* clamped = qobject_cast<const QKClampedText*>(w)) {
        const QStringList lines = clamped->displayedLines(clamped->width());
        if (clamped->height() < clamped->heightForWidth(clamped->width()))
            return clamped->text();
        if (!lines.isEmpty() && lines.constLast().endsWith(QChar(0x2026)))
            return clamped->text();
    } else if (auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
        if (label->wordWrap() ? label->height() < label->heightForWidth(label->width())
                              : label->width() < label->minimumSizeHint().width())
            return label->text();
    } else if (auto* button = qobject_cast<const QPushButton*>(w)) {
        if (button->width() < button->sizeHint().width() ||
            button->height() < button->sizeHint().height())
            return button->text();
    }
    return {};
}

} // namespace

TEST(FoldersView, AtTheLargestTextInTheSmallestWindowNothingInTheDetailIsCutOrOverlaps) {
    Themed::shared();
    UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(TextSize::Largest));
    const QString home = makeHome();
    const QString longName = QStringLiteral(
        "Northwind Studio Downloads from the spring campaign and the autumn review of everything");
    makeFile(home + "/Work/Clients/" + longName + "/brief.pdf", 4096);
    makeFile(home + "/Work/Clients/invoice.pdf", 4096);
    Screen s(home);
    // The content area of the smallest window, beside the sidebar.
    s.view.resize(700, 560);
    ASSERT_TRUE(s.shownActive());
    s.tree.enter(s.entry("Work"));
    ASSERT_TRUE(s.settled());
    s.tree.enter(s.entry("Clients"));
    ASSERT_TRUE(s.settled());
    // The screen fits the window: the side scrolls rather than making it taller.
    EXPECT_EQ(s.view.height(), 560);
    auto* scroll = Find::part<QScrollArea>(s.view, "foldersDetail");
    QWidget* side = scroll->widget();

    // At the side's default width and at its narrowest, with a folder (both buttons), a file and
    // nothing selected.
    for (double width : {260.0, FoldersView::minSideWidth}) {
        s.state.setFolderSidebarWidth(width);
        for (const QString& name : {longName, QStringLiteral("invoice.pdf"), QString()}) {
            if (name.isEmpty())
                s.state.setFolderSelection(std::nullopt);
            else
                s.select(name);
            // A layout request climbs one level a turn of the event loop.
            for (int turn = 0; turn < 5; ++turn)
                QApplication::processEvents();
            const std::string at = std::to_string(int(width)) + " " + name.toStdString();
            const QList<std::pair<QWidget*, QRect>> leaves = shownLeaves(side);
            for (qsizetype i = 0; i < leaves.size(); ++i) {
                const auto& [w, r] = leaves.at(i);
                // Across: inside what the side shows (it scrolls only up and down).
                EXPECT_TRUE(r.left() >= 0 && r.right() < scroll->viewport()->width())
                    << who(w) << " " << at;
                const QString cut = cutShort(w);
                if (!cut.isEmpty()) {
                    // Cut only with the whole text offered.
                    EXPECT_EQ(w->toolTip(), cut) << who(w) << " " << at;
                    EXPECT_EQ(w->accessibleDescription(), cut) << who(w) << " " << at;
                }
                for (qsizetype j = 0; j < i; ++j)
                    EXPECT_FALSE(r.intersects(leaves.at(j).second))
                        << who(w) << " overlaps " << who(leaves.at(j).first) << " " << at;
            }
        }
    }

    // The trail cuts the names the toolbar has no room for, and offers them whole.
    s.select("invoice.pdf");
    s.tree.enter(s.entry(longName));
    ASSERT_TRUE(s.settled());
    const QList<QPushButton*> trail = s.trail();
    ASSERT_EQ(trail.size(), 3);
    const QStringList whole = {"Work", "Clients", longName};
    int cut = 0;
    for (qsizetype i = 0; i < trail.size(); ++i) {
        QPushButton* b = trail.at(i);
        EXPECT_EQ(b->accessibleName(), whole.at(i));
        EXPECT_GE(b->width(), b->sizeHint().width()) << i;
        const QRect r(b->mapTo(b->parentWidget()->parentWidget(), QPoint(0, 0)), b->size());
        EXPECT_TRUE(b->parentWidget()->parentWidget()->rect().contains(r)) << i;
        if (b->text() == whole.at(i)) {
            EXPECT_EQ(b->toolTip(), QString()) << i;
            continue;
        }
        ++cut;
        EXPECT_TRUE(b->text().endsWith(QChar(0x2026))) << b->text().toStdString();
        EXPECT_EQ(b->toolTip(), whole.at(i));
        EXPECT_EQ(b->accessibleDescription(), whole.at(i));
    }
    EXPECT_GT(cut, 0);
    // Short of room, the outer names fold first: the folder the user is in still says something.
    EXPECT_GT(trail.constLast()->text().size(), 1);
    // With room, every name is whole again.
    s.view.resize(1600, 560);
    QApplication::processEvents();
    for (qsizetype i = 0; i < trail.size(); ++i) {
        EXPECT_EQ(trail.at(i)->text(), whole.at(i));
        EXPECT_EQ(trail.at(i)->toolTip(), QString());
    }
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}
