#pragma once

// Which page of a stack a screen shows, asked by the page's object name:
//
//   EXPECT_TRUE(Find::showing(view, "startupEmpty"));

#include "support/Find.h"

#include <QStackedWidget>

namespace Find {

// Whether the one part of this name is the page its stack shows now; a part that is no stack's
// page fails the test.
inline bool showing(const QObject& root, const QString& page) {
    auto* widget = part<QWidget>(root, page);
    auto* stack = qobject_cast<const QStackedWidget*>(widget->parentWidget());
    if (!stack || stack->indexOf(widget) < 0) {
        ADD_FAILURE() << page.toStdString() << " is no page of a stack";
        return false;
    }
    return stack->currentWidget() == widget;
}

} // namespace Find
