#pragma once

#include <memory>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// Keeps one running app per user. The first launch listens on a local socket; a later launch
// hands its message (a pendrel:// URL, or "reopen") to it and exits.
//
// The decision "is someone listening, else listen" is made under a lock file, so two launches
// at the same moment cannot both become the primary instance.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Result {
        Primary,    // nobody else was running; this process now listens
        HandedOver, // a running instance took the message; this process should exit 0
        Failed,     // another instance exists but did not answer, or listening failed
    };

    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/pendrel.sock, or, without a runtime folder, under the cache home.
    static QString defaultSocketPath();

    Result start(const QString& message, int timeoutMs = 3000);
    QString errorString() const { return m_error; }

signals:
    // In the primary instance, for every message a later launch handed over.
    void messageReceived(const QString& message);

private:
    bool sendToRunning(const QString& message, int timeoutMs, bool* answered);
    void acceptConnections();

    QString m_path;
    QString m_error;
    std::unique_ptr<QLocalServer> m_server;
};
