#pragma once

#include "automation/AutomationStore.h"
#include "cleaning/CategoryMeasurer.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDiskUsage.h"
#include "fakes/FakeToolRunner.h"
#include "fakes/FakeTrash.h"
#include "fakes/FakeUserNotifier.h"
#include "platform/PendrelTimelineStore.h"
#include "platform/UserDefaults.h"
#include "support/TestSupport.h"
#include "vitals/SystemSnapshot.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTimeZone>

namespace automationtest {

inline QTimeZone berlin() {
    return QTimeZone("Europe/Berlin");
}

// A moment given in Berlin's wall-clock time.
inline QDateTime inBerlin(int y, int m, int d, int h, int min) {
    return QDateTime(QDate(y, m, d), QTime(h, min), berlin()).toUTC();
}

// Writes an executable shell script.
inline void writeScript(const QString& path, const QByteArray& body) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + body);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Everything an automation store touches, in a fresh folder of the sandbox: its own defaults
// file, a home with its own Trash, a timeline, a clock on Friday 27 March 2026 10:00 in Berlin
// (the Sunday after is the day the clocks go forward), fake notifications and a fake tool
// runner that finds no docker. The disk reads 50% full unless a test sets it.
struct World {
    QString root = testsupport::freshDir(QStringLiteral("automation"));
    UserDefaults defaults{root + QStringLiteral("/config/defaults.json")};
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(inBerlin(2026, 3, 27, 10, 0));
    std::shared_ptr<FakeUserNotifier> notifier = std::make_shared<FakeUserNotifier>();
    PendrelTimelineStore timeline{CacheFolder(AppSupportFolder(root + QStringLiteral("/data"))),
                                  clock};
    std::shared_ptr<FakeToolRunner> tools = std::make_shared<FakeToolRunner>();
    HomeLayout layout = HomeLayout::forHome(root + QStringLiteral("/home"));
    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>(root + QStringLiteral("/trash"));
    std::shared_ptr<SystemSnapshot> disk = std::make_shared<SystemSnapshot>();

    World() {
        disk->diskFreeBytes = 500'000'000'000;
        disk->diskTotalBytes = 1'000'000'000'000;
    }

    CleanupScanner::Deps cleaningTools() const {
        CleanupScanner::Deps tools;
        tools.trash = trash;
        tools.measure = std::make_shared<CategoryMeasurer>(std::make_shared<FakeDiskUsage>(),
                                                           CategoryMeasurer::Options{});
        return tools;
    }

    AutomationStore::Deps environment() {
        AutomationStore::Deps env;
        env.defaults = &defaults;
        env.clock = clock;
        env.timeZone = berlin();
        env.layout = layout;
        env.cleaning = cleaningTools();
        env.notifier = notifier;
        env.timeline = &timeline;
        env.tools = tools;
        env.dockerCandidates = {};
        env.searchPath = {};
        env.freshDiskSample = [disk = disk] { return *disk; };
        env.pauseMs = 5;
        return env;
    }

    // The environment with a docker, where the store looks first, that succeeds at anything.
    AutomationStore::Deps environmentWithDocker() {
        AutomationStore::Deps env = environment();
        const QString docker = root + QStringLiteral("/bin/docker");
        writeScript(docker, "exit 0\n");
        env.dockerCandidates = {docker};
        return env;
    }

    void setDisk(qint64 freeBytes, qint64 totalBytes) {
        disk->diskFreeBytes = freeBytes;
        disk->diskTotalBytes = totalBytes;
    }
};

// Waits until the store has neither a run nor a check under way.
inline bool settled(const AutomationStore& store, int timeoutMs = 10000) {
    return testsupport::waitFor([&] { return !store.isRunning() && !store.isChecking(); },
                                timeoutMs);
}

inline const AutomationRule& rule(const char* id) {
    return *AutomationRule::lookup(QString::fromLatin1(id));
}

// Lets every waiter of a gate through when the test ends, however it ends, so a failed
// expectation cannot leave a worker blocked (and the store's destructor waiting on it).
struct OpenAtEnd {
    QSemaphore& gate;
    ~OpenAtEnd() { gate.release(1000); }
};

} // namespace automationtest
