// pendrel-shots OUTDIR: renders the app's windows and screens offscreen to PNG files, one per
// screen, named after the section or window. It runs in a throw-away home, so what it shows is a
// fresh install and it cannot touch the user's files.
#include "app/PendrelApp.h"
#include "platform/SandboxEnvironment.h"
#include "shots/Shots.h"

#include <cstdio>
#include <QApplication>
#include <QDir>
#include <QFile>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pendrel-shots OUTDIR\n");
        return 2;
    }
    const QString outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    SandboxEnvironment sandbox;
    if (!sandbox.isValid()) {
        std::fprintf(stderr, "pendrel-shots: could not make a temporary home\n");
        return 1;
    }
    // One 1440 × 900 screen, a common laptop's, so windows are placed and fitted as there.
    const QString screens = sandbox.root() + QStringLiteral("/screens.json");
    QFile config(screens);
    if (config.open(QIODevice::WriteOnly))
        config.write(R"({"screens": [{"name": "shots", "x": 0, "y": 0, "width": 1440,
                         "height": 900, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendrel"));
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "pendrel-shots: could not create %s\n", qPrintable(outDir));
        return 1;
    }

    PendrelApp pendrel(PendrelApp::Options{.useSystemTray = false});
    ShotContext ctx{&pendrel, outDir};
    renderShellShots(ctx);
    renderUiKitShots(ctx);
    renderVitalsShots(ctx);
    renderMenuBarShots(ctx);
    renderCompareShots(ctx);
    renderDeveloperShots(ctx);
    renderAppsShots(ctx);
    renderUninstallerShots(ctx);
    renderAssistantShots(ctx);
    renderCleaningShots(ctx);
    renderAutomationShots(ctx);
    renderDuplicatesShots(ctx);
    renderHomeShots(ctx);
    renderStorageShots(ctx);
    renderFoldersShots(ctx);
    renderVaultShots(ctx);
    renderOrganizerShots(ctx);
    renderChatShots(ctx);
    return ctx.failures == 0 ? 0 : 1;
}
