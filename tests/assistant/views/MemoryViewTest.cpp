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

namespace {

// The observations on show, one label each, top to bottom.
QList<QLabel*> observations(const TamsoMemoryView& view) {
    return Find::parts<QLabel>(view, "observationLabel");
}

} // namespace

TEST(MemoryView, LearnsWhenShownAndAgainOnRefresh) {
    const HomeLayout home = HomeLayout::forHome(testsupport::freshDir("memory-view"));
    QDir().mkpath(home.home() + "/.docker");
    TamsoMemory memory(home);
    TamsoMemoryView view(memory);
    EXPECT_FALSE(Find::part<QWidget>(view, "learningLine")->isHidden())
        << "learning until the first list arrives";
    EXPECT_TRUE(observations(view).isEmpty());

    view.show();
    ASSERT_TRUE(testsupport::waitFor([&] { return observations(view).size() == 2; }));
    EXPECT_TRUE(Find::part<QWidget>(view, "learningLine")->isHidden());
    EXPECT_TRUE(observations(view).first()->isVisible());
    EXPECT_EQ(observations(view).first()->text(), "Xcode isn't used here");

    QDir().mkpath(home.home() + "/.gradle");
    QTest::mouseClick(Find::part<QPushButton>(view, "refreshMemory"), Qt::LeftButton);
    ASSERT_TRUE(testsupport::waitFor([&] { return observations(view).size() == 3; }));

    // An empty list brings the learning line back; there is no other message.
    memory.setObservations({});
    EXPECT_TRUE(observations(view).isEmpty());
    EXPECT_FALSE(Find::part<QWidget>(view, "learningLine")->isHidden());
}
