// The growth pane on its own: "Analyse" pressed from the keyboard while the scan it started runs.
#include "storage/views/StorageGrowthPane.h"
#include "shell/ScreenState.h"
#include "storage/StorageGrowthScanner.h"
#include "support/Find.h"
#include "support/TestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>

TEST(StorageGrowthPane, AnalysePressedFromTheKeyboardKeepsTheFocusWhileItMeasures) {
    const HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("growth-focus"));
    QSemaphore gate;
    std::atomic_bool held = false;
    StorageGrowthScanner::Deps options;
    options.measure = [&](const QString&, const CancelToken&) -> qint64 {
        if (held)
            gate.acquire();
        return 1;
    };
    StorageGrowthScanner growth(layout, options);
    const auto open = qScopeGuard([&] {
        held = false;
        gate.release(1000);
    });
    ScreenState screen;
    StorageGrowthPane pane(growth, screen);
    pane.resize(700, 600);
    pane.show();
    pane.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pane));
    ASSERT_TRUE(testsupport::waitFor([&] { return growth.state().phase == ScanPhase::Done; }));

    // The button goes off while it measures: the focus waits on the pane, not on the next
    // control, and comes back to the button when the scan is done.
    auto* analyse = Find::part<QPushButton>(pane, "growthAnalyse");
    held = true;
    analyse->setFocus(Qt::TabFocusReason);
    QTest::keyClick(analyse, Qt::Key_Space);
    ASSERT_TRUE(growth.state().isRunning());
    EXPECT_EQ(QApplication::focusWidget(), &pane);
    EXPECT_EQ(pane.accessibleName(), "Where did my disk go?");
    held = false;
    gate.release(1000);
    ASSERT_TRUE(testsupport::waitFor([&] { return growth.state().phase == ScanPhase::Done; }));
    EXPECT_EQ(QApplication::focusWidget(), analyse);
}
