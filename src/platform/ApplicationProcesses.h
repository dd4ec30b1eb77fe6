#pragma once

#include <functional>
#include <memory>
#include <QList>
#include <QString>
#include <sys/types.h>

class RunningApplications;

// One running process whose program lies inside an application bundle.
struct AppProcess {
    qint64 pid = 0;
    qint64 parentPid = 0;
    // The kernel's start time of the process (ticks after boot): with the pid, it names this
    // process and no later one that reuses the pid.
    quint64 startTicks = 0;
    // The innermost ".app" folder that holds the program.
    QString bundlePath;
    // The identifier that bundle declares; empty when it declares none.
    QString bundleIdentifier;

    bool operator==(const AppProcess&) const = default;
};

// The running processes of application bundles, and the two ways to make one end: asking it to
// quit, and ending it at once. Used by the uninstaller before it moves a bundle to the Trash.
//
// Main thread only (asking to quit may go through the desktop's window list). Every call returns
// promptly and none throws. The list never holds this process, nor a process of another user;
// a signal only ever reaches the very process that was listed (a pid that has since been reused
// by another process is left alone).
class ApplicationProcesses {
public:
    virtual ~ApplicationProcesses() = default;

    // This user's processes whose program lies inside a ".app" folder, in the order the system
    // lists them.
    virtual QList<AppProcess> list() = 0;

    // Asks the process to quit as the user's own close command would: its windows are asked to
    // close where it has any, otherwise it is sent SIGTERM. The answer is not awaited. False
    // when nothing could be asked (the process has gone, or is no longer the one listed).
    virtual bool requestQuit(const AppProcess& process) = 0;

    // Ends the process at once (SIGKILL). False when it has gone or is no longer the one listed.
    virtual bool forceQuit(const AppProcess& process) = 0;
};

// The kernel's process list under a process root, with the desktop's window list for the polite
// quit.
class ProcApplicationProcesses final : public ApplicationProcesses {
public:
    // Sends sig to the process pid started at startTicks; true when it was delivered. The
    // default opens a pidfd, checks the start time under the process root, then signals through
    // the pidfd, so a reused pid is never hit.
    using SendSignal = std::function<bool(qint64 pid, quint64 startTicks, int sig)>;

    struct Deps {
        QString procRoot = QStringLiteral("/proc");
        uid_t user = 0;
        pid_t self = 0;
        // The windows asked to close by the polite quit (with none, a quit is a SIGTERM); empty:
        // this desktop's.
        std::shared_ptr<RunningApplications> windows;
        SendSignal send; // empty: the pidfd sender above
    };

    explicit ProcApplicationProcesses(Deps deps);
    // /proc, this process's real user and pid, the desktop's window list, real signals.
    static std::shared_ptr<ProcApplicationProcesses> forThisUser();

    QList<AppProcess> list() override;
    bool requestQuit(const AppProcess& process) override;
    bool forceQuit(const AppProcess& process) override;

    // The start time recorded in <root>/<pid>/stat, or none when the process is not there.
    static std::optional<quint64> startTicksOf(const QString& procRoot, qint64 pid);

private:
    Deps m_deps;
};
