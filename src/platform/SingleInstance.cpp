#include "platform/SingleInstance.h"

#include "platform/HomeLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), m_path(std::move(socketPath)) {}

SingleInstance::~SingleInstance() {
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultSocketPath() {
    const HomeLayout layout = HomeLayout::fromEnvironment();
    const QString dir = layout.runtimeDir().isEmpty()
                            ? layout.cacheHome() + QStringLiteral("/Pendrel")
                            : layout.runtimeDir();
    return dir + QStringLiteral("/pendrel.sock");
}

bool SingleInstance::sendToRunning(const QString& message, int timeoutMs, bool* answered) {
    *answered = false;
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(message.toUtf8() + '\n');
    // False here can also mean "already written": the answer below is what counts.
    socket.waitForBytesWritten(timeoutMs);
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return true;
    }
    *answered = socket.readLine().trimmed() == "ok";
    return true;
}

SingleInstance::Result SingleInstance::start(const QString& message, int timeoutMs) {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(timeoutMs)) {
        m_error = QStringLiteral("Another launch of Pendrel is starting.");
        return Result::Failed;
    }
    bool answered = false;
    if (sendToRunning(message, timeoutMs, &answered)) {
        if (answered)
            return Result::HandedOver;
        m_error = QStringLiteral("Pendrel is already running but did not answer.");
        return Result::Failed;
    }
    // Nobody listens: a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(m_path);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_path)) {
        m_error = m_server->errorString();
        m_server.reset();
        return Result::Failed;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return Result::Primary;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // One line per connection; anything longer than a URL is not ours.
        auto process = [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 64 * 1024)
                    socket->abort();
                return;
            }
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
