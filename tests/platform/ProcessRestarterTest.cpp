#include "platform/ProcessRestarter.h"
#include "support/TestSupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

void process(const QString& root, int pid, const QByteArray& comm, int uid,
             const QByteArray& cmdline = {}) {
    const QString dir = root + "/" + QString::number(pid);
    QDir().mkpath(dir);
    QFile c(dir + "/comm");
    c.open(QIODevice::WriteOnly);
    c.write(comm + "\n");
    QFile s(dir + "/status");
    s.open(QIODevice::WriteOnly);
    s.write("Name:\t" + comm + "\nUid:\t" + QByteArray::number(uid) + "\t" +
            QByteArray::number(uid) + "\t0\t0\n");
    QFile l(dir + "/cmdline");
    l.open(QIODevice::WriteOnly);
    l.write(cmdline);
}

} // namespace

// A process list on disk; the signals are recorded, never sent.
TEST(SignalProcessRestarter, AsksOnlyTheUsersOwnProcessesOfThatName) {
    const QString root = testsupport::freshDir("proc");
    process(root, 100, "Dock", 1000);
    process(root, 101, "Dock", 0); // another user's
    process(root, 102, "Dockyard", 1000);
    process(root, 103, "Dock", 1000); // this process itself
    process(root, 104, "SystemUIServer", 1000);
    process(root, 105, "LongProcessName", 1000,
            QByteArray("/opt/x/LongProcessNameHere\0--flag\0", 34));
    process(root, 106, "LongProcessName", 1000, QByteArray("/opt/x/LongProcessNameElse\0", 27));
    QDir().mkpath(root + "/self");

    QList<QPair<pid_t, int>> sent;
    SignalProcessRestarter restarter(root, 1000, 103, [&](pid_t pid, int sig) {
        sent.append({pid, sig});
        return 0;
    });
    EXPECT_EQ(restarter.restart("Dock"), 1);
    EXPECT_EQ(sent, (QList<QPair<pid_t, int>>{{100, SIGTERM}}));
    sent.clear();
    EXPECT_EQ(restarter.restart("LongProcessNameHere"), 1);
    EXPECT_EQ(sent, (QList<QPair<pid_t, int>>{{105, SIGTERM}}));
    sent.clear();
    EXPECT_EQ(restarter.restart("Finder"), 0);
    EXPECT_EQ(restarter.restart(""), 0);
    EXPECT_TRUE(sent.isEmpty());
}
