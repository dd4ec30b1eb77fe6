// pendrel-shots [--] OUTDIR: renders the app's windows and screens offscreen to PNG files, one per
// screen, named after the section or window. It runs in a throw-away home, so what it shows is a
// fresh install and it cannot touch the user's files. The screens show paths and a render must
// come out byte for byte the same every time, so the home is made at one fixed name, fresh, and a
// second run waits for the first to be done with it. A name that is taken (a link someone planted
// there, a folder a run left when it did not finish) is never entered or removed: the run then
// renders in a home with a random name instead, and says that its paths differ.
#include "app/PendrelApp.h"
#include "app/shots/Shots.h"
#include "app/shots/ShotsCommandLine.h"
#include "platform/SandboxEnvironment.h"

#include <cstdio>
#include <optional>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <unistd.h>

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const ShotsCommandLine::Parsed command = ShotsCommandLine::parse(args);
    if (command.help) {
        std::fputs(ShotsCommandLine::kUsage, stdout);
        return 0;
    }
    if (!command.error.isEmpty()) {
        std::fprintf(stderr, "pendrel-shots: %s\n%s", qPrintable(command.error),
                     ShotsCommandLine::kUsage);
        return 2;
    }
    const QString outDir = QDir(command.outDir).absolutePath();
    const QString root = QDir::tempPath() + QStringLiteral("/pendrel-shots-home");
    if (outDir == root || outDir.startsWith(root + QLatin1Char('/'))) {
        std::fprintf(stderr, "pendrel-shots: %s is removed after each run; write elsewhere\n",
                     qPrintable(root));
        return 2;
    }
    // A run of this user's holds the name until it is done with it, and the next one waits for
    // it. A lock that another user holds (or planted) is never waited for: that run renders in a
    // home of a random name, as it does when the name itself is taken.
    const QString lockPath = root + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0); // a run takes minutes; only a dead owner's lock is stale
    bool locked = lock.tryLock(0);
    if (!locked && QFileInfo(lockPath).ownerId() == ::geteuid())
        locked = lock.lock();
    std::optional<SandboxEnvironment> sandbox;
    if (locked)
        sandbox.emplace(root, SandboxEnvironment::Name::Exact);
    if (!locked || sandbox->taken()) {
        sandbox.emplace(QDir::tempPath() + QStringLiteral("/pendrel-shots-XXXXXX"),
                        SandboxEnvironment::Name::Random);
        std::fprintf(stderr,
                     "pendrel-shots: %s is already there and was left alone; rendering in %s, "
                     "so the paths in the screens differ\n",
                     qPrintable(locked ? root : lockPath), qPrintable(sandbox->root()));
    }
    if (!sandbox->isValid()) {
        std::fprintf(stderr, "pendrel-shots: could not make a temporary home\n");
        return 1;
    }
    // One 1440 × 900 screen, a common laptop's, so windows are placed and fitted as there.
    const QString screens = sandbox->root() + QStringLiteral("/screens.json");
    QFile config(screens);
    if (config.open(QIODevice::WriteOnly))
        config.write(R"({"screens": [{"name": "shots", "x": 0, "y": 0, "width": 1440,
                         "height": 900, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendrel"));
    // A steady text cursor: a blinking one is drawn or not by when the grab falls in its cycle.
    QApplication::setCursorFlashTime(0);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "pendrel-shots: could not create %s\n", qPrintable(outDir));
        return 1;
    }

    const std::unique_ptr<PendrelApp> pendrel = Shots::makeApp();
    ShotContext ctx;
    ctx.app = pendrel.get();
    ctx.outDir = outDir;
    Shots::renderAll(ctx);
    return ctx.failures == 0 ? 0 : 1;
}
