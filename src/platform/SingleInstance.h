#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <sys/types.h>

class QSocketNotifier;

// Keeps one running app per user. The first launch listens on a local socket; a later launch
// hands its message (a pendrel:// URL, or "reopen") to it and exits.
//
// Every launch ends one of two ways: its message was taken by the running instance (which
// answers only once it has read it), or it is the running instance. A launch that reaches an
// instance still starting up waits for its answer; one whose instance goes away before
// answering starts over, and may become the instance itself. Becoming the instance is decided
// under a lock held only for that decision, so two launches at the same moment never both
// become it.
//
// The socket lives in a folder only this user can enter: the first usable one of the folders
// given, each created 0700 when missing, and used only when it is a real folder owned by this
// user with no access for anyone else (its mode is tightened when it is ours). A folder is
// passed over when the socket's path would not fit a socket address (more than 107 bytes) or
// when something other than a socket (a folder, a file) sits at the socket's place. Both ends
// check that the other is a process of this user (the kernel's peer credentials); nothing is
// sent to, or taken from, anyone else. When no folder is usable the app still starts, alone.
//
// The primary stops listening as soon as its application starts quitting (aboutToQuit): from then
// on a launch finds nobody there and becomes the instance itself, instead of handing its message
// to a process that will never read it. A launch that reaches an instance which does not answer
// gives up after its time-out and says so (Failed), rather than hanging.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Result {
        Primary,    // this process is the running instance (listening, unless socketPath() is
                    // empty: then no folder was usable and it runs without taking messages)
        HandedOver, // the running instance took the message; this process should exit 0
        Failed,     // an instance of this user is running but did not answer in time
    };

    // Long enough for an instance still building its first window or answering a storm of
    // launches on a loaded machine. An instance that has begun quitting no longer listens, so a
    // launch never waits this long on one that is on its way out.
    static constexpr int defaultTimeoutMs = 30000;
    static constexpr int maxSocketPathBytes = 107;

    // The socket's folders in order of preference. owner is the user the folders and the peers
    // must belong to (this process's user, except in tests).
    explicit SingleInstance(QStringList folders, QObject* parent = nullptr);
    SingleInstance(QStringList folders, uid_t owner, QObject* parent = nullptr);
    ~SingleInstance() override;

    // "$XDG_RUNTIME_DIR/pendrel", then the short "<temp folder>/pendrel-<uid>" (TMPDIR, else
    // /tmp) for when the first cannot hold a socket.
    static QStringList defaultFolders();
    static QString socketPathIn(const QString& folder);

    // Decides, within timeoutMs for a running instance to answer. Does not need the Qt event
    // loop; delivering messages in the primary does (see acceptMessages()).
    Result start(const QString& message, int timeoutMs = defaultTimeoutMs);
    // After Primary: why no socket could be used, if none could; after Failed: why.
    QString errorString() const { return m_error; }
    // The socket this instance listens on; empty unless start() gave Primary with a socket.
    QString socketPath() const { return m_socketPath; }

    // In the primary, starts taking messages on the Qt event loop of the calling thread, until
    // the application starts quitting. start() does this itself when a QCoreApplication exists.
    void acceptMessages();
    // Stops taking messages and gives up the socket (removing it when it is still ours).
    void stopListening();

    // True when the process at the other end of a connected local socket runs as owner.
    static bool peerIsOwner(int socket, uid_t owner);

signals:
    // In the primary instance, for every message a later launch handed over.
    void messageReceived(const QString& message);

private:
    enum class Attempt {
        Delivered,     // the instance answered that it took the message
        BecamePrimary, // nobody listened; this process now does
        Listening,     // somebody listens after all: deliver to it
        NotListening,  // nobody listens at the socket
        Retry,         // the instance went away before answering
        Unusable,      // this folder cannot hold our socket
        TimedOut,
    };

    bool prepareFolder(const QString& folder, QString* why) const;
    Attempt deliver(const QByteArray& socketPath, const QByteArray& line,
                    const QDeadlineTimer& deadline) const;
    Attempt becomePrimary(const QString& folder, const QDeadlineTimer& deadline, QString* why);
    void acceptPending();

    QStringList m_folders;
    uid_t m_owner;
    QString m_error;
    QString m_socketPath;
    int m_listenFd = -1;
    int m_lockFd = -1;
    // Which socket file is ours, so leaving never removes one a newer instance made.
    ino_t m_socketInode = 0;
    qint64 m_socketCreatedNs = 0;
    QSocketNotifier* m_notifier = nullptr;
};
