#pragma once

#include <functional>
#include <QString>
#include <sys/types.h>

// Asks the user's own processes of one name to end, so that whatever keeps them running starts
// them afresh with changed settings. The answer is not awaited and nothing is forced.
class ProcessRestarter {
public:
    virtual ~ProcessRestarter() = default;
    // Returns how many processes were asked; 0 when none of that name runs.
    virtual int restart(const QString& processName) = 0;
};

// SIGTERM to every process under the process root whose real user is this user and whose name
// matches: the kernel's command name (at most 15 bytes, so a longer name is compared on its
// first 15), or, for a longer name, the file name of the first command-line word. Never this
// process itself.
class SignalProcessRestarter final : public ProcessRestarter {
public:
    using SendSignal = std::function<int(pid_t, int)>;

    // procRoot "/proc" on a live system; sendSignal ::kill unless a caller hands in its own.
    SignalProcessRestarter(QString procRoot, uid_t user, pid_t self, SendSignal sendSignal = {});
    // For this process: /proc, its real user, its own pid, ::kill.
    static SignalProcessRestarter forThisUser();

    int restart(const QString& processName) override;

private:
    QString m_procRoot;
    uid_t m_user;
    pid_t m_self;
    SendSignal m_send;
};
