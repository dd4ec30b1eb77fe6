#include "app/MainWindow.h"
#include "app/PendrelApp.h"
#include "app/shots/Shots.h"
#include "shell/views/ContentView.h"
#include "support/Find.h"

#include <gtest/gtest.h>
#include <QLabel>

// The pictures are the same whenever and by whomever they are rendered: Home greets by the
// harness's own clock and name, not by the hour and the account of the machine.
TEST(ShotsApp, HomeGreetsByTheHarnessClockAndName) {
    const std::unique_ptr<PendrelApp> app = Shots::makeApp();
    MainWindow* window = app->mainWindow();
    window->contentView()->selectSection(QStringLiteral("dashboard"));
    Shots::waitFor([&] {
        return window->findChild<QLabel*>(QStringLiteral("greeting")) &&
               !window->findChild<QLabel*>(QStringLiteral("greeting"))->text().isEmpty();
    });
    EXPECT_EQ(Find::part<QLabel>(window, "greeting")->text(), "Good morning, Robin");
}
