#include "app/MainWindow.h"
#include "app/PendrelApp.h"
#include "app/SettingsWindow.h"
#include "app/shots/Shots.h"

#include "platform/UserDefaults.h"
#include "shell/QKFeature.h"
#include "shell/views/ContentView.h"
#include "ui-kit/ThemeSettings.h"
#include "vitals/AppState.h"

#include <QApplication>

namespace {

void saveSettings(ShotContext& ctx, SettingsWindow* settings, const QString& name) {
    settings->show();
    QApplication::processEvents();
    settings->fitInto(settings->availableArea());
    ctx.save(settings, name);
}

} // namespace

// The main window with each section selected (one file per section id), the settings window,
// and Home and the settings at the smallest and largest text size, in light and dark.
void renderShellShots(ShotContext& ctx) {
    const AppState* vitals = ctx.app->services().appState;
    Shots::waitFor([&] { return vitals->hasFirstSample(); });
    MainWindow* window = ctx.app->mainWindow();
    window->resize(1180, 760);
    ContentView* content = window->contentView();
    for (const QKFeature& feature : QKFeature::all()) {
        content->selectSection(feature.id);
        // What a section starts on showing (the memory screen's refresh, for one) has ended.
        Shots::drain(2);
        ctx.save(window, feature.id);
    }
    SettingsWindow* settings = ctx.app->settingsWindow();
    saveSettings(ctx, settings, QStringLiteral("settings"));

    content->selectSection(QStringLiteral("dashboard"));
    ctx.eachLook([&](const ShotLook& look) {
        ctx.save(window, QStringLiteral("dashboard") + look.suffix());
        saveSettings(ctx, settings, QStringLiteral("settings") + look.suffix());
    });
    settings->hide();
    window->hide();
}
