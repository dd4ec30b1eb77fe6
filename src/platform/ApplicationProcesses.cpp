#include "platform/ApplicationProcesses.h"

#include "platform/AppBundle.h"
#include "platform/KernelFiles.h"
#include "platform/ProcFs.h"
#include "platform/RunningApplications.h"

#include <cerrno>
#include <csignal>
#include <QFile>
#include <QHash>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

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

// The parent pid: the second field after the command name.
qint64 parentOf(const QByteArray& stat) {
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    bool ok = false;
    const qint64 parent = fields.value(1).toLongLong(&ok);
    return ok ? parent : 0;
}

// The program of a process: its exe link, without the note the kernel adds once the file has
// been replaced or removed.
QString programOf(const QString& processDir) {
    QString target = QFile::symLinkTarget(processDir + QStringLiteral("/exe"));
    if (target.endsWith(QLatin1String(" (deleted)")))
        target.chop(10);
    return target;
}

bool sendThroughPidfd(const QString& procRoot, qint64 pid, quint64 startTicks, int sig) {
#if defined(SYS_pidfd_open) && defined(SYS_pidfd_send_signal)
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (fd >= 0) {
        // The descriptor pins the process: if the start time still matches now, the signal
        // reaches the process that was listed, whatever happens to the pid later.
        bool sent = false;
        if (ProcApplicationProcesses::startTicksOf(procRoot, pid) == startTicks)
            sent = ::syscall(SYS_pidfd_send_signal, fd, sig, nullptr, 0) == 0;
        ::close(fd);
        return sent;
    }
    if (errno != ENOSYS)
        return false; // gone, or not ours to signal
#endif
    // A kernel without pidfds: check, then signal, leaving only the shortest window.
    if (ProcApplicationProcesses::startTicksOf(procRoot, pid) != startTicks)
        return false;
    return ::kill(pid_t(pid), sig) == 0;
}

} // namespace

ProcApplicationProcesses::ProcApplicationProcesses(Deps deps) : m_deps(std::move(deps)) {
    if (!m_deps.windows)
        m_deps.windows = RunningApplications::system();
    if (!m_deps.send) {
        const QString root = m_deps.procRoot;
        m_deps.send = [root](qint64 pid, quint64 start, int sig) {
            return sendThroughPidfd(root, pid, start, sig);
        };
    }
}

std::shared_ptr<ProcApplicationProcesses> ProcApplicationProcesses::forThisUser() {
    Deps deps;
    deps.user = ::getuid();
    deps.self = ::getpid();
    return std::make_shared<ProcApplicationProcesses>(std::move(deps));
}

std::optional<quint64> ProcApplicationProcesses::startTicksOf(const QString& procRoot, qint64 pid) {
    const std::optional<QByteArray> stat = KernelFiles::read(
        procRoot + QLatin1Char('/') + QString::number(pid) + QStringLiteral("/stat"));
    if (!stat)
        return std::nullopt;
    const std::optional<ProcFs::ProcessRow> row = ProcFs::parseStatLine(stat->trimmed());
    if (!row || row->pid != pid)
        return std::nullopt;
    return row->startTicks;
}

QList<AppProcess> ProcApplicationProcesses::list() {
    QList<AppProcess> out;
    QHash<QString, QString> identifiers; // bundle path → identifier, read once per listing
    for (const QString& entry : KernelFiles::listDir(m_deps.procRoot)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || pid <= 0 || pid == m_deps.self)
            continue;
        const QString dir = m_deps.procRoot + QLatin1Char('/') + entry;
        const std::optional<QByteArray> status = KernelFiles::read(dir + QStringLiteral("/status"));
        if (!status || realUser(*status) != m_deps.user)
            continue;
        const QString program = programOf(dir);
        if (program.isEmpty())
            continue; // a kernel thread, a zombie, or not ours to look into
        const QString bundle = AppBundle::enclosingBundle(program);
        if (bundle.isEmpty())
            continue;
        const std::optional<QByteArray> stat = KernelFiles::read(dir + QStringLiteral("/stat"));
        if (!stat)
            continue;
        const std::optional<ProcFs::ProcessRow> row = ProcFs::parseStatLine(stat->trimmed());
        if (!row || row->pid != pid)
            continue;
        auto known = identifiers.constFind(bundle);
        if (known == identifiers.cend())
            known = identifiers.insert(bundle, AppBundle::identifier(bundle).value_or(QString()));
        AppProcess process;
        process.pid = pid;
        process.parentPid = parentOf(*stat);
        process.startTicks = row->startTicks;
        process.bundlePath = bundle;
        process.bundleIdentifier = known.value();
        out.append(process);
    }
    return out;
}

bool ProcApplicationProcesses::requestQuit(const AppProcess& process) {
    if (process.pid <= 0 || process.pid == m_deps.self)
        return false;
    if (startTicksOf(m_deps.procRoot, process.pid) != process.startTicks)
        return false;
    for (const RunningApplication& app : m_deps.windows->applications()) {
        if (app.pid == process.pid && m_deps.windows->requestQuit(app))
            return true;
    }
    return m_deps.send(process.pid, process.startTicks, SIGTERM);
}

bool ProcApplicationProcesses::forceQuit(const AppProcess& process) {
    if (process.pid <= 0 || process.pid == m_deps.self)
        return false;
    return m_deps.send(process.pid, process.startTicks, SIGKILL);
}
