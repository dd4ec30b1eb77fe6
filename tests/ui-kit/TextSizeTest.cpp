#include "ui-kit/TextSize.h"
#include "platform/UserDefaults.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "ui-kit/TextSizeCommands.h"
#include "ui-kit/TextSizeControl.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {

class TextSizeTest : public ::testing::Test {
protected:
    TextSizeTest()
        : defaults(testsupport::freshDir(QStringLiteral("textsize")) + QStringLiteral("/d.json")) {}

    // The stored integer, or -100 when the key holds no integer.
    qint64 stored() const { return defaults.integerValue(ThemeKeys::FontSize).value_or(-100); }
    void store(const QJsonValue& v) { defaults.setValue(ThemeKeys::FontSize, v); }

    UserDefaults defaults;
};

// The command of this title, reached as a menu reaches it.
QAction* command(const TextSizeCommands& commands, const char* title) {
    return Find::part<QAction>(commands, title);
}

// A stored integer outside the range (a hand-edited file) is read as the nearest step, the same
// by the commands, the control and the scale; anything but an integer is Normal.
TEST_F(TextSizeTest, StoredStepsAreReadAsTheNearestInRange) {
    EXPECT_EQ(fontSizeSetting(defaults), 2);
    for (const QJsonValue& v :
         {QJsonValue(QStringLiteral("4")), QJsonValue(2.5), QJsonValue(true)}) {
        store(v);
        EXPECT_EQ(fontSizeSetting(defaults), 2);
    }
    const struct {
        qint64 stored, read;
    } rows[] = {{0, 0}, {4, 4}, {9, 4}, {8, 4}, {5, 4}, {-1, 0}, {-40, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        store(row.stored);
        EXPECT_EQ(fontSizeSetting(defaults), row.read);
        EXPECT_EQ(TextSize::rawStep(defaults), row.read);
    }
}

TEST(TextSizeTable, NamesAndScales) {
    EXPECT_EQ(TextSize::name(1), QStringLiteral("Slightly smaller"));
    EXPECT_EQ(TextSize::name(9), QStringLiteral("Biggest"));
    EXPECT_EQ(TextSize::name(-1), QStringLiteral("Small"));
    EXPECT_DOUBLE_EQ(TextSize::scale(0), 0.85);
    EXPECT_DOUBLE_EQ(TextSize::scale(3), 1.18);
    EXPECT_DOUBLE_EQ(TextSize::scale(5), 1.35);
}

TEST_F(TextSizeTest, CommandsStopAtTheEndsOfTheRange) {
    TextSizeCommands commands(defaults);
    command(commands, "Bigger Text")->trigger();
    EXPECT_EQ(stored(), 3);
    command(commands, "Bigger Text")->trigger();
    command(commands, "Bigger Text")->trigger();
    EXPECT_EQ(stored(), 4);

    store(0);
    command(commands, "Smaller Text")->trigger();
    EXPECT_EQ(stored(), 0);
    store(1);
    command(commands, "Smaller Text")->trigger();
    EXPECT_EQ(stored(), 0);
    store(3);
    command(commands, "Smaller Text")->trigger();
    EXPECT_EQ(stored(), 2);
    command(commands, "Normal Text Size")->trigger();
    EXPECT_EQ(stored(), 2);
}

TEST_F(TextSizeTest, CommandsStartFromTheNearestStepOrNormal) {
    TextSizeCommands commands(defaults);
    store(9);
    command(commands, "Bigger Text")->trigger();
    EXPECT_EQ(stored(), 4);
    store(9);
    command(commands, "Smaller Text")->trigger();
    EXPECT_EQ(stored(), 3);
    store(-3);
    command(commands, "Bigger Text")->trigger();
    EXPECT_EQ(stored(), 1);
    store(QStringLiteral("big"));
    command(commands, "Bigger Text")->trigger();
    EXPECT_EQ(stored(), 3);
}

TEST_F(TextSizeTest, CommandsAreNamedAndBoundToTheirShortcuts) {
    TextSizeCommands commands(defaults);
    QMenu menu;
    commands.addTo(&menu);
    ASSERT_EQ(menu.actions().size(), 4);
    EXPECT_EQ(menu.actions()[0]->text(), QStringLiteral("Bigger Text"));
    EXPECT_EQ(menu.actions()[1]->text(), QStringLiteral("Smaller Text"));
    EXPECT_EQ(menu.actions()[2]->text(), QStringLiteral("Normal Text Size"));
    EXPECT_TRUE(menu.actions()[3]->isSeparator());
    EXPECT_TRUE(command(commands, "Bigger Text")
                    ->shortcuts()
                    .contains(QKeySequence(QStringLiteral("Ctrl+="))));
    EXPECT_TRUE(command(commands, "Bigger Text")
                    ->shortcuts()
                    .contains(QKeySequence(QStringLiteral("Ctrl++"))));
    EXPECT_EQ(command(commands, "Smaller Text")->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+-")));
    EXPECT_EQ(command(commands, "Normal Text Size")->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+0")));
}

TEST_F(TextSizeTest, ControlEnablesOnlyWhatMovesWithinTheRange) {
    TextSizeControl control(defaults);
    EXPECT_EQ(control.stepName(), QStringLiteral("Normal"));
    EXPECT_FALSE(Find::part<QToolButton>(control, "textSizeReset")->isEnabled());

    Find::part<QToolButton>(control, "textSizeSmaller")->click();
    Find::part<QToolButton>(control, "textSizeSmaller")->click();
    EXPECT_EQ(stored(), 0);
    EXPECT_FALSE(Find::part<QToolButton>(control, "textSizeSmaller")->isEnabled());
    EXPECT_TRUE(Find::part<QToolButton>(control, "textSizeReset")->isEnabled());
    EXPECT_EQ(control.stepName(), QStringLiteral("Small"));

    store(4); // written elsewhere: the control follows
    EXPECT_FALSE(Find::part<QToolButton>(control, "textSizeBigger")->isEnabled());
    EXPECT_TRUE(Find::part<QToolButton>(control, "textSizeSmaller")->isEnabled());
    Find::part<QToolButton>(control, "textSizeReset")->click();
    EXPECT_EQ(stored(), 2);
}

TEST_F(TextSizeTest, ControlAgreesWithTheCommandsOnAStepOutOfRange) {
    // 9 reads as Biggest: bigger is disabled, as Ctrl++ changes nothing; smaller and reset work.
    store(9);
    TextSizeControl control(defaults);
    EXPECT_EQ(control.stepName(), QStringLiteral("Biggest"));
    EXPECT_TRUE(Find::part<QToolButton>(control, "textSizeReset")->isEnabled());
    EXPECT_FALSE(Find::part<QToolButton>(control, "textSizeBigger")->isEnabled());
    Find::part<QToolButton>(control, "textSizeSmaller")->click();
    EXPECT_EQ(stored(), 3);

    store(-2);
    EXPECT_EQ(control.stepName(), QStringLiteral("Small"));
    EXPECT_FALSE(Find::part<QToolButton>(control, "textSizeSmaller")->isEnabled());
    Find::part<QToolButton>(control, "textSizeBigger")->click();
    EXPECT_EQ(stored(), 1);
}

} // namespace
