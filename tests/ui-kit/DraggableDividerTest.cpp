#include "ui-kit/DraggableDivider.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

namespace {

struct DragCase {
    qreal base;
    qreal travel;
    qreal expected;
};

class DividerDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(DividerDrag, TrailingPaneClampsToItsRange) {
    const DragCase c = GetParam();
    EXPECT_DOUBLE_EQ(DraggableDivider::draggedWidth(c.base, c.travel, 240, 620, true), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DividerDrag,
                         ::testing::Values(DragCase{360, -100, 460}, // left widens a trailing pane
                                           DragCase{360, -300, 620}, // capped at the upper bound
                                           DragCase{360, 200, 240},  // raised to the lower bound
                                           DragCase{700, 0, 620},    // a drag puts it in range
                                           DragCase{100, 0, 240}));

TEST(DividerSteps, StepsOnlyCapTheDirectionTheyMove) {
    EXPECT_DOUBLE_EQ(DraggableDivider::incremented(610, 620), 620);
    EXPECT_DOUBLE_EQ(DraggableDivider::decremented(250, 240), 240);
    // Outside the range: an increment only caps, a decrement only raises.
    EXPECT_DOUBLE_EQ(DraggableDivider::decremented(700, 240), 676);
    EXPECT_DOUBLE_EQ(DraggableDivider::incremented(100, 620), 124);
    // A leading pane grows to the right.
    EXPECT_DOUBLE_EQ(DraggableDivider::draggedWidth(300, 50, 200, 460, false), 350);
}

// Sends a mouse event at x (the divider stands at the screen's origin).
void mouse(DraggableDivider& d, QEvent::Type type, qreal x, Qt::MouseButtons buttons) {
    const QPointF at(x, 10);
    QMouseEvent e(type, at, at, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&d, &e);
}

TEST(DividerPointer, DragDependsOnlyOnTotalTravel) {
    DraggableDivider d(360, 240, 620, true);
    QList<qreal> published;
    QObject::connect(&d, &DraggableDivider::paneWidthChanged, [&](qreal w) { published << w; });

    mouse(d, QEvent::MouseButtonPress, 4, Qt::LeftButton);
    mouse(d, QEvent::MouseMove, 4, Qt::LeftButton); // no travel yet: not a drag
    EXPECT_FALSE(d.isDragging());
    mouse(d, QEvent::MouseMove, -96, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(d.paneWidth(), 460);
    mouse(d, QEvent::MouseMove, 4, Qt::LeftButton); // back to where it started
    EXPECT_DOUBLE_EQ(d.paneWidth(), 360);
    mouse(d, QEvent::MouseMove, -46, Qt::LeftButton);
    mouse(d, QEvent::MouseButtonRelease, -46, Qt::NoButton);
    EXPECT_DOUBLE_EQ(d.paneWidth(), 410);
    EXPECT_FALSE(d.isDragging());
    EXPECT_EQ(published, (QList<qreal>{460, 360, 410}));

    // The next drag starts from what the last one left.
    mouse(d, QEvent::MouseButtonPress, 4, Qt::LeftButton);
    mouse(d, QEvent::MouseMove, 104, Qt::LeftButton);
    mouse(d, QEvent::MouseButtonRelease, 104, Qt::NoButton);
    EXPECT_DOUBLE_EQ(d.paneWidth(), 310);
}

TEST(DividerPointer, WidthSetFromOutsideStaysUntilTheUserActs) {
    DraggableDivider d(360, 240, 620, true);
    d.setPaneWidth(700);
    EXPECT_DOUBLE_EQ(d.paneWidth(), 700);
    mouse(d, QEvent::MouseButtonPress, 4, Qt::LeftButton);
    mouse(d, QEvent::MouseMove, 6, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(d.paneWidth(), 620);
}

TEST(DividerKeyboard, ArrowsMoveTheDividerThatWay) {
    DraggableDivider trailing(600, 240, 620, true);
    QTest::keyClick(&trailing, Qt::Key_Left); // towards the main content: the pane grows
    EXPECT_DOUBLE_EQ(trailing.paneWidth(), 620);
    QTest::keyClick(&trailing, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(trailing.paneWidth(), 596);

    DraggableDivider leading(250, 240, 620, false);
    QTest::keyClick(&leading, Qt::Key_Left);
    EXPECT_DOUBLE_EQ(leading.paneWidth(), 240);
}

TEST(DividerAccessibility, ResizeWithWholePointsAndSteps) {
    DraggableDivider d(610.7, 240, 620, true);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&d);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Resize"));
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("610 points"));
    EXPECT_EQ(iface->childCount(), 0);
    QAccessibleActionInterface* actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_DOUBLE_EQ(d.paneWidth(), 620);
    actions->doAction(QAccessibleActionInterface::pressAction()); // anything else: nothing
    EXPECT_DOUBLE_EQ(d.paneWidth(), 620);
    d.setPaneWidth(250);
    actions->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("240 points"));
}

} // namespace
