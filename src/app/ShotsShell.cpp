#include "app/MainWindow.h"
#include "app/PendrelApp.h"
#include "app/Shots.h"

// The main window, the settings window and every section.
void renderShellShots(ShotContext& ctx) {
    MainWindow* window = ctx.app->mainWindow();
    window->resize(1180, 760);
    ctx.save(window, QStringLiteral("main"));
    window->hide();
}
