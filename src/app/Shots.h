#pragma once

#include <QString>

class PendrelApp;
class QWidget;

// What pendrel-shots hands to each group of screens it renders.
struct ShotContext {
    PendrelApp* app = nullptr;
    QString outDir;
    int failures = 0;

    // Shows the widget offscreen, lets it lay out, and writes <outDir>/<name>.png.
    void save(QWidget* widget, const QString& name);
};

// One function per group of screens, each in its own file (Shots<Group>.cpp), called in this
// order by pendrel-shots.
void renderShellShots(ShotContext& ctx);
void renderUiKitShots(ShotContext& ctx);
void renderVitalsShots(ShotContext& ctx);
void renderMenuBarShots(ShotContext& ctx);
