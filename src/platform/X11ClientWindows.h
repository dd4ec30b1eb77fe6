#pragma once

#include "platform/RunningApplications.h"

#include <QList>
#include <QString>

// One managed top-level window as the window manager lists it (_NET_CLIENT_LIST), with the
// properties the running-applications list is built from. A plain value, so the grouping rules
// below can be checked without an X server.
struct X11ClientWindow {
    quint32 id = 0;
    qint64 pid = 0;    // _NET_WM_PID, else the owning client's pid; 0 when unknown
    QString className; // the class part of WM_CLASS ("Firefox", "Gimp")
    QString title;     // _NET_WM_NAME, often a document title ("report.txt – Editor")
    // The first standard _NET_WM_WINDOW_TYPE is NORMAL, or the window sets no standard type
    // (the EWMH default for a top-level window).
    bool normal = true;
    bool skipTaskbar = false; // _NET_WM_STATE holds _NET_WM_STATE_SKIP_TASKBAR
    // WM_CLIENT_MACHINE is unset or names this machine. A window of a remote client carries that
    // machine's pid, which means nothing here.
    bool local = true;
};

namespace x11clients {

// The application name a window stands for. The class of WM_CLASS comes first: it names the
// program the same way for every window, while _NET_WM_NAME changes with the open document.
// The title is the fallback for windows without a class. Either is made fit to show on one line
// (DisplayText::singleLine): a window may call itself anything. Empty when nothing is left.
QString applicationName(const X11ClientWindow& window);

// Groups windows into applications by pid, in the order each pid first appears. Windows with no
// pid, of a remote client, or of `ownPid` are left out. An application is named after its first
// window with a name, is regular when one of its windows is a normal window not kept off the
// task bar, and is active when it owns `activeWindow`. terminated is left for the caller.
QList<RunningApplication> group(const QList<X11ClientWindow>& windows, quint32 activeWindow,
                                qint64 ownPid);

// The name of the application owning `activeWindow` (grouped as above, so every window of that
// process gives the same name), or the window's own name when it has no usable pid. Empty when
// no window is active or it is not in `windows`. This process's own windows count: when the
// user is looking at this program, it is the frontmost one.
QString frontmostName(const QList<X11ClientWindow>& windows, quint32 activeWindow);

// The windows a polite quit of `pid` closes: its local normal windows on the task bar.
QList<quint32> windowsToClose(const QList<X11ClientWindow>& windows, qint64 pid);

// Whether a WM_CLIENT_MACHINE value names the machine `localHost`. Host names compare without
// case and without their domain part ("box.example.org" is "box").
bool isLocalMachine(const QString& clientMachine, const QString& localHost);

} // namespace x11clients
