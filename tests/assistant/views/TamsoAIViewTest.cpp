// The assistant's screen: asking, approving a proposal, where the conversation stands, and the
// privacy card.
#include "assistant/views/ChatScreen.h"
#include "support/Find.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSpinner.h"

#include <functional>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

using namespace chattest;

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
