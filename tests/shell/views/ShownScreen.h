#pragma once

#include "support/Find.h"

#include <QWidget>

// The section's screen a content view shows: the one child of its card that is on show and takes
// input. The card's frame pieces take none, and a screen the card has left is hidden at once,
// though deleted only later.
inline QWidget* shownScreen(const QWidget& content) {
    QWidget* shown = nullptr;
    const QWidget* card = Find::part<QWidget>(content, QStringLiteral("detailCard"));
    for (QWidget* child : card->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isHidden() || child->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        EXPECT_EQ(shown, nullptr) << "the card shows two screens";
        shown = child;
    }
    return shown;
}
