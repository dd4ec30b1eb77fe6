#include "platform/SingleInstance.h"
#include "platform/NativePath.h"

#include "platform/HomeLayout.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString socketName = QStringLiteral("pendrel.sock");
const QString lockName = QStringLiteral("pendrel.lock");
// A message is one line: a link, or "reopen". Anything longer is not ours.
constexpr qint64 maxMessageBytes = 1024 * 1024;
// How long the running instance gives a connection to say its line.
constexpr int silentConnectionMs = 10000;

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

void pause(int ms) {
    ::usleep(useconds_t(ms) * 1000);
}

int remainingMs(const QDeadlineTimer& deadline) {
    const qint64 left = deadline.remainingTime();
    return left < 0 ? -1 : int(std::min<qint64>(left, INT_MAX));
}

// Waits until fd is ready for events (or has hung up) or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, remainingMs(deadline));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

bool address(const QByteArray& path, sockaddr_un* addr) {
    if (path.isEmpty() || path.size() > SingleInstance::maxSocketPathBytes)
        return false;
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    std::memcpy(addr->sun_path, path.constData(), size_t(path.size()));
    return true;
}

enum class Connect { Connected, NotListening, Busy, Unusable };

// One connection attempt. Busy: somebody listens but its queue is full right now.
Connect connectTo(const QByteArray& path, int* out) {
    sockaddr_un addr{};
    if (!address(path, &addr))
        return Connect::Unusable;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Connect::Unusable;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        *out = fd;
        return Connect::Connected;
    }
    const int error = errno;
    ::close(fd);
    // Refused: a socket file nobody listens on (or a non-socket at its place).
    if (error == ECONNREFUSED || error == ENOENT)
        return Connect::NotListening;
    if (error == EAGAIN)
        return Connect::Busy;
    return Connect::Unusable;
}

qint64 createdNs(const struct stat& st) {
    return qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
}

} // namespace

SingleInstance::SingleInstance(QStringList folders, QObject* parent)
    : SingleInstance(std::move(folders), ::geteuid(), parent) {}

SingleInstance::SingleInstance(QStringList folders, uid_t owner, QObject* parent)
    : QObject(parent), m_folders(std::move(folders)), m_owner(owner) {}

SingleInstance::~SingleInstance() {
    stopListening();
}

QStringList SingleInstance::defaultFolders() {
    QStringList folders;
    const QString runtime = HomeLayout::fromEnvironment().runtimeDir();
    if (!runtime.isEmpty())
        folders.append(runtime + QStringLiteral("/pendrel"));
    folders.append(QDir::tempPath() + QStringLiteral("/pendrel-%1").arg(::geteuid()));
    return folders;
}

QString SingleInstance::socketPathIn(const QString& folder) {
    return folder + QLatin1Char('/') + socketName;
}

bool SingleInstance::peerIsOwner(int socket, uid_t owner) {
    ucred cred{};
    socklen_t length = sizeof cred;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 &&
           length == sizeof cred && cred.uid == owner;
}

bool SingleInstance::prepareFolder(const QString& folder, QString* why) const {
    const QByteArray dir = NativePath::encode(folder);
    if (!dir.startsWith('/')) {
        *why = QStringLiteral("\"%1\" is not an absolute path").arg(folder);
        return false;
    }
    if (NativePath::encode(socketPathIn(folder)).size() > maxSocketPathBytes) {
        *why = QStringLiteral("a socket in %1 would be more than %2 bytes long")
                   .arg(folder)
                   .arg(maxSocketPathBytes);
        return false;
    }
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST) {
        *why = QStringLiteral("%1: %2").arg(folder, systemError(errno));
        return false;
    }
    // Opened without following a link, so the checks and the tightening apply to the folder
    // itself.
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        *why = QStringLiteral("%1 is not a folder (%2)").arg(folder, systemError(errno));
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && st.st_uid != m_owner) {
        *why = QStringLiteral("%1 belongs to another user").arg(folder);
        ok = false;
    } else if (ok && (st.st_mode & 077) != 0) {
        ok = ::fchmod(fd, 0700) == 0 && ::fstat(fd, &st) == 0 && (st.st_mode & 077) == 0;
        if (!ok)
            *why = QStringLiteral("%1 is open to other users").arg(folder);
    } else if (!ok) {
        *why = QStringLiteral("%1: %2").arg(folder, systemError(errno));
    }
    ::close(fd);
    return ok;
}

SingleInstance::Attempt SingleInstance::deliver(const QByteArray& socketPath,
                                                const QByteArray& line,
                                                const QDeadlineTimer& deadline) const {
    int fd = -1;
    for (;;) {
        const Connect c = connectTo(socketPath, &fd);
        if (c == Connect::Connected)
            break;
        if (c == Connect::NotListening)
            return Attempt::NotListening;
        if (c == Connect::Unusable)
            return Attempt::Unusable;
        if (deadline.hasExpired())
            return Attempt::TimedOut;
        pause(5); // its queue is full: it is there, and busy
    }
    auto done = [fd](Attempt attempt) {
        ::close(fd);
        return attempt;
    };
    // Only a process of this user gets the message.
    if (!peerIsOwner(fd, m_owner))
        return done(Attempt::Unusable);

    for (qsizetype sent = 0; sent < line.size();) {
        const ssize_t n =
            ::send(fd, line.constData() + sent, size_t(line.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EAGAIN) {
            if (!waitFor(fd, POLLOUT, deadline))
                return done(Attempt::TimedOut);
        } else if (n < 0 && errno != EINTR) {
            return done(Attempt::Retry); // it went away
        }
    }
    // The instance answers once it has read the line, which may be after it has finished
    // starting up.
    QByteArray answer;
    while (!answer.contains('\n')) {
        char buffer[64];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            answer.append(buffer, n);
            if (answer.size() > 256)
                return done(Attempt::Unusable);
        } else if (n == 0) {
            return done(Attempt::Retry); // closed without an answer
        } else if (errno == EAGAIN) {
            if (!waitFor(fd, POLLIN, deadline))
                return done(Attempt::TimedOut);
        } else if (errno != EINTR) {
            return done(Attempt::Retry);
        }
    }
    return done(answer.left(answer.indexOf('\n')).trimmed() == "ok" ? Attempt::Delivered
                                                                    : Attempt::Unusable);
}

SingleInstance::Attempt
SingleInstance::becomePrimary(const QString& folder, const QDeadlineTimer& deadline, QString* why) {
    const QByteArray path = NativePath::encode(socketPathIn(folder));
    const QByteArray lockPath = NativePath::encode(folder + QLatin1Char('/') + lockName);
    const int lockFd =
        ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (lockFd < 0) {
        *why = QStringLiteral("%1: %2").arg(NativePath::decode(lockPath), systemError(errno));
        return Attempt::Unusable;
    }
    // Held only for the decision below, never across a wait for another process, so polling
    // for it is short even when many launches start together; the kernel drops it if its
    // holder dies.
    while (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            *why = QStringLiteral("%1: %2").arg(NativePath::decode(lockPath), systemError(errno));
            ::close(lockFd);
            return Attempt::Unusable;
        }
        if (deadline.hasExpired()) {
            ::close(lockFd);
            return Attempt::TimedOut;
        }
        pause(1);
    }
    auto give = [lockFd](Attempt attempt) {
        ::flock(lockFd, LOCK_UN);
        ::close(lockFd);
        return attempt;
    };

    // Another launch may have become the instance while this one waited.
    int probe = -1;
    switch (connectTo(path, &probe)) {
    case Connect::Connected:
        ::close(probe);
        return give(Attempt::Listening);
    case Connect::Busy:
        return give(Attempt::Listening);
    case Connect::Unusable:
        *why = QStringLiteral("%1 cannot hold a socket").arg(folder);
        return give(Attempt::Unusable);
    case Connect::NotListening:
        break;
    }
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0) {
        // Only a socket left by an instance that is gone may be removed; a folder or a file in
        // its place is somebody's, and this folder is then not used.
        if (!S_ISSOCK(st.st_mode)) {
            *why = QStringLiteral("%1 is not a socket").arg(NativePath::decode(path));
            return give(Attempt::Unusable);
        }
        ::unlink(path.constData());
    }
    sockaddr_un addr{};
    address(path, &addr);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::chmod(path.constData(), 0600) != 0 || ::listen(fd, SOMAXCONN) != 0 ||
        ::lstat(path.constData(), &st) != 0) {
        *why = QStringLiteral("%1: %2").arg(NativePath::decode(path), systemError(errno));
        if (fd >= 0)
            ::close(fd);
        return give(Attempt::Unusable);
    }
    m_socketInode = st.st_ino;
    m_socketCreatedNs = createdNs(st);
    m_listenFd = fd;
    ::flock(lockFd, LOCK_UN);
    m_lockFd = lockFd; // kept to remove the socket under the lock when leaving
    m_socketPath = NativePath::decode(path);
    return Attempt::BecamePrimary;
}

SingleInstance::Result SingleInstance::start(const QString& message, int timeoutMs) {
    stopListening();
    m_error.clear();
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    QByteArray line = message.toUtf8();
    // One line on the wire; a link never holds a raw line break, so one is sent encoded.
    line.replace('\r', "%0D").replace('\n', "%0A").append('\n');

    QStringList passedOver;
    for (const QString& folder : std::as_const(m_folders)) {
        QString why;
        if (!prepareFolder(folder, &why)) {
            passedOver.append(why);
            continue;
        }
        const QByteArray path = NativePath::encode(socketPathIn(folder));
        int retryPauseMs = 5;
        bool usable = true;
        while (usable) {
            Attempt attempt = deliver(path, line, deadline);
            if (attempt == Attempt::NotListening)
                attempt = becomePrimary(folder, deadline, &why);
            switch (attempt) {
            case Attempt::Delivered:
                return Result::HandedOver;
            case Attempt::BecamePrimary:
                if (QCoreApplication::instance() &&
                    QThread::currentThread() == QCoreApplication::instance()->thread())
                    acceptMessages();
                return Result::Primary;
            case Attempt::Listening:
                break; // deliver to the one that got there first
            case Attempt::Retry:
                if (deadline.hasExpired()) {
                    m_error = QStringLiteral("Pendrel is already running but did not answer.");
                    return Result::Failed;
                }
                pause(retryPauseMs);
                retryPauseMs = std::min(retryPauseMs * 2, 100);
                break;
            case Attempt::TimedOut:
                m_error = QStringLiteral("Pendrel is already running but did not answer.");
                return Result::Failed;
            case Attempt::NotListening:
            case Attempt::Unusable:
                passedOver.append(why.isEmpty() ? QStringLiteral("%1 cannot be used").arg(folder)
                                                : why);
                usable = false;
                break;
            }
        }
    }
    m_error = QStringLiteral("no private folder could hold the single-instance socket (%1); "
                             "running without one")
                  .arg(passedOver.join(QStringLiteral("; ")));
    return Result::Primary;
}

void SingleInstance::acceptMessages() {
    if (m_listenFd < 0 || m_notifier)
        return;
    m_notifier = new QSocketNotifier(qintptr(m_listenFd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptPending);
    // What the exit still does (services ending their work) may take a while; a launch meanwhile
    // must not be left waiting on a process that no longer reads.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &SingleInstance::stopListening,
                Qt::UniqueConnection);
    // Launches may have queued up before the event loop ran.
    acceptPending();
}

void SingleInstance::acceptPending() {
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return; // none left (or out of descriptors: the notifier calls again)
        }
        if (!peerIsOwner(fd, m_owner)) {
            ::close(fd);
            continue;
        }
        auto* socket = new QLocalSocket(this);
        if (!socket->setSocketDescriptor(fd, QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
            ::close(fd);
            delete socket;
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(silentConnectionMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        // One line per connection; the answer says it was taken.
        auto process = [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maxMessageBytes)
                    socket->abort();
                return;
            }
            disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
            const QString message = QString::fromUtf8(socket->readLine()).trimmed();
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            emit messageReceived(message);
        };
        connect(socket, &QLocalSocket::readyRead, this, process);
        // The line may have arrived with the connection, before readyRead was connected.
        process();
    }
}

void SingleInstance::stopListening() {
    delete m_notifier;
    m_notifier = nullptr;
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
    if (m_lockFd >= 0) {
        // Remove the socket file if it is still ours: a launch that found it dead may already
        // have put its own in its place.
        const QByteArray path = NativePath::encode(m_socketPath);
        const QDeadlineTimer wait(1000);
        bool locked = false;
        while (!(locked = ::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) && !wait.hasExpired())
            pause(1);
        struct stat st {};
        if (locked && ::lstat(path.constData(), &st) == 0 && S_ISSOCK(st.st_mode) &&
            st.st_ino == m_socketInode && createdNs(st) == m_socketCreatedNs)
            ::unlink(path.constData());
        ::flock(m_lockFd, LOCK_UN);
        ::close(m_lockFd);
        m_lockFd = -1;
    }
    m_socketPath.clear();
}
