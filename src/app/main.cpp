#include "app/PendrelApp.h"
#include "platform/AppIcon.h"
#include "platform/DescriptorLimit.h"
#include "platform/HomeLayout.h"
#include "platform/SingleInstance.h"
#include "platform/StallLog.h"
#include "vault/SecureNotesStore.h"

#include <cstdio>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// True when Qt would have to find a display server and none is set. An explicit platform
// (offscreen, vnc, ...) is trusted as it is.
bool lacksDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The screenshot tool beside this very program, which is where a source build puts it (it is
// never installed); none for an installed app or when it was not built.
QByteArray shotsBesideThisProgram() {
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    const QFileInfo shots(self.canonicalFilePath().section(QLatin1Char('/'), 0, -2) +
                          QStringLiteral("/pendrel-shots"));
    if (!self.exists() || !shots.isFile() || !shots.isExecutable())
        return {};
    return QFile::encodeName(shots.absoluteFilePath());
}

} // namespace

int main(int argc, char** argv) {
    if (lacksDisplay()) {
        std::fputs("Pendrel needs a graphical desktop and none was found (DISPLAY is not set); "
                   "start it from a desktop session.",
                   stderr);
        // Named by its full path, so the command works from any folder.
        if (const QByteArray shots = shotsBesideThisProgram(); !shots.isEmpty())
            std::fprintf(stderr, " %s OUTDIR renders its screens without one.", shots.constData());
        std::fputs("\n", stderr);
        return 1;
    }
    // Without a runtime folder Qt would make one in /tmp; keep everything under the home.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime =
            HomeLayout::fromEnvironment().cacheHome() + QStringLiteral("/Pendrel/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    DescriptorLimit::raise();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendrel"));
    QApplication::setOrganizationName(QStringLiteral("Pendrel"));
    QApplication::setDesktopFileName(QStringLiteral("pendrel"));
    QApplication::setWindowIcon(AppIcon::icon());

    // The one argument a launch may carry: a pendrel:// link (from the desktop's URL handler).
    const QStringList args = QApplication::arguments();
    const QString message = args.size() > 1 ? args.at(1) : QStringLiteral("reopen");

    SingleInstance instance(SingleInstance::defaultFolders());
    switch (instance.start(message)) {
    case SingleInstance::Result::HandedOver:
        return 0;
    case SingleInstance::Result::Failed:
        std::fprintf(stderr, "Pendrel: %s\n", qPrintable(instance.errorString()));
        return 1;
    case SingleInstance::Result::Primary:
        // Without a usable socket the app still starts; later launches then start their own.
        if (instance.socketPath().isEmpty())
            std::fprintf(stderr, "Pendrel: %s\n", qPrintable(instance.errorString()));
        break;
    }

    // PENDREL_STALL_LOG=/path/to/file starts the main thread's heartbeat (platform/StallLog.h):
    // every moment the window could not answer for more than 50 ms is a line of that file, and
    // the longest is the last line at quit. Unset or empty, nothing runs and nothing is written.
    // Only the first instance logs; a launch that hands over leaves the file alone.
    QString stallError;
    const QString stallPath = qEnvironmentVariable("PENDREL_STALL_LOG");
    std::unique_ptr<StallLog> stallLog = StallLog::start(stallPath, &stallError);
    if (!stallPath.isEmpty() && !stallLog)
        std::fprintf(stderr, "Pendrel: no stall log at %s: %s\n", qPrintable(stallPath),
                     qPrintable(stallError));

    int status = 0;
    {
        PendrelApp pendrel;
        QObject::connect(&instance, &SingleInstance::messageReceived, &pendrel,
                         &PendrelApp::handleMessage);
        pendrel.launch();
        if (args.size() > 1)
            pendrel.handleMessage(args.at(1));
        status = app.exec();
        // The instance has stopped listening; the windows go now, asking their last saves.
    }
    stallLog.reset(); // its closing line, with the longest stall of the run
    // The exit waits for every worker, and a keyring call may wait on a prompt nobody answers
    // or on a keyring that never does: give the vault's last work a moment, then let it go.
    SecureNotesStore::shared()->finishWithin(SecureNotesStore::kQuitGrace);
    return status;
}
