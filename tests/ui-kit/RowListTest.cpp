// The long-list pieces of the kit: a list of rows drawn by one stamp widget, its height, its
// changes and its buttons.
#include "support/AccessibleAudit.h"
#include "ui-kit/RowListSupport.h"

#include <gtest/gtest.h>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace RowListSupport;

// The fitted list is as tall as its rows, follows a narrower width with taller rows, and measures
// a row once per width and text; a hidden list measures nothing.
TEST(RowList, AFittedListIsAsTallAsItsRowsAtItsWidth) {
    Page p;
    p.model.reset(longLines(50));
    settle();
    EXPECT_EQ(p.delegate->setUps, 0) << "nothing is measured before the list is shown";

    p.scroll.show();
    settleRows(p);
    const int wide = p.list->height();
    EXPECT_GT(wide, 50 * 20);
    EXPECT_EQ(wide, p.heightsSum());
    EXPECT_EQ(p.list->visualRect(p.at(49)).bottom() + 1, wide);

    p.scroll.resize(200, 300);
    settleRows(p);
    EXPECT_GT(p.list->height(), wide) << "narrower rows wrap onto more lines";
    EXPECT_EQ(p.list->height(), p.heightsSum());

    const int before = p.delegate->setUps;
    p.model.reset(longLines(50).mid(10)); // a new search, say: rows already measured at this width
    settleRows(p);
    EXPECT_EQ(p.list->height(), p.heightsSum());
    EXPECT_LT(p.delegate->setUps - before, 20) << "only the rows painted set the stamp up";
}

// A change the model names by its roles and that keeps a row's height repaints that row and lays
// none out; one without roles, or that makes a row taller, lays the list out to follow it.
TEST(RowList, AChangeThatKeepsHeightsLaysNoRowOut) {
    constexpr int kRows = 50;
    Page p;
    p.model.reset(longLines(kRows));
    p.scroll.show();
    settleRows(p);
    const int height = p.list->height();

    int asked = p.delegate->keysAsked;
    emit p.model.dataChanged(p.at(3), p.at(5), {Qt::UserRole});
    settle();
    EXPECT_LT(p.delegate->keysAsked - asked, kRows / 2) << "the rows checked and painted, no more";

    asked = p.delegate->keysAsked;
    emit p.model.dataChanged(p.at(3), p.at(3));
    settle();
    EXPECT_GE(p.delegate->keysAsked - asked, kRows) << "without roles, every row is laid out";

    p.model.replace(4, longLine(4).repeated(4));
    emit p.model.dataChanged(p.at(4), p.at(4), {Qt::DisplayRole});
    settleRows(p);
    EXPECT_GT(p.list->height(), height) << "a row that grows moves the rows below it";
    EXPECT_EQ(p.list->height(), p.heightsSum());
}

// Clicks on a row's button report it; clicks beside it or on a button that is off do not. The
// keyboard moves the current row and presses its button; the page follows the current row.
TEST(RowList, TheStampsButtonsActByMouseAndKeyboard) {
    Page p;
    QStringList rows;
    for (int i = 0; i < 30; ++i)
        rows << (i == 1 ? QStringLiteral("off: cannot go") : longLine(i));
    p.model.reset(rows);
    p.scroll.show();
    settle();
    QSignalSpy actions(p.delegate, &QKStampDelegate::actionTriggered);

    const QRect go = p.delegate->actionRect(p.at(2), QStringLiteral("goButton"));
    ASSERT_FALSE(go.isEmpty());
    EXPECT_TRUE(p.list->visualRect(p.at(2)).contains(go));
    QTest::mouseClick(p.list->viewport(), Qt::LeftButton, {}, go.center());
    ASSERT_EQ(actions.count(), 1);
    EXPECT_EQ(actions.first().at(0).toModelIndex().row(), 2);
    EXPECT_EQ(actions.first().at(1).toString(), "goButton");

    QTest::mouseClick(p.list->viewport(), Qt::LeftButton, {},
                      p.list->visualRect(p.at(2)).topLeft() + QPoint(5, 5));
    const QRect off = p.delegate->actionRect(p.at(1), QStringLiteral("goButton"));
    QTest::mouseClick(p.list->viewport(), Qt::LeftButton, {}, off.center());
    EXPECT_EQ(actions.count(), 1);
    // A press on one row's button released on another's is no click.
    QTest::mousePress(p.list->viewport(), Qt::LeftButton, {}, go.center());
    QTest::mouseRelease(p.list->viewport(), Qt::LeftButton, {},
                        p.delegate->actionRect(p.at(3), QStringLiteral("goButton")).center());
    EXPECT_EQ(actions.count(), 1);

    // The pointer over a button shows the button's cursor, as a row of widgets would.
    QTest::mouseMove(p.list->viewport(), go.center());
    EXPECT_EQ(p.list->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(p.list->viewport(), p.list->visualRect(p.at(2)).topLeft() + QPoint(5, 5));
    EXPECT_EQ(p.list->viewport()->cursor().shape(), Qt::ArrowCursor);

    p.list->setFocus();
    p.list->setCurrentIndex(p.at(0));
    QTest::keyClick(p.list, Qt::Key_Down);
    QTest::keyClick(p.list, Qt::Key_Space); // row 1: its button is off
    EXPECT_EQ(actions.count(), 1);
    QTest::keyClick(p.list, Qt::Key_Down);
    QTest::keyClick(p.list, Qt::Key_Return);
    ASSERT_EQ(actions.count(), 2);
    EXPECT_EQ(actions.last().at(0).toModelIndex().row(), 2);

    QTest::keyClick(p.list, Qt::Key_End);
    EXPECT_EQ(p.list->currentIndex().row(), 29);
    EXPECT_GT(p.scroll.verticalScrollBar()->value(), 0) << "the page scrolls to the last row";
}

// A list torn down while its window stays open and the pointer rests on a row's button (its
// screen left, say): its viewport still gets events while the list is half gone, and nothing may
// reach the list through its delegate then. The window and the pointer outlive the list.
TEST(RowList, AListUnderThePointerGoesAwayCleanly) {
    Lines model;
    model.reset({longLine(0), longLine(1)});
    QWidget window;
    window.resize(400, 300);
    auto* panel = new QWidget(&window);
    panel->resize(400, 300);
    auto* list = new QKRowList(QKRowList::Height::Scrolls, panel);
    list->resize(400, 300);
    auto* delegate = new LineDelegate(list);
    list->setItemDelegate(delegate);
    list->setModel(&model);
    window.show();
    settle();
    const QRect go = delegate->actionRect(model.index(0), QStringLiteral("goButton"));
    ASSERT_FALSE(go.isEmpty());
    QTest::mouseMove(list->viewport(), go.center());
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, go.center());
    ASSERT_TRUE(list->viewport()->underMouse());

    delete panel;
    settle();
    EXPECT_TRUE(window.isVisible());
}

// The current row wears the ring, at 3:1 all round, once the focus comes by keyboard; a click
// that focuses the list marks nothing.
TEST(RowList, TheCurrentRowIsRingedOnlyWhenTheKeyboardBroughtTheFocus) {
    Page page;
    page.model.reset({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    page.scroll.show();
    page.scroll.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page.scroll));
    settle();
    page.list->setCurrentIndex(page.at(1));
    const QImage plain = page.list->grab().toImage();

    page.list->setFocus(Qt::MouseFocusReason);
    settle();
    EXPECT_EQ(page.list->grab().toImage(), plain);

    page.list->clearFocus();
    page.scroll.setAttribute(Qt::WA_KeyboardFocusChange);
    page.list->setFocus(Qt::TabFocusReason);
    settle();
    const QRect row = page.list->visualRect(page.at(1));
    // Two pixels deep along all four sides, less what the corners round off.
    EXPECT_GE(testsupport::pixelsAtContrast(plain, page.list->grab().toImage(), 3.0),
              3 * (row.width() + row.height()));
}
