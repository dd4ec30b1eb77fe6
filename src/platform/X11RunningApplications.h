#pragma once

#include "platform/RunningApplications.h"
#include "platform/X11ClientWindows.h"

#include <memory>
#include <optional>
#include <QByteArray>
#include <QString>

// Running applications on an X11 desktop, read from the window manager's EWMH client list.
//
// - Each managed window (_NET_CLIENT_LIST on the root window) is attributed to a process by its
//   _NET_WM_PID; windows of one pid form one application, in the order the list first shows
//   them (the order the windows were mapped, oldest first). A window that does not say (many
//   older toolkits never set _NET_WM_PID) is attributed through the X Resource extension
//   (XResQueryClientIds, version 1.2), which names the process of the connection that made the
//   window, as the server saw it connect. That answer is used only when the server names this
//   process correctly for its own connection: a server on another machine, or in another pid
//   namespace, would name processes that are not ours. Windows still without a pid, of remote
//   clients (WM_CLIENT_MACHINE naming another host) and of this process are left out.
// - The name is WM_CLASS's class ("Firefox", "Gimp"), which names the program alike for every
//   window and matches how desktop files and the task bar name it; _NET_WM_NAME is only the
//   fallback, because it usually carries the open document ("report.txt – Editor").
// - Regular means the application has a normal window on the task bar (no
//   _NET_WM_STATE_SKIP_TASKBAR); active means it owns _NET_ACTIVE_WINDOW, whose owner is also
//   the frontmost application.
// - terminated is always false: the X server drops a client's windows the moment its connection
//   closes, so a listed application is running.
// - The polite quit sends _NET_CLOSE_WINDOW for each of the application's normal windows, as a
//   pager would for the user; the window manager passes it on as WM_DELETE_WINDOW, so the
//   application may still ask about unsaved work. Nothing is ever killed.
//
// The connection is opened on first use and reopened after the server goes away. With no X
// display (offscreen, Wayland without XWayland) every list is empty and requestQuit is false.
class X11RunningApplications final : public RunningApplications {
public:
    struct Deps {
        QByteArray display; // empty: $DISPLAY
        qint64 ownPid = 0;  // 0: this process
        QString hostName;   // empty: this machine's host name
    };

    X11RunningApplications();
    explicit X11RunningApplications(Deps deps);
    ~X11RunningApplications() override;

    QList<RunningApplication> applications() override;
    QString frontmostApplicationName() override;
    bool requestQuit(const RunningApplication& application) override;

private:
    struct ClientList {
        QList<X11ClientWindow> windows;
        quint32 activeWindow = 0;
    };
    struct Connection;

    // None when no display can be reached.
    std::optional<ClientList> readClientList();
    // Fills in the pid of windows that do not carry _NET_WM_PID, where the server can tell it.
    void attributeByClient(Connection& conn, QList<X11ClientWindow>& windows) const;
    Connection* connection();

    Deps m_deps;
    std::unique_ptr<Connection> m_connection;
};
