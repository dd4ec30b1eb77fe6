#pragma once

#include "apps/StartupItems.h"
#include "fakes/FakeTrash.h"
#include "platform/HomeLayout.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace startuptest {

using testsupport::write;

inline QByteArray entry(const QByteArray& name, const QByteArray& exec = "app",
                        const QByteArray& extra = {}) {
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" + extra;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A machine of its own under the sandbox: a home, an all-users autostart folder, a systemd
// configuration folder and a unit folder, and a Trash that is a plain folder.
struct Machine {
    QString base = testsupport::freshDir("machine");
    HomeLayout layout = HomeLayout::forHome(base + "/home");
    StartupItems::Deps roots;
    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>(base + "/trash");

    Machine() {
        roots.systemAutostartDirs = {base + "/etc/xdg/autostart"};
        roots.systemdConfigDir = base + "/etc/systemd/system";
        roots.systemdUnitDirs = {base + "/etc/systemd/system", base + "/lib/systemd/system"};
    }
    QString user() const { return layout.autostartDir(); }
    QString disabled() const { return layout.autostartDir() + "/.corvanto-disabled"; }
    QString system() const { return roots.systemAutostartDirs.first(); }
    QString lib() const { return base + "/lib/systemd/system"; }
    QString etc() const { return roots.systemdConfigDir; }

    std::unique_ptr<StartupItems> service(const QString& locale = QStringLiteral("C")) const {
        return std::make_unique<StartupItems>(layout, roots, trash, locale);
    }
    // A unit file in the unit folder, enabled through a link in the given wants folder.
    void enableUnit(const QString& name, const QByteArray& text,
                    const QString& wants = QStringLiteral("multi-user.target.wants")) const {
        write(lib() + "/" + name, text);
        QDir().mkpath(etc() + "/" + wants);
        QFile::link(lib() + "/" + name, etc() + "/" + wants + "/" + name);
    }
};

} // namespace startuptest
