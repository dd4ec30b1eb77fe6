// A hub's tiles all carry the same word on their buttons ("Open"): heard alone, each button says
// what it opens.
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKProminentButton.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QVBoxLayout>

TEST(HubTile, ItsButtonIsNamedAfterWhatItOpens) {
    QWidget hub;
    auto* grid = new QVBoxLayout(&hub);
    const struct {
        const char* title;
        const char* button;
        const char* heard;
    } tiles[] = {
        {"Disk Map", "Open", "Open Disk Map"},
        {"Where did my disk go?", "Analyse", "Analyse Where did my disk go?"},
        {"Browse storage", "Browse", "Browse storage"},
    };
    for (const auto& tile : tiles) {
        QKProminentButton* b =
            QKBuild::addTile(grid, QStringLiteral("folder"), tile.title,
                             QStringLiteral("What it is for."), tile.button, &hub);
        EXPECT_EQ(b->text(), tile.button);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name), tile.heard);
    }
}
