// A button that turns itself off while its work runs keeps the keyboard focus near: it waits on
// the keeper, named to assistive technology, and comes back unless the user moved it meanwhile.
#include "support/KeyboardWindow.h"
#include "ui-kit/QKFocusHold.h"
#include "ui-kit/QKFocusRing.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QPushButton>

using testsupport::KeyboardWindow;

namespace {

// A section (the keeper) holding a button that starts work, another beside it and a third one
// past it, where Qt would send the focus of a disabled button.
struct Section {
    KeyboardWindow window;
    QWidget* keeper = new QWidget(&window.widget);
    QPushButton* start = new QPushButton(QStringLiteral("Refresh"), keeper);
    QPointer<QPushButton> other = new QPushButton(QStringLiteral("Check now"), keeper);
    QPushButton* next = new QPushButton(QStringLiteral("Ask about it"), &window.widget);
    QKFocusHold hold{keeper};

    Section() {
        keeper->setAccessibleName(QStringLiteral("What deserves your attention"));
        auto* column = new QVBoxLayout(keeper);
        column->addWidget(start);
        column->addWidget(other);
        window.column->addWidget(keeper);
        window.column->addWidget(next);
        window.show();
    }
    // What the work does to its buttons when it starts and when it ends.
    void begin() {
        hold.hold({start, other});
        start->setEnabled(false);
        if (other)
            other->setEnabled(false);
    }
    void end(QWidget* fallback = nullptr, bool otherBack = true) {
        start->setEnabled(true);
        if (other)
            other->setEnabled(otherBack);
        hold.giveBack(fallback);
    }
};

QString focusName() {
    QAccessibleInterface* focused =
        QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    return focused ? focused->text(QAccessible::Name) : QString();
}

} // namespace

TEST(FocusHold, TheFocusWaitsOnTheKeeperAndComesBackRinged) {
    Section s;
    s.window.tabTo(s.other);
    s.begin();
    EXPECT_TRUE(s.hold.isHolding());
    EXPECT_EQ(QApplication::focusWidget(), s.keeper) << "not on the control past the section";
    EXPECT_EQ(focusName(), "What deserves your attention");
    s.end();
    EXPECT_FALSE(s.hold.isHolding());
    EXPECT_EQ(QApplication::focusWidget(), s.other);
    EXPECT_TRUE(QKFocusRing::shows(s.other)) << "it came by keyboard and shows so again";
    EXPECT_EQ(focusName(), "Check now");

    // Clicked rather than tabbed to, it comes back unringed.
    s.other->setFocus(Qt::MouseFocusReason);
    s.window.widget.setAttribute(Qt::WA_KeyboardFocusChange, false);
    s.begin();
    s.end();
    EXPECT_EQ(QApplication::focusWidget(), s.other);
    EXPECT_FALSE(QKFocusRing::shows(s.other));
}

TEST(FocusHold, AFocusTheUserMovedOrThatWasElsewhereStaysWhereItIs) {
    Section s;
    s.window.tabTo(s.start);
    s.begin();
    s.window.tabTo(s.next);
    s.end(s.start);
    EXPECT_EQ(QApplication::focusWidget(), s.next);

    // Work started with the focus elsewhere holds nothing, and gives back nothing.
    s.begin();
    EXPECT_FALSE(s.hold.isHolding());
    EXPECT_EQ(QApplication::focusWidget(), s.next);
    s.end(s.start);
    EXPECT_EQ(QApplication::focusWidget(), s.next);
}

TEST(FocusHold, AButtonStillOffOrGoneHandsTheFocusToTheFallbackOrKeepsItOnTheKeeper) {
    Section s;
    // still off once the work is done: the fallback takes it
    s.window.tabTo(s.other);
    s.begin();
    s.end(s.start, false);
    EXPECT_EQ(QApplication::focusWidget(), s.start);

    // gone with the rows it stood in
    s.other->setEnabled(true);
    s.window.tabTo(s.other);
    s.begin();
    delete s.other.data();
    s.end(s.start);
    EXPECT_EQ(QApplication::focusWidget(), s.start);

    // with no fallback that can take it, the focus stays on the keeper rather than jumping on
    s.begin();
    s.start->setEnabled(true);
    s.start->hide();
    s.hold.giveBack();
    EXPECT_EQ(QApplication::focusWidget(), s.keeper);
}
