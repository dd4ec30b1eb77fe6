#include "app/MainWindow.h"
#include "app/PendrelApp.h"
#include "app/shots/Shots.h"
#include "shell/QKFeature.h"
#include "shell/views/ContentView.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "ui-kit/QKBuild.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

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

// A screen hosted alone reads as it does in the main window: its window carries the section's
// title, and the page it scrolls reads by it, so the walk judges its scroll areas as the app
// shows them.
TEST(ShotsApp, AHostedScreenReadsByItsSectionsTitle) {
    QWidget window;
    auto* screen = new QWidget;
    QVBoxLayout* column = nullptr;
    QScrollArea* page = QKBuild::page(column, screen);
    Shots::column(&window, QStringLiteral("folders"))->addWidget(screen);
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), QKFeature::lookup(QStringLiteral("folders"))->title);
    EXPECT_EQ(page->accessibleName(), window.windowTitle());
    EXPECT_TRUE(testsupport::scrollAreaProblems(&window).isEmpty());
}
