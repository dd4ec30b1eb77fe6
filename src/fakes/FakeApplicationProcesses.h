#pragma once

#include "platform/ApplicationProcesses.h"

#include <QHash>
#include <QList>

// A scripted list of application processes. Nothing is ever signalled: quit and force requests
// are only recorded (by pid). A process can be set to leave the list once the list has been read
// a given number of times (it "quits" then), and a forced process leaves at once unless told to
// linger.
class FakeApplicationProcesses final : public ApplicationProcesses {
public:
    QList<AppProcess> processes;
    QList<qint64> quitRequests;
    QList<qint64> forceQuits;
    int listCalls = 0;
    bool forcedProcessesLeave = true;

    QList<AppProcess> list() override {
        ++listCalls;
        for (auto it = m_leaveAfter.begin(); it != m_leaveAfter.end();) {
            if (listCalls > it.value()) {
                drop(it.key());
                it = m_leaveAfter.erase(it);
            } else {
                ++it;
            }
        }
        return processes;
    }
    bool requestQuit(const AppProcess& process) override {
        quitRequests.append(process.pid);
        return contains(process.pid);
    }
    bool forceQuit(const AppProcess& process) override {
        forceQuits.append(process.pid);
        const bool there = contains(process.pid);
        if (forcedProcessesLeave)
            drop(process.pid);
        return there;
    }

    // The process is still listed by the first `reads` reads of the list, and gone after.
    void leaveAfterReads(qint64 pid, int reads) { m_leaveAfter.insert(pid, reads); }

    static AppProcess process(qint64 pid, const QString& identifier, qint64 parentPid = 1) {
        AppProcess p;
        p.pid = pid;
        p.parentPid = parentPid;
        p.startTicks = quint64(pid) * 10;
        p.bundleIdentifier = identifier;
        p.bundlePath = QStringLiteral("/Applications/") + identifier + QStringLiteral(".app");
        return p;
    }

private:
    bool contains(qint64 pid) const {
        for (const AppProcess& p : processes) {
            if (p.pid == pid)
                return true;
        }
        return false;
    }
    void drop(qint64 pid) {
        processes.removeIf([pid](const AppProcess& p) { return p.pid == pid; });
    }

    QHash<qint64, int> m_leaveAfter;
};
