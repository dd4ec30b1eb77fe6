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

    // Switches every window to an appearance ("Light", "Dark", "Match macOS") and a text-size
    // step through the user's settings, as the user would; resetLook() goes back to the defaults.
    void setLook(const QString& appearance, int step);
    void setTextSize(int step);
    void resetLook();
};

// One function per group of screens, each in its own file (Shots<Group>.cpp), called in this
// order by pendrel-shots.
void renderShellShots(ShotContext& ctx);
void renderUiKitShots(ShotContext& ctx);
void renderVitalsShots(ShotContext& ctx);
void renderMenuBarShots(ShotContext& ctx);
void renderCompareShots(ShotContext& ctx);
void renderDeveloperShots(ShotContext& ctx);
void renderAppsShots(ShotContext& ctx);
void renderUninstallerShots(ShotContext& ctx);
void renderAssistantShots(ShotContext& ctx);
void renderCleaningShots(ShotContext& ctx);
void renderAutomationShots(ShotContext& ctx);
void renderDuplicatesShots(ShotContext& ctx);
void renderHomeShots(ShotContext& ctx);
void renderStorageShots(ShotContext& ctx);
void renderFoldersShots(ShotContext& ctx);
void renderVaultShots(ShotContext& ctx);
void renderOrganizerShots(ShotContext& ctx);
void renderChatShots(ShotContext& ctx);
