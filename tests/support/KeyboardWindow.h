#pragma once

#include "ui-kit/Themed.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace testsupport {

// A themed window with one column to put controls in. Keyboard focus only moves, and a ring
// only shows, in the active window, so `show` waits until this one is.
struct KeyboardWindow {
    QWidget widget;
    QVBoxLayout* column = new QVBoxLayout(&widget);

    KeyboardWindow() { Themed::apply(&widget); }
    void show() {
        widget.show();
        widget.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&widget));
    }
    // Focus as Tab gives it: the window marked as moved by keyboard, the change settled.
    void tabTo(QWidget* w) {
        widget.setAttribute(Qt::WA_KeyboardFocusChange);
        w->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
};

} // namespace testsupport
