#include "app/shots/Shots.h"

#include "apps/StartupItems.h"
#include "apps/TweaksService.h"
#include "apps/views/StartupItemRow.h"
#include "apps/views/StartupItemsView.h"
#include "apps/views/TweaksView.h"
#include "fakes/FakeFileRevealer.h"
#include "fakes/FakeToolRunner.h"
#include "fakes/FakeTrash.h"
#include "platform/DefaultsTool.h"
#include "platform/HomeLayout.h"

#include <atomic>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QSize>
#include <QVBoxLayout>

#include "ui-kit/ToggleSwitch.h"

namespace {

using Shots::frame;
using Shots::settle;
using Shots::waitFor;
using Shots::writeFile;

QByteArray entry(const char* name, const char* exec, const char* extra = "") {
    return QByteArray("[Desktop Entry]\nType=Application\nName=") + name + "\nExec=" + exec + "\n" +
           extra;
}

QByteArray unit(const char* description, const char* exec) {
    QByteArray text = QByteArray("[Unit]\nDescription=") + description + "\n\n[Service]\n";
    if (*exec)
        text += QByteArray("ExecStart=") + exec + "\n";
    return text + "\n[Install]\nWantedBy=multi-user.target\n";
}

// A desktop machine: a few autostart entries of the user (one switched off, one overriding an
// entry of all users), the entries a desktop installs for everyone, and a handful of services.
struct StartupMachine {
    HomeLayout layout;
    StartupItems::Deps roots;

    explicit StartupMachine(const QString& base) : layout(HomeLayout::forHome(base + "/home")) {
        const QString user = layout.autostartDir();
        writeFile(user + "/nextcloud.desktop",
                  entry("Nextcloud", "/usr/bin/nextcloud --background"));
        writeFile(user + "/syncthing-start.desktop",
                  entry("Start Syncthing", "/usr/bin/syncthing serve --no-browser"));
        writeFile(user + "/org.gnome.Software.desktop",
                  entry("Software", "/usr/bin/gnome-software --gapplication-service",
                        "X-GNOME-Autostart-enabled=false\n"));
        writeFile(user + "/.corvanto-disabled/zoom.desktop", entry("Zoom", "/usr/bin/zoom %U"));
        writeFile(user + "/.corvanto-disabled/discord.desktop", entry("Discord", "discord"));

        const QString xdg = base + "/etc/xdg/autostart";
        writeFile(xdg + "/org.gnome.Software.desktop",
                  entry("Software", "/usr/bin/gnome-software --gapplication-service"));
        writeFile(xdg + "/print-applet.desktop",
                  entry("Print Queue Applet", "system-config-printer-applet"));
        writeFile(xdg + "/org.gnome.Evolution-alarm-notify.desktop",
                  entry("Evolution Alarm Notify",
                        "/usr/libexec/evolution-data-server/evolution-alarm-notify"));
        writeFile(xdg + "/xdg-user-dirs.desktop",
                  entry("User folders update", "xdg-user-dirs-update"));
        roots.systemAutostartDirs = {xdg};

        const QString lib = base + "/lib/systemd/system";
        const QString etc = base + "/etc/systemd/system";
        const struct {
            const char* name;
            const char* description;
            const char* exec;
        } units[] = {
            {"ssh.service", "OpenBSD Secure Shell server", "/usr/sbin/sshd -D $SSHD_OPTS"},
            {"cron.service", "Regular background program processing daemon",
             "/usr/sbin/cron -f $EXTRA_OPTS"},
            {"cups.service", "CUPS Scheduler", "/usr/sbin/cupsd -l"},
            {"apt-daily.timer", "Daily apt download activities", ""},
        };
        for (const auto& u : units) {
            writeFile(lib + "/" + u.name, unit(u.description, u.exec));
            const QString wants =
                etc + (QByteArray(u.name).endsWith(".timer") ? "/timers.target.wants/"
                                                             : "/multi-user.target.wants/");
            QDir().mkpath(wants);
            QFile::link(lib + "/" + u.name, wants + u.name);
        }
        roots.systemdConfigDir = etc;
        roots.systemdUnitDirs = {etc, lib};
    }
};

void startupShots(ShotContext& ctx, const QString& base) {
    StartupMachine machine(base + "/startup");
    FakeFileRevealer revealer;
    auto trash = std::make_shared<FakeTrash>(base + "/startup-trash");
    StartupItems startup(machine.layout, machine.roots, trash, QStringLiteral("en_GB.UTF-8"));
    std::unique_ptr<QWidget> window(
        frame(new StartupItemsView(&startup, &revealer), QStringLiteral("startup")));
    window->resize(900, 700);
    window->show();
    settle();
    ctx.save(window.get(), QStringLiteral("startup-items"));
    ctx.saveLooks(window.get(), QStringLiteral("startup-items"), QSize(900, 700), QSize(900, 980));

    // A desktop where nothing can show the file: the line under the clicked "Reveal".
    revealer.refuses = true;
    auto* shown = window->findChild<StartupItemsView*>();
    for (int step : {0, 4}) {
        ctx.setLook(QStringLiteral("Light"), step);
        window->resize(900, step == 0 ? 700 : 980);
        settle();
        if (shown && !shown->rows().isEmpty())
            shown->rows().first()->revealButton()->click();
        settle();
        ctx.save(window.get(), QStringLiteral("startup-items-reveal-failed-step%1").arg(step));
    }
    ctx.resetLook();
    revealer.refuses = false;

    // A switch that fails: a file stands where Zoom would go back and the Trash refuses it.
    writeFile(machine.layout.autostartDir() + "/zoom.desktop",
              entry("Zoom", "/opt/zoom/ZoomLauncher"));
    trash->refuseAll(QStringLiteral("The Trash could not be reached on this volume."));
    startup.load();
    settle();
    auto* view = window->findChild<StartupItemsView*>();
    for (StartupItemRow* row : view->rows()) {
        if (row->item().disabled && row->item().label == QLatin1String("Zoom") && row->toggle()) {
            row->toggle()->click();
            break;
        }
    }
    settle();
    if (QMessageBox* alert = view->alert()) {
        ctx.save(alert, QStringLiteral("startup-items-alert"));
        alert->close();
    }
    settle();

    // A fresh account: nothing at all.
    StartupItems none(HomeLayout::forHome(base + "/empty-home"), StartupItems::Deps{},
                      std::make_shared<FakeTrash>(base + "/startup-trash"), QString());
    std::unique_ptr<QWidget> empty(
        frame(new StartupItemsView(&none, &revealer), QStringLiteral("startup")));
    empty->resize(900, 560);
    empty->show();
    settle();
    ctx.save(empty.get(), QStringLiteral("startup-items-empty"));
}

void tweaksShots(ShotContext& ctx, const QString& base) {
    const QString store = base + "/defaults.d";
    for (const QStringList& write :
         {QStringList{"write", "com.apple.screencapture", "type", "-string", "jpg"},
          QStringList{"write", "com.apple.finder", "AppleShowAllFiles", "-bool", "true"},
          QStringList{"write", "com.apple.finder", "ShowPathbar", "-bool", "true"},
          QStringList{"write", "com.apple.dock", "autohide-delay", "-float", "0"},
          QStringList{"write", "NSGlobalDomain", "KeyRepeat", "-int", "2"},
          QStringList{"write", "NSGlobalDomain", "AppleShowScrollBars", "-string", "Always"}})
        DefaultsTool::run(write, store);

    // One read of the first reading waits on its pool thread until the indicator has been shot:
    // showing starts the reading, and a quick one would otherwise end before the grab. Only one
    // waits, since painting shares the pool.
    auto runner = std::make_shared<FakeToolRunner>();
    QSemaphore readingShot;
    std::atomic_bool holdOne = true;
    runner->setHandler([tool = FakeToolRunner::defaultsTool(store), &readingShot,
                        &holdOne](const QString& program, const QStringList& args) {
        if (holdOne.exchange(false))
            readingShot.acquire();
        return tool(program, args);
    });
    TweaksService service(runner, QStringLiteral("pendrel-defaults"));
    std::unique_ptr<QWidget> window(frame(new TweaksView(&service), QStringLiteral("tweaks")));
    window->resize(900, 700);
    ctx.save(window.get(), QStringLiteral("tweaks-reading"));
    holdOne = false;
    readingShot.release();
    waitFor([&] { return service.isLoaded(); });
    settle();
    window->resize(900, 4200);
    settle();
    ctx.save(window.get(), QStringLiteral("tweaks-all"));
    ctx.saveLooks(window.get(), QStringLiteral("tweaks"), QSize(900, 760), QSize(900, 760));

    // A tool that cannot be started: the alert.
    runner->setMissing(QStringLiteral("pendrel-defaults"));
    window->resize(900, 700);
    service.apply(service.tweaks().at(0), false);
    settle();
    if (auto* view = window->findChild<TweaksView*>(); view && view->alert())
        ctx.save(view->alert(), QStringLiteral("tweaks-alert"));
    if (auto* view = window->findChild<TweaksView*>(); view && view->alert())
        view->alert()->close();
    settle();
}

} // namespace

// The startup items and tweaks screens over fixture machines: a desktop with user, all-users and
// boot items, and a settings store with a few tweaks on; each at the smallest and largest text
// size in light and dark, the empty and waiting states, and the error alerts.
void renderAppsShots(ShotContext& ctx) {
    const QString base = QDir::homePath() + QStringLiteral("/apps-shots");
    QDir(base).removeRecursively();
    startupShots(ctx, base);
    tweaksShots(ctx, base);
}
