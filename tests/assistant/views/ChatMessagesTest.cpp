// The conversation's messages: drawn rather than made, read and operated from the keyboard and
// through assistive technology, selected in part, and laid out by their own parts.
#include "assistant/views/ChatScreen.h"
#include "support/Find.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

using namespace chattest;

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
