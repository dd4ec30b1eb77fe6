#include "platform/ApplicationProcesses.h"
#include "fakes/FakeRunningApplications.h"
#include "support/TestSupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using testsupport::write;

// A process tree of our own making: <root>/<pid>/{stat,status,exe}, exe a link to a program.
struct FakeProc {
    QString base = testsupport::freshDir(QStringLiteral("proc"));
    QString root = base + QStringLiteral("/proc");
    QString apps = base + QStringLiteral("/Applications");

    QString bundle(const QString& name, const QString& identifier) {
        const QString path = apps + QLatin1Char('/') + name + QStringLiteral(".app");
        write(path + QStringLiteral("/Contents/MacOS/") + name, "binary");
        if (!identifier.isEmpty())
            write(path + QStringLiteral("/Contents/Info.plist"),
                  "<plist><dict><key>CFBundleIdentifier</key><string>" + identifier.toUtf8() +
                      "</string></dict></plist>");
        return path + QStringLiteral("/Contents/MacOS/") + name;
    }
    void process(qint64 pid, qint64 parent, uint uid, const QString& program,
                 quint64 start = 1000) {
        const QString dir = root + QLatin1Char('/') + QString::number(pid);
        write(dir + "/stat", QStringLiteral("%1 (prog name) S %2 1 1 0 -1 4194304 0 0 0 0 1 2 0 0 "
                                            "20 0 1 0 %3 1000 50 0")
                                 .arg(pid)
                                 .arg(parent)
                                 .arg(start)
                                 .toUtf8());
        write(dir + "/status", "Name:\tprog\nUid:\t" + QByteArray::number(uid) + "\t" +
                                   QByteArray::number(uid) + "\t0\t0\n");
        if (!program.isEmpty())
            QFile::link(program, dir + "/exe");
    }
};

struct Sent {
    qint64 pid;
    quint64 start;
    int sig;
    bool operator==(const Sent&) const = default;
};

} // namespace

TEST(ApplicationProcesses, ListsThisUsersBundleProcessesButNeverItself) {
    FakeProc proc;
    const QString editor = proc.bundle(QStringLiteral("Editor"), QStringLiteral("com.example.ed"));
    const QString bare = proc.bundle(QStringLiteral("Bare"), QString());
    proc.process(100, 1, 1000, editor);
    proc.process(101, 100, 1000, editor);          // its helper
    proc.process(102, 1, 1000, bare);              // a bundle without an identifier
    proc.process(103, 1, 1000, "/usr/bin/editor"); // not in a bundle
    proc.process(104, 1, 0, editor);               // another user's
    proc.process(105, 1, 1000, QString());         // no program (a kernel thread)
    proc.process(4242, 1, 1000, editor);           // this process
    write(proc.root + "/self/stat", "not a process folder");

    ProcApplicationProcesses::Deps options;
    options.procRoot = proc.root;
    options.user = 1000;
    options.self = 4242;
    options.windows = std::make_shared<FakeRunningApplications>();
    options.send = [](qint64, quint64, int) { return false; };
    ProcApplicationProcesses processes(options);
    QList<AppProcess> listed = processes.list();
    std::sort(listed.begin(), listed.end(),
              [](const AppProcess& a, const AppProcess& b) { return a.pid < b.pid; });
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed.at(0).pid, 100);
    EXPECT_EQ(listed.at(0).bundleIdentifier, "com.example.ed");
    EXPECT_EQ(listed.at(0).bundlePath, proc.apps + "/Editor.app");
    EXPECT_EQ(listed.at(0).startTicks, 1000u);
    EXPECT_EQ(listed.at(1).parentPid, 100);
    EXPECT_EQ(listed.at(2).pid, 102);
    EXPECT_EQ(listed.at(2).bundleIdentifier, QString());
}

TEST(ApplicationProcesses, AsksWindowsFirstAndSignalsOnlyTheProcessListed) {
    FakeProc proc;
    const QString editor = proc.bundle(QStringLiteral("Editor"), QStringLiteral("com.example.ed"));
    proc.process(100, 1, 1000, editor, 500);
    proc.process(200, 1, 1000, editor, 700);
    auto windows = std::make_shared<FakeRunningApplications>();
    windows->apps = {FakeRunningApplications::app(QStringLiteral("Editor"), 100)};

    QList<Sent> sent;
    ProcApplicationProcesses::Deps options;
    options.procRoot = proc.root;
    options.user = 1000;
    options.self = 1;
    options.windows = windows;
    options.send = [&](qint64 pid, quint64 start, int sig) {
        sent.append({pid, start, sig});
        return true;
    };
    ProcApplicationProcesses processes(options);
    QList<AppProcess> listed = processes.list();
    std::sort(listed.begin(), listed.end(),
              [](const AppProcess& a, const AppProcess& b) { return a.pid < b.pid; });
    ASSERT_EQ(listed.size(), 2);

    // With a window: its window is asked to close, no signal. Without: SIGTERM.
    EXPECT_TRUE(processes.requestQuit(listed.at(0)));
    EXPECT_EQ(windows->quitRequests, QList<qint64>({100}));
    EXPECT_TRUE(processes.requestQuit(listed.at(1)));
    EXPECT_EQ(sent, QList<Sent>({{200, 700, SIGTERM}}));
    EXPECT_TRUE(processes.forceQuit(listed.at(1)));
    EXPECT_EQ(sent.last(), (Sent{200, 700, SIGKILL}));

    // The pid now belongs to a later process: the polite request is not sent at all.
    sent.clear();
    proc.process(200, 1, 1000, editor, 900);
    EXPECT_FALSE(processes.requestQuit(listed.at(1)));
    EXPECT_TRUE(sent.isEmpty());
    // This process itself is never signalled, whatever the caller passes.
    AppProcess self = listed.at(1);
    self.pid = 1;
    EXPECT_FALSE(processes.forceQuit(self));
    EXPECT_TRUE(sent.isEmpty());
}
