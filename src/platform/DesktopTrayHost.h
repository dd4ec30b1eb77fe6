#pragma once

#include "platform/TrayHost.h"

#include <functional>
#include <QTimer>

class QDBusMessage;
class QDBusServiceWatcher;

// The desktop's tray as the session sees it: a status-notifier host registered with
// org.kde.StatusNotifierWatcher on the session bus (followed through the watcher's signals,
// read asynchronously, so a stalled bus never blocks the window), or an owner of the XEmbed tray
// selection (looked at every pollMs, a single X round trip).
//
// It never asks QSystemTrayIcon itself: Qt settles once per process whether to use a
// status-notifier host, at its first question, so the icon must only be made once a host is
// there to find.
class DesktopTrayHost : public TrayHost {
    Q_OBJECT
public:
    struct Options {
        int pollMs = 2000;
        // Stand-ins for the X selection check (tests); empty means the real one.
        std::function<bool()> xembedTray;
        bool useSessionBus = true;
    };

    explicit DesktopTrayHost(QObject* parent = nullptr);
    DesktopTrayHost(Options options, QObject* parent = nullptr);

    bool isAvailable() const override { return m_statusNotifierHost || m_xembedTray; }

private:
    static constexpr int kLaunchQueryMs = 1000;
    static constexpr int kQueryTimeoutMs = 5000;

    static QDBusMessage hostQuery();
    void watchStatusNotifierHost();
    Q_SLOT void readStatusNotifierHost();
    void pollXembed();
    void setParts(bool statusNotifierHost, bool xembedTray);

    Options m_options;
    bool m_statusNotifierHost = false;
    bool m_xembedTray = false;
    QTimer m_poll;
    QDBusServiceWatcher* m_watcher = nullptr;
};
