#pragma once

#include "apps/AppUninstaller.h"
#include "apps/LeftoverSearch.h"
#include "fakes/FakeApplicationProcesses.h"
#include "fakes/FakeToolRunner.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HomeLayout.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <sys/stat.h>

namespace appstest {

using testsupport::write;

inline QByteArray infoPlist(const QString& identifier) {
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key>"
           "<string>" +
           identifier.toUtf8() + "</string></dict></plist>";
}

// Bytes allocated for one path as the kernel counts them (what `du` and `find %b` add up).
inline qint64 allocated(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return qint64(st.st_blocks) * 512;
}

// A machine of its own: a home with its Trash, a folder standing for /Applications (with
// Utilities), the user's Applications folder, and fakes for processes and the gio route. Waits
// are recorded and pass at once.
struct Machine {
    QString base = testsupport::freshDir(QStringLiteral("apps"));
    HomeLayout layout = HomeLayout::forHome(base + QStringLiteral("/home"));
    QString system = base + QStringLiteral("/Applications");
    QString user = layout.home() + QStringLiteral("/Applications");
    std::shared_ptr<FreedesktopTrash> trash = std::make_shared<FreedesktopTrash>(layout.trashDir());
    std::shared_ptr<FakeToolRunner> runner = std::make_shared<FakeToolRunner>();
    std::shared_ptr<FakeApplicationProcesses> processes =
        std::make_shared<FakeApplicationProcesses>();
    QList<int> waits;

    Machine() {
        QDir().mkpath(system + QStringLiteral("/Utilities"));
        QDir().mkpath(user);
        // gio is never run: by default it reports failure, so only the Trash removes things.
        runner->setHandler([](const QString&, const QStringList&) {
            return FakeToolRunner::exited(1, {}, "gio: refused");
        });
    }

    AppUninstaller::Deps tools() {
        AppUninstaller::Deps t;
        t.applicationFolders = {system, system + QStringLiteral("/Utilities"), user};
        t.leftoverFolders = LeftoverSearch::folders(layout);
        t.protectedPaths = AppUninstaller::protectedPathsFor(layout);
        t.cache = CacheFolder(AppSupportFolder(layout.appSupportDir()));
        t.trash = trash;
        t.runner = runner;
        t.processes = processes;
        t.wait = [this](int ms, std::function<void()> then) {
            waits.append(ms);
            QTimer::singleShot(0, QCoreApplication::instance(), std::move(then));
        };
        return t;
    }
    std::unique_ptr<AppUninstaller> service() { return std::make_unique<AppUninstaller>(tools()); }

    // An application bundle with an identifier (none when empty) and one payload file.
    QString bundle(const QString& folder, const QString& name, const QString& identifier,
                   int payloadBytes = 10000) {
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".app");
        QDir().mkpath(path + QStringLiteral("/Contents/MacOS"));
        if (!identifier.isEmpty())
            write(path + QStringLiteral("/Contents/Info.plist"), infoPlist(identifier));
        write(path + QStringLiteral("/Contents/MacOS/") + name, QByteArray(payloadBytes, 'x'));
        return path;
    }
    QString support() const { return layout.dataHome(); }
    QString preferences() const { return layout.configHome(); }
    QString caches() const { return layout.cacheHome(); }
    QString trashFiles() const { return layout.trashDir() + QStringLiteral("/files"); }
};

// Selects the application and waits for its leftover search to publish.
inline bool selectAndWait(AppUninstaller& service, const InstalledApp& app) {
    service.select(app);
    return testsupport::waitFor([&] { return !service.leftoversLoading(); });
}

inline InstalledApp appAt(const QString& path, const std::optional<QString>& identifier,
                          qint64 size = 0) {
    InstalledApp app;
    app.id = path;
    app.url = QUrl::fromLocalFile(path);
    const QString file = QFileInfo(path).fileName();
    app.name = file.left(file.lastIndexOf(QLatin1Char('.')));
    app.bundleID = identifier;
    app.appSizeBytes = size;
    return app;
}

} // namespace appstest
