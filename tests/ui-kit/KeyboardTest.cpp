// The kit's own drawn controls worked from the keyboard alone: Return and Space press what has
// the focus, and focus that came by keyboard shows, on a scroll area too, while a click shows
// none.
#include "support/KeyboardWindow.h"
#include "ui-kit/ChoiceRadio.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbolButton.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using testsupport::KeyboardWindow;

TEST(Keyboard, ReturnAndSpacePressEveryKitButton) {
    KeyboardWindow window;
    QList<QAbstractButton*> buttons{
        new QKBorderedButton(QStringLiteral("Rescan"), &window.widget),
        new QKProminentButton(QStringLiteral("Clean"), &window.widget),
        new QKSymbolButton(QStringLiteral("pin"), QKForeground::Secondary,
                           QKFont{.style = TextStyle::Body}, &window.widget),
        new ToggleSwitch(QStringLiteral("Show hidden files"), &window.widget),
    };
    for (QAbstractButton* b : buttons)
        window.column->addWidget(b);
    window.show();

    for (QAbstractButton* b : buttons) {
        const char* kind = b->metaObject()->className();
        QSignalSpy clicked(b, &QAbstractButton::clicked);
        window.tabTo(b);
        ASSERT_TRUE(b->hasFocus()) << kind;
        QTest::keyClick(b, Qt::Key_Return);
        EXPECT_EQ(clicked.size(), 1) << kind;
        QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(clicked.size(), 2) << kind;
        QTest::keyClick(b, Qt::Key_Space);
        EXPECT_EQ(clicked.size(), 3) << kind;
        // Return with a modifier is another command's, and a disabled button takes nothing.
        QTest::keyClick(b, Qt::Key_Return, Qt::ControlModifier);
        b->setEnabled(false);
        QTest::keyClick(b, Qt::Key_Return);
        EXPECT_EQ(clicked.size(), 3) << kind;
        b->setEnabled(true);
    }
}

TEST(Keyboard, SpaceChoosesTheFirstSegmentOfAnEmptyPicker) {
    KeyboardWindow window;
    auto* picker =
        new SegmentedControl({QStringLiteral("Light"), QStringLiteral("Dark")}, &window.widget);
    window.column->addWidget(picker);
    window.show();
    QSignalSpy activated(picker, &SegmentedControl::activated);
    window.tabTo(picker);
    QTest::keyClick(picker, Qt::Key_Space);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated.at(0).at(0).toInt(), 0);
    picker->setCurrentIndex(1);
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_EQ(activated.size(), 1) << "a chosen segment stays chosen";
}

TEST(Keyboard, AScrollAreaShowsKeyboardFocusAndNotAClick) {
    KeyboardWindow window;
    auto* before = new QKBorderedButton(QStringLiteral("Before"), &window.widget);
    auto* area = new QScrollArea(&window.widget);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(new QLabel(QStringLiteral("A long page of text"), area));
    window.column->addWidget(before);
    window.column->addWidget(area);
    window.widget.resize(300, 200);
    window.show();

    const QImage plain = area->grab().toImage();
    window.tabTo(area);
    ASSERT_TRUE(area->hasFocus());
    EXPECT_NE(area->grab().toImage(), plain) << "a tabbed-to scroll area looks as before";

    window.tabTo(before);
    EXPECT_EQ(area->grab().toImage(), plain) << "the ring stays after the focus left";

    window.widget.setAttribute(Qt::WA_KeyboardFocusChange, false);
    area->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(area->grab().toImage(), plain) << "a click rings the area";
}

TEST(Keyboard, TheRingShowsOnlyForFocusThatCameByKeyboard) {
    KeyboardWindow window;
    auto* button = new QKBorderedButton(QStringLiteral("Rescan"), &window.widget);
    window.column->addWidget(button);
    window.show();
    EXPECT_FALSE(QKFocusRing::shows(button));
    button->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(QKFocusRing::shows(button));
    window.tabTo(button);
    EXPECT_TRUE(QKFocusRing::shows(button));
}

// A choice made by the program (a setting read at start) is where Tab lands in its set, as one
// made by the keyboard is.
TEST(Keyboard, TabLandsOnTheChosenRadioHoweverItWasChosen) {
    KeyboardWindow window;
    auto* before = new QPushButton(QStringLiteral("Before"), &window.widget);
    auto* set = new QWidget(&window.widget);
    auto* column = new QVBoxLayout(set);
    auto* open = new ChoiceRadio(QStringLiteral("Only when open"), set);
    auto* menuBar = new ChoiceRadio(QStringLiteral("Keep in the menu bar"), set);
    column->addWidget(open);
    column->addWidget(menuBar);
    window.column->addWidget(before);
    window.column->addWidget(set);
    menuBar->setChecked(true);
    window.show();
    window.tabTo(before);
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), menuBar);
    open->setChecked(true);
    window.tabTo(before);
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), open);
}
