// The describe-to-find panel beside the chat: its states, the hits and their "Show", the splitter,
// and the search requests other screens send.
#include "assistant/views/DescribeFindPanel.h"
#include "assistant/views/ChatScreen.h"
#include "assistant/views/SearchHitDelegate.h"
#include "shell/views/ContentView.h"
#include "shell/views/ShownScreen.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "ui-kit/DraggableDivider.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKTransientNote.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace chattest;
using SearchKind = ScanPhase;

TEST(TamsoAIView, FindPanelStatesAndTheSplitter) {
    Screen s(QStringLiteral("chat-find"));
    TamsoAIView* v = s.open();
    DescribeFindPanel* panel = Find::part<DescribeFindPanel>(v, "describeFindPanel");
    EXPECT_EQ(panel->resultsPage(), "idle");
    EXPECT_FALSE(Find::part<QPushButton>(panel, "clearSearch")->isVisible());
    EXPECT_EQ(panel->width(), 360);

    auto* field = Find::part<QLineEdit>(panel, "findField");
    QTest::keyClicks(field, "invoice");
    ASSERT_TRUE(Find::part<QPushButton>(panel, "findButton")->isEnabled());
    QTest::mouseClick(Find::part<QPushButton>(panel, "findButton"), Qt::LeftButton);
    EXPECT_EQ(panel->resultsPage(), "searching");
    ASSERT_TRUE(testsupport::waitFor([&] { return panel->resultsPage() == "results"; }));
    const QString invoice = s.finder.root() + QStringLiteral("/Documents/invoice-2024.pdf");
    QKRowList* hits = Find::part<QKRowList>(panel, "hitList");
    ASSERT_EQ(hits->model()->rowCount(), 1);
    const QModelIndex hit = hits->model()->index(0, 0);
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(hits)->child(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(QAccessible::Name), "invoice-2024.pdf");
    QCoreApplication::processEvents(); // the list lays its rows out
    const QRect show = static_cast<SearchHitDelegate*>(hits->itemDelegate())
                           ->actionRect(hit, QStringLiteral("showHit"));
    ASSERT_FALSE(show.isEmpty());
    QTest::mouseClick(hits->viewport(), Qt::LeftButton, {}, show.center());
    EXPECT_EQ(s.revealer.revealed, QStringList{invoice});
    hits->setFocus();
    hits->setCurrentIndex(hit);
    QTest::keyClick(hits, Qt::Key_Return);
    EXPECT_EQ(s.revealer.revealed, QStringList({invoice, invoice})) << "Return shows it too";
    // Where nothing can show it, the line appears under the hit's "Show".
    EXPECT_EQ(QKTransientNote::shownIn(panel), nullptr);
    s.revealer.refuses = true;
    QTest::mouseClick(hits->viewport(), Qt::LeftButton, {}, show.center());
    s.revealer.refuses = false;
    QKTransientNote* note = QKTransientNote::shownIn(panel);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->anchor(), hits->viewport());
    const QPoint under = hits->viewport()->mapTo(panel->window(), show.bottomLeft());
    EXPECT_GT(note->y(), under.y());
    EXPECT_LT(note->y(), under.y() + 12);
    // The fields are named by their prompts.
    EXPECT_TRUE(testsupport::accessibilityProblems(v).isEmpty())
        << testsupport::accessibilityProblems(v).join('\n').toStdString();
    EXPECT_TRUE(Find::part<QPushButton>(panel, "clearSearch")->isVisible());

    // Blanks: "Find" is off, Return still searches and fails, replacing the hits.
    field->clear();
    QTest::keyClicks(field, "  ");
    EXPECT_FALSE(Find::part<QPushButton>(panel, "findButton")->isEnabled());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(panel->resultsPage(), "failed");
    EXPECT_EQ(Find::part<QKIconLabel>(panel, "findFailure")->text(),
              "Describe what you are looking for in a few words.");

    QTest::keyClicks(field, "kubernetes");
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_TRUE(testsupport::waitFor([&] { return panel->resultsPage() == "empty"; }));
    EXPECT_TRUE(Find::part<QPushButton>(panel, "clearSearch")->isVisible());

    // A rebuilt screen refills an empty field from the last search, never a typed one.
    s.screen.setTamsoSearch(QString());
    v = s.open();
    EXPECT_EQ(Find::part<QLineEdit>(v, "findField")->text(), "  kubernetes");
    QTest::mouseClick(Find::part<QPushButton>(Find::part<DescribeFindPanel>(v, "describeFindPanel"),
                                              "clearSearch"),
                      Qt::LeftButton);
    EXPECT_EQ(Find::part<DescribeFindPanel>(v, "describeFindPanel")->resultsPage(), "idle");
    EXPECT_TRUE(Find::part<QLineEdit>(v, "findField")->text().isEmpty());
    EXPECT_TRUE(s.finder.lastQuery().isEmpty());
    EXPECT_FALSE(Find::part<QPushButton>(Find::part<DescribeFindPanel>(v, "describeFindPanel"),
                                         "clearSearch")
                     ->isVisible());

    // The splitter keeps the panel between 240 and 620 points, and the width outlives the screen.
    for (int i = 0; i < 30; ++i)
        Find::part<DraggableDivider>(v, "findDivider")->increment();
    EXPECT_EQ(s.screen.tamsoFindWidth(), 620);
    EXPECT_EQ(Find::part<DescribeFindPanel>(v, "describeFindPanel")->width(), 620);
    v = s.open();
    EXPECT_EQ(Find::part<DescribeFindPanel>(v, "describeFindPanel")->width(), 620);
}

// A search that ran out of time says it saw only part of the home, never "nothing matched".
TEST(TamsoAIView, AFindCutShortSaysSoBesideTheHits) {
    SpotlightSearch::Limits outOfTime;
    outOfTime.maxMilliseconds = 0;
    Screen s(QStringLiteral("chat-find-partial"), outOfTime);
    s.finder.setWalkThreads(1);
    for (int i = 0; i < 100; ++i) {
        QFile file(s.finder.root() + QStringLiteral("/Documents/invoice-%1.txt").arg(i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    DescribeFindPanel* panel = Find::part<DescribeFindPanel>(s.open(), "describeFindPanel");
    EXPECT_FALSE(Find::part<QLabel>(panel, "findPartial")->isVisible());

    panel->runSearch(QStringLiteral("invoice"));
    ASSERT_TRUE(testsupport::waitFor([&] { return panel->resultsPage() == "results"; }));
    EXPECT_TRUE(Find::part<QLabel>(panel, "findPartial")->isVisible());
    EXPECT_EQ(Find::part<QLabel>(panel, "findPartial")->text(),
              "Searched part of your home folder: it is too big to search in full, so more files "
              "may match. Try more specific words.");

    panel->runSearch(QStringLiteral("kubernetes"));
    ASSERT_TRUE(testsupport::waitFor([&] { return s.finder.state().phase == SearchKind::Done; }));
    EXPECT_NE(panel->resultsPage(), "empty");
    EXPECT_TRUE(Find::part<QLabel>(panel, "findPartial")->isVisible());
    EXPECT_EQ(Find::part<QLabel>(panel, "findPartial")->text(),
              "Searched part of your home folder: it is too big to search in full, and nothing "
              "matched in that part. Try more specific words.");

    panel->clearSearch();
    EXPECT_FALSE(Find::part<QLabel>(panel, "findPartial")->isVisible());
}

TEST(TamsoAIView, SearchRequestsReachOnlyTheShownScreen) {
    Screen s(QStringLiteral("chat-notify"));
    const QString defaultsDir = testsupport::freshDir(QStringLiteral("chat-notify-defaults"));
    UserDefaults defaults(defaultsDir + QStringLiteral("/defaults.json"));
    Services services;
    services.appState = &s.appState;
    services.assistant = s.rig.assistant.get();
    services.screen = &s.screen;
    ContentView content(
        services,
        ContentView::Deps{.makeScreen = [&s](const QString& id, QWidget* parent) -> QWidget* {
                              if (id == QLatin1String("tamso"))
                                  return new TamsoAIView(s.screen, s.appState, *s.rig.assistant,
                                                         s.finder, &s.revealer, parent);
                              return new QWidget(parent);
                          },
                          .defaults = &defaults});
    content.resize(1300, 800);
    content.show();
    NotificationCenter& center = NotificationCenter::defaultCenter();

    center.post(Notifications::RunSearch, QStringLiteral("invoice"));
    EXPECT_EQ(s.finder.state().phase, SearchKind::Idle);
    EXPECT_TRUE(s.screen.tamsoSearch().isEmpty());

    // The home strip's question lands on the chat screen, which then takes search requests,
    // replacing what was typed.
    center.post(Notifications::AskTamso, QString());
    ASSERT_NE(qobject_cast<TamsoAIView*>(shownScreen(content)), nullptr);
    s.screen.setTamsoSearch(QStringLiteral("half typed"));
    center.post(Notifications::RunSearch, QStringLiteral("find my invoice"));
    EXPECT_EQ(s.screen.tamsoSearch(), "find my invoice");
    EXPECT_EQ(s.finder.lastQuery(), "find my invoice");
    ASSERT_TRUE(testsupport::waitFor([&] { return s.finder.state().phase == SearchKind::Done; }));
    EXPECT_EQ(s.finder.results().size(), 1);

    content.selectSection(QStringLiteral("dashboard"));
    center.post(Notifications::RunSearch, QStringLiteral("letter"));
    QCoreApplication::processEvents();
    EXPECT_EQ(s.finder.lastQuery(), "find my invoice");
    EXPECT_EQ(s.screen.tamsoSearch(), "find my invoice");
}
