#include "platform/ProcessRestarter.h"

#include "platform/KernelFiles.h"

#include <csignal>
#include <QFileInfo>
#include <unistd.h>

namespace {

// The real user id from the "Uid:" line of a status file, or none.
std::optional<uid_t> realUser(const QByteArray& status) {
    for (const QByteArray& line : status.split('\n')) {
        if (!line.startsWith("Uid:"))
            continue;
        const QList<QByteArray> fields = line.mid(4).simplified().split(' ');
        bool ok = false;
        const qulonglong uid = fields.value(0).toULongLong(&ok);
        if (ok)
            return uid_t(uid);
    }
    return std::nullopt;
}

constexpr qsizetype kCommNameBytes = 15;

} // namespace

SignalProcessRestarter::SignalProcessRestarter(QString procRoot, uid_t user, pid_t self,
                                               SendSignal sendSignal)
    : m_procRoot(std::move(procRoot)), m_user(user), m_self(self), m_send(std::move(sendSignal)) {
    if (!m_send)
        m_send = [](pid_t pid, int sig) { return ::kill(pid, sig); };
}

SignalProcessRestarter SignalProcessRestarter::forThisUser() {
    return SignalProcessRestarter(QStringLiteral("/proc"), ::getuid(), ::getpid());
}

int SignalProcessRestarter::restart(const QString& processName) {
    const QByteArray wanted = processName.toUtf8();
    if (wanted.isEmpty())
        return 0;
    int asked = 0;
    for (const QString& entry : KernelFiles::listDir(m_procRoot)) {
        bool ok = false;
        const qlonglong pid = entry.toLongLong(&ok);
        if (!ok || pid <= 0 || pid == m_self)
            continue;
        const QString dir = m_procRoot + QLatin1Char('/') + entry;
        const std::optional<QByteArray> status = KernelFiles::read(dir + QStringLiteral("/status"));
        if (!status || realUser(*status) != m_user)
            continue;
        const QByteArray comm =
            KernelFiles::readLine(dir + QStringLiteral("/comm")).value_or(QByteArray());
        bool matches = false;
        if (wanted.size() <= kCommNameBytes) {
            matches = comm == wanted;
        } else if (comm == wanted.left(kCommNameBytes)) {
            // The kernel cut the name; the command line tells the whole one.
            const QByteArray cmdline =
                KernelFiles::read(dir + QStringLiteral("/cmdline")).value_or(QByteArray());
            const QByteArray first = cmdline.left(cmdline.indexOf('\0'));
            matches = first.mid(first.lastIndexOf('/') + 1) == wanted;
        }
        if (matches && m_send(pid_t(pid), SIGTERM) == 0)
            ++asked;
    }
    return asked;
}
