// The memory screen over a real memory of a sandboxed home.
#include "assistant/TamsoMemory.h"
#include "assistant/views/TamsoMemoryView.h"
#include "support/Find.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

TEST(MemoryView, LearnsWhenShownAndAgainOnRefresh) {
    const HomeLayout home = HomeLayout::forHome(testsupport::freshDir("memory-view"));
    QDir().mkpath(home.home() + "/.docker");
    TamsoMemory memory(home);
    TamsoMemoryView view(memory);
    EXPECT_FALSE(Find::part<QWidget>(view, "learningLine")->isHidden())
        << "learning until the first list arrives";
    EXPECT_TRUE(view.rows().isEmpty());

    view.show();
    ASSERT_TRUE(testsupport::waitFor([&] { return view.rows().size() == 2; }));
    EXPECT_TRUE(Find::part<QWidget>(view, "learningLine")->isHidden());
    EXPECT_TRUE(view.rows().first()->isVisible());
    EXPECT_EQ(view.rows().first()->findChild<QLabel*>("observationLabel")->text(),
              "Xcode isn't used here");

    QDir().mkpath(home.home() + "/.gradle");
    QTest::mouseClick(Find::part<QPushButton>(view, "refreshMemory"), Qt::LeftButton);
    ASSERT_TRUE(testsupport::waitFor([&] { return view.rows().size() == 3; }));

    // An empty list brings the learning line back; there is no other message.
    memory.setObservations({});
    EXPECT_TRUE(view.rows().isEmpty());
    EXPECT_FALSE(Find::part<QWidget>(view, "learningLine")->isHidden());
}
