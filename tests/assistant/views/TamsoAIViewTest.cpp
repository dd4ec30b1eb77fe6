// The assistant's screen over a real assistant on fakes, a real search over a sandbox home, and
// the main window's content view for the cross-screen messages.
#include "assistant/views/TamsoAIView.h"
#include "assistant/AssistantTestSupport.h"
#include "assistant/SpotlightSearch.h"
#include "assistant/TamsoMessageListModel.h"
#include "assistant/views/ChatMessageDelegate.h"
#include "assistant/views/ChatMessageRow.h"
#include "assistant/views/DescribeFindPanel.h"
#include "assistant/views/SearchHitDelegate.h"
#include "fakes/FakeFileRevealer.h"
#include "fakes/FakeSnapshotSampler.h"
#include "shell/ScreenState.h"
#include "shell/views/ContentView.h"
#include "shell/views/ShownScreen.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "ui-kit/DraggableDivider.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKTransientNote.h"
#include "vitals/AppState.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

using namespace assistanttest;
using SearchKind = ScanPhase;

namespace {

QString sandboxHome(const QString& name) {
    const QString home = testsupport::freshDir(name);
    for (const char* f : {"Documents/invoice-2024.pdf", "Documents/letter.txt"}) {
        const QString path = home + QLatin1Char('/') + QString::fromUtf8(f);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("hello");
    }
    return home;
}

struct Screen {
    explicit Screen(const QString& name, SpotlightSearch::Limits limits = {})
        : rig(name), appState(AppState::Options{.makeSampler = FakeSnapshotSampler::factory(
                                                    std::make_shared<FakeSamplerState>()),
                                                .startSampling = false}),
          finder(sandboxHome(name + QStringLiteral("-files")), limits) {}

    TamsoAIView* open() {
        view = std::make_unique<TamsoAIView>(screen, appState, *rig.assistant, finder, &revealer);
        view->resize(1100, 700);
        view->show();
        return view.get();
    }
    // Notifications posted on the assistant's own centre, by name.
    QStringList posted(const QString& name) {
        QStringList out;
        for (const auto& [n, payload] : rigPosts)
            if (n == name)
                out << payload;
        return out;
    }
    void watch() {
        for (const QString& n : {Notifications::OpenSection, Notifications::OpenDiskMode})
            rig.notifications.observe(n, &appState, [this, n](const QString& payload) {
                rigPosts.append({n, payload});
            });
    }
    // The conversation's list, its rows and the buttons they draw.
    QKRowList* list() const { return view->findChild<QKRowList*>(QStringLiteral("messages")); }
    ChatMessageDelegate* delegate() const {
        return qobject_cast<ChatMessageDelegate*>(list()->itemDelegate());
    }
    int rowCount() const { return list()->model()->rowCount(); }
    QModelIndex row(int i) const { return list()->model()->index(i, 0); }
    TamsoMessage message(int i) const {
        return row(i).data(TamsoMessageListModel::MessageRole).value<TamsoMessage>();
    }
    QStringList buttons(int i) const {
        QStringList names;
        for (const auto& [name, spoken] : delegate()->rowActions(row(i)))
            names << name;
        return names;
    }
    // The row and the button of the chip with this label, or -1 and nothing.
    std::pair<int, QString> chip(const QString& label) const {
        for (int i = 0; i < rowCount(); ++i)
            for (int a = 0; a < message(i).actions.size(); ++a)
                if (message(i).actions.at(a).label == label)
                    return {i, ChatMessageRow::chipName(a)};
        return {-1, {}};
    }
    // Clicks a button where the list draws it.
    void click(int i, const QString& button) {
        QCoreApplication::processEvents(); // the list lays its rows out
        const QRect at = delegate()->actionRect(row(i), button);
        ASSERT_FALSE(at.isEmpty()) << button.toStdString();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at.center());
    }
    void clickChip(const QString& label) {
        const auto [i, button] = chip(label);
        ASSERT_GE(i, 0) << label.toStdString();
        click(i, button);
    }
    bool waitForAnswers(qsizetype messages) {
        return testsupport::waitFor([&] {
            return rig.assistant->messages().size() >= messages && !rig.assistant->thinking() &&
                   rowCount() >= messages;
        });
    }

    AssistantRig rig;
    AppState appState;
    SpotlightSearch finder;
    ScreenState screen;
    FakeFileRevealer revealer;
    std::unique_ptr<TamsoAIView> view;
    QList<std::pair<QString, QString>> rigPosts;
};

} // namespace

TEST(TamsoAIView, SendingEmptiesTheFieldAndFollowsThinking) {
    Screen s(QStringLiteral("chat-send"));
    TamsoAIView* v = s.open();
    QList<std::pair<QString, std::optional<TamsoScreenContext>>> asked;
    QObject::connect(s.rig.assistant.get(), &TamsoAssistant::asked, v,
                     [&asked](const QString& q, const SystemSnapshot&,
                              const std::optional<TamsoScreenContext>& screen) {
                         asked.append({q, screen});
                     });
    ASSERT_EQ(s.rowCount(), 1); // the welcome
    EXPECT_EQ(s.buttons(0), QStringList{"copyAnswer"});
    EXPECT_FALSE(Find::part<QKProminentButton>(v, "askButton")->isEnabled());

    // Blanks: "Ask" stays off; Return still hands them over, empties the field, adds nothing.
    QTest::keyClicks(Find::part<QLineEdit>(v, "questionField"), "   ");
    EXPECT_EQ(s.screen.tamsoQuestion(), "   ");
    EXPECT_FALSE(Find::part<QKProminentButton>(v, "askButton")->isEnabled());
    QTest::keyClick(Find::part<QLineEdit>(v, "questionField"), Qt::Key_Return);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(Find::part<QLineEdit>(v, "questionField")->text().isEmpty());
    EXPECT_EQ(s.rig.assistant->messages().size(), 1);

    QTest::keyClicks(Find::part<QLineEdit>(v, "questionField"), "Can you tidy my Downloads?");
    ASSERT_TRUE(Find::part<QKProminentButton>(v, "askButton")->isEnabled());
    QTest::mouseClick(Find::part<QKProminentButton>(v, "askButton"), Qt::LeftButton);
    // Emptied before any answer; the question is in, the answer awaited.
    EXPECT_TRUE(s.screen.tamsoQuestion().isEmpty());
    EXPECT_TRUE(Find::part<QLineEdit>(v, "questionField")->text().isEmpty());
    EXPECT_EQ(asked.last().first, "Can you tidy my Downloads?");
    EXPECT_EQ(asked.last().second,
              (TamsoScreenContext{QStringLiteral("tamso"), QStringLiteral("Explain My Mac"),
                                  std::nullopt}));
    EXPECT_TRUE(s.rig.assistant->thinking());
    EXPECT_TRUE(Find::part<QKSpinner>(v, "thinking")->isVisible());
    EXPECT_EQ(s.rowCount(), 2);
    EXPECT_TRUE(s.buttons(1).isEmpty()); // no "Copy" under the user's own
    // Return while thinking still asks; the button does not.
    QTest::keyClicks(Find::part<QLineEdit>(v, "questionField"), "and quit apps");
    EXPECT_FALSE(Find::part<QKProminentButton>(v, "askButton")->isEnabled());
    QTest::keyClick(Find::part<QLineEdit>(v, "questionField"), Qt::Key_Return);
    EXPECT_EQ(asked.size(), 3);

    ASSERT_TRUE(s.waitForAnswers(5));
    EXPECT_FALSE(Find::part<QKSpinner>(v, "thinking")->isVisible());
    const int answer = s.chip(QStringLiteral("Open Organizer")).first;
    ASSERT_GE(answer, 0);
    EXPECT_EQ(s.buttons(answer), (QStringList{"copyAnswer", ChatMessageRow::chipName(0)}));
    EXPECT_EQ(s.buttons(0), QStringList{"copyAnswer"}) << "no chips without actions";

    // Copy replaces whatever the clipboard held with the answer's text.
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    s.click(answer, QStringLiteral("copyAnswer"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), s.message(answer).text);
}

TEST(TamsoAIView, ProposalsWaitForApprovalAndSectionsOpenAtOnce) {
    Screen s(QStringLiteral("chat-approve"));
    s.watch();
    TamsoAIView* v = s.open();
    s.rig.assistant->ask(QStringLiteral("tidy my downloads"), {}, std::nullopt);
    s.rig.assistant->ask(QStringLiteral("quit something"), {}, std::nullopt);
    ASSERT_TRUE(s.waitForAnswers(5));

    // A section-opening chip posts at once, payload or not, with no dialog and no record.
    QStringList opened;
    NotificationCenter::defaultCenter().observe(Notifications::OpenSection, v,
                                                [&opened](const QString& id) { opened << id; });
    const qsizetype recorded = s.rig.timeline.store->entries().size();
    s.clickChip(QStringLiteral("Open Performance"));
    EXPECT_EQ(opened, QStringList{QStringLiteral("performance")});
    EXPECT_FALSE(s.rig.assistant->pendingAction());
    EXPECT_EQ(Find::maybe<QMessageBox>(v, "approvalDialog"), nullptr);

    // A cleanup proposal asks first; Escape carries nothing out.
    s.clickChip(QStringLiteral("Open Organizer"));
    ASSERT_TRUE(s.rig.assistant->pendingAction());
    QMessageBox* dialog = Find::maybe<QMessageBox>(v, "approvalDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->text(), "Open Organizer?");
    EXPECT_EQ(
        dialog->informativeText(),
        "Pendrel will take you to that screen. Nothing is deleted until you choose it there.");
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(s.rig.assistant->pendingAction());
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return Find::maybe<QMessageBox>(v, "approvalDialog") == nullptr; }));
    EXPECT_TRUE(s.rigPosts.isEmpty());
    EXPECT_EQ(s.rig.timeline.store->entries().size(), recorded);

    // "Approve" carries out the action that was pending, once, and records it.
    s.clickChip(QStringLiteral("Open Organizer"));
    ASSERT_NE(Find::maybe<QMessageBox>(v, "approvalDialog"), nullptr);
    auto* approve = Find::maybe<QMessageBox>(v, "approvalDialog")
                        ->findChild<QPushButton*>(QStringLiteral("approveButton"));
    ASSERT_NE(approve, nullptr);
    EXPECT_EQ(approve->text(), "Approve");
    QTest::mouseClick(approve, Qt::LeftButton);
    EXPECT_FALSE(s.rig.assistant->pendingAction());
    EXPECT_EQ(s.posted(Notifications::OpenSection), QStringList{QStringLiteral("disk")});
    EXPECT_EQ(s.posted(Notifications::OpenDiskMode), QStringList{QStringLiteral("organizer")});
    EXPECT_EQ(s.rig.timeline.store->entries().size(), recorded + 1);
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return Find::maybe<QMessageBox>(v, "approvalDialog") == nullptr; }));

    // "Cancel" clears it too.
    s.clickChip(QStringLiteral("Open Organizer"));
    ASSERT_NE(Find::maybe<QMessageBox>(v, "approvalDialog"), nullptr);
    QTest::mouseClick(Find::maybe<QMessageBox>(v, "approvalDialog")
                          ->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                      Qt::LeftButton);
    EXPECT_FALSE(s.rig.assistant->pendingAction());
    EXPECT_EQ(s.rig.timeline.store->entries().size(), recorded + 1);
}

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

namespace {

// Six answered questions in a list too short for them; the list's scroll bar.
QScrollBar* openLongChat(Screen& s) {
    for (int i = 0; i < 6; ++i)
        s.rig.askAndWait(QStringLiteral("tidy my downloads"));
    TamsoAIView* v = s.open();
    v->resize(900, 360);
    QCoreApplication::processEvents();
    return Find::part<QScrollArea>(v, "messageList")->verticalScrollBar();
}

} // namespace

TEST(TamsoAIView, NewMessagesScrollIntoView) {
    Screen s(QStringLiteral("chat-scroll"));
    QScrollBar* bar = openLongChat(s);
    ASSERT_GT(bar->maximum(), 0);
    // Showing an unchanged conversation does not move the list.
    EXPECT_EQ(bar->value(), 0);
    s.rig.assistant->ask(QStringLiteral("quit apps"), {}, std::nullopt);
    ASSERT_TRUE(s.waitForAnswers(15));
    ASSERT_TRUE(testsupport::waitFor([&] { return bar->value() == bar->maximum(); }));
}

// Cancelling a proposal's approval leaves the conversation where it was, the chip just used in
// view.
TEST(TamsoAIView, CancellingAnApprovalKeepsTheListsPlace) {
    Screen s(QStringLiteral("chat-cancel-place"));
    QScrollBar* bar = openLongChat(s);
    TamsoAIView* v = s.view.get();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    const int place = bar->value();

    const int last = s.rowCount() - 1;
    int chip = -1;
    for (int a = 0; a < s.message(last).actions.size(); ++a) {
        if (s.message(last).actions.at(a).label == QStringLiteral("Open Organizer"))
            chip = a;
    }
    ASSERT_GE(chip, 0);
    s.click(last, ChatMessageRow::chipName(chip));
    QMessageBox* dialog = Find::maybe<QMessageBox>(v, "approvalDialog");
    ASSERT_NE(dialog, nullptr);
    QTest::keyClick(dialog, Qt::Key_Escape);
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return Find::maybe<QMessageBox>(v, "approvalDialog") == nullptr; }));
    QTest::qWait(50);
    EXPECT_EQ(bar->value(), place);
    // The window manager hands the window its activation back later, which gives the list the
    // focus again; the list still keeps its place.
    v->activateWindow();
    ASSERT_TRUE(testsupport::waitFor([&] { return s.list()->hasFocus(); }));
    QTest::qWait(50);
    EXPECT_EQ(bar->value(), place);
    EXPECT_EQ(s.list()->currentIndex(), s.row(last)) << "the chip's row is the keyboard's place";
}

// "Private by design" opens, from the keyboard, a window that assistive technology finds from the
// application's root (which leaves popups out), named and with its texts readable; Escape closes
// it and hands the keyboard back to the button.
TEST(TamsoAIView, ThePrivacyCardIsAWindowScreenReadersAndKeysReach) {
    Screen s(QStringLiteral("chat-privacy"));
    TamsoAIView* v = s.open();
    auto* button = Find::part<QPushButton>(v, "privacyButton");
    EXPECT_EQ(button->toolTip(), "How Pendrel protects your data");
    EXPECT_EQ(Find::maybe<QWidget>(v, "privacyPopover"), nullptr);
    v->activateWindow();
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Space);
    auto* popover = Find::part<QWidget>(v, "privacyPopover");
    ASSERT_TRUE(popover->isVisible());

    QAccessibleInterface* app = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(app, nullptr);
    QAccessibleInterface* card = nullptr;
    for (int i = 0; i < app->childCount(); ++i)
        if (app->child(i) && app->child(i)->object() == popover)
            card = app->child(i);
    ASSERT_NE(card, nullptr) << "not among the application's windows";
    EXPECT_EQ(card->role(), QAccessible::Dialog);
    EXPECT_EQ(card->text(QAccessible::Name), "Private by design");
    QStringList read;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i)) {
                read << child->text(QAccessible::Name);
                walk(child);
            }
    };
    walk(card);
    EXPECT_TRUE(read.contains("Your data never leaves this Mac")) << read.join('|').toStdString();
    EXPECT_TRUE(read.contains("Works with the internet switched off"));

    ASSERT_TRUE(testsupport::waitFor([&] {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == popover || popover->isAncestorOf(focus));
    })) << "the card takes the keyboard";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(
        testsupport::waitFor([&] { return Find::maybe<QWidget>(v, "privacyPopover") == nullptr; }));
    EXPECT_TRUE(testsupport::waitFor([&] { return button->hasFocus(); }));
}

// Part of a message is selected as in a label, by a drag over its text or by Shift and the arrows
// from the list, and Copy copies that part alone.
TEST(TamsoAIView, PartOfAMessageIsSelectedAndCopied) {
    Screen s(QStringLiteral("chat-select"));
    s.open();
    ASSERT_EQ(s.rowCount(), 1);
    const QString welcome = s.message(0).text;
    QCoreApplication::processEvents(); // the list lays its rows out
    QWidget* viewport = s.list()->viewport();
    // The welcome's bubble starts its text 10 points in from the row's corner.
    const QPoint start = s.list()->visualRect(s.row(0)).topLeft() + QPoint(12, 16);
    QTest::mouseMove(viewport, start);
    auto* text = qobject_cast<QLabel*>(viewport->childAt(start));
    ASSERT_NE(text, nullptr) << "nothing to select under the pointer";
    const QPoint from = text->mapFrom(viewport, start);
    QTest::mousePress(text, Qt::LeftButton, {}, from);
    QTest::mouseMove(text, from + QPoint(60, 0));
    QTest::mouseRelease(text, Qt::LeftButton, {}, from + QPoint(60, 0));
    const QString dragged = text->selectedText();
    EXPECT_FALSE(dragged.isEmpty());
    EXPECT_LT(dragged.size(), welcome.size());
    EXPECT_TRUE(welcome.startsWith(dragged)) << dragged.toStdString();
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), dragged);

    // From the list: Shift and Right select from the current message's start.
    QTest::mouseMove(viewport, QPoint(viewport->width() - 2, viewport->height() - 2));
    s.list()->setFocus(Qt::TabFocusReason);
    s.list()->setCurrentIndex(s.row(0));
    QTest::keyClick(s.list(), Qt::Key_Right, Qt::ShiftModifier);
    auto* keyed = Find::part<QLabel>(s.list(), "selectableText");
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(keyed, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(keyed->selectedText(), welcome.left(3));
    QTest::keyClick(keyed, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), welcome.left(3));
    QTest::keyClick(keyed, Qt::Key_Escape);
    EXPECT_EQ(s.list()->window()->focusWidget(), s.list())
        << "Escape hands the keyboard back to the list";
}

// A long conversation costs what the messages on show cost: a message more makes no widget. Each
// message reads its text through assistive technology, with its buttons as actions, and the
// keyboard reaches every button of an answer (Left and Right choose, Space presses) and copies
// any message, the user's own too.
TEST(TamsoAIView, MessagesAreDrawnNotMadeAndEveryButtonIsReachable) {
    Screen s(QStringLiteral("chat-many"));
    TamsoAIView* v = s.open();
    s.rig.askAndWait(QStringLiteral("tidy my downloads"));
    ASSERT_TRUE(s.waitForAnswers(3));
    QCoreApplication::processEvents();
    const qsizetype widgets = v->findChildren<QWidget*>().size();
    for (int i = 0; i < 4; ++i)
        s.rig.askAndWait(QStringLiteral("tidy my downloads"));
    ASSERT_TRUE(s.waitForAnswers(11));
    QCoreApplication::processEvents();
    EXPECT_EQ(v->findChildren<QWidget*>().size(), widgets) << "no widget per message";

    const int answer = s.rowCount() - 1;
    ASSERT_EQ(s.message(answer).actions.size(), 1);
    const QString chipLabel = s.message(answer).actions.first().label;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(s.list());
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->childCount(), s.rowCount());
    QAccessibleInterface* row = list->child(answer);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(QAccessible::Name), s.message(answer).text);
    ASSERT_NE(row->actionInterface(), nullptr);
    EXPECT_EQ(row->actionInterface()->actionNames(), (QStringList{"Copy", chipLabel}));

    s.list()->setFocus(Qt::TabFocusReason);
    s.list()->setCurrentIndex(s.row(answer));
    QTest::keyClick(s.list(), Qt::Key_Right);
    QTest::keyClick(s.list(), Qt::Key_Space);
    ASSERT_TRUE(s.rig.assistant->pendingAction()) << "the chip, chosen by Right, was pressed";
    EXPECT_EQ(s.rig.assistant->pendingAction()->label, chipLabel);
    v->cancelPending();
    QTest::keyClick(s.list(), Qt::Key_Left);
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    QTest::keyClick(s.list(), Qt::Key_Return);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), s.message(answer).text) << "Left: Copy";

    QTest::keyClick(s.list(), Qt::Key_Up); // the question before the answer
    QTest::keyClick(s.list(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "tidy my downloads");
}
// An answer drawn after a longer message is as tall as its own parts: its chips hang 6 points
// under its "Copy", as in a column of widgets, not lower by what the longer bubble had more.
TEST(TamsoAIView, AnAnswersChipsSitUnderItsCopyWhateverCameBefore) {
    Screen s(QStringLiteral("chat-chips"));
    s.open();
    s.rig.assistant->ask(QStringLiteral("Can you tidy my Downloads folder?"), {}, std::nullopt);
    ASSERT_TRUE(s.waitForAnswers(3));
    QCoreApplication::processEvents(); // the list lays its rows out
    const int answer = s.chip(QStringLiteral("Open Organizer")).first;
    ASSERT_GE(answer, 0);
    ASSERT_GT(s.message(0).text.size(), s.message(answer).text.size());
    const QRect copy = s.delegate()->actionRect(s.row(answer), QStringLiteral("copyAnswer"));
    const QRect chip = s.delegate()->actionRect(s.row(answer), ChatMessageRow::chipName(0));
    ASSERT_FALSE(copy.isEmpty());
    EXPECT_EQ(chip.top() - copy.bottom() - 1, 6);
    EXPECT_EQ(s.list()->visualRect(s.row(answer)).bottom(), chip.bottom()) << "the last row";
}
