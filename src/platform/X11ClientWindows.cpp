#include "platform/X11ClientWindows.h"

#include "platform/DisplayText.h"

#include <QHash>

namespace x11clients {

QString applicationName(const X11ClientWindow& window) {
    const QString className = DisplayText::singleLine(window.className);
    if (!className.isEmpty())
        return className;
    return DisplayText::singleLine(window.title);
}

static bool isUsable(const X11ClientWindow& window) {
    return window.pid > 0 && window.local;
}

QList<RunningApplication> group(const QList<X11ClientWindow>& windows, quint32 activeWindow,
                                qint64 ownPid) {
    QList<RunningApplication> apps;
    QHash<qint64, qsizetype> indexByPid;
    for (const X11ClientWindow& window : windows) {
        if (!isUsable(window) || window.pid == ownPid)
            continue;
        auto found = indexByPid.constFind(window.pid);
        if (found == indexByPid.constEnd()) {
            RunningApplication app;
            app.pid = window.pid;
            apps.append(app);
            found = indexByPid.insert(window.pid, apps.size() - 1);
        }
        RunningApplication& app = apps[*found];
        if (app.localizedName.isEmpty())
            app.localizedName = applicationName(window);
        if (window.normal && !window.skipTaskbar)
            app.regular = true;
        if (activeWindow != 0 && window.id == activeWindow)
            app.active = true;
    }
    return apps;
}

QString frontmostName(const QList<X11ClientWindow>& windows, quint32 activeWindow) {
    if (activeWindow == 0)
        return {};
    for (const X11ClientWindow& window : windows) {
        if (window.id != activeWindow)
            continue;
        if (!isUsable(window))
            return applicationName(window);
        for (const X11ClientWindow& sibling : windows) {
            if (sibling.pid == window.pid && sibling.local) {
                const QString name = applicationName(sibling);
                if (!name.isEmpty())
                    return name;
            }
        }
        return {};
    }
    return {};
}

QList<quint32> windowsToClose(const QList<X11ClientWindow>& windows, qint64 pid) {
    QList<quint32> ids;
    if (pid <= 0)
        return ids;
    for (const X11ClientWindow& window : windows) {
        if (window.pid == pid && window.local && window.normal && !window.skipTaskbar)
            ids.append(window.id);
    }
    return ids;
}

static QString shortHostName(const QString& host) {
    return host.trimmed().section(QLatin1Char('.'), 0, 0).toLower();
}

bool isLocalMachine(const QString& clientMachine, const QString& localHost) {
    const QString client = shortHostName(clientMachine);
    return !client.isEmpty() && client == shortHostName(localHost);
}

} // namespace x11clients
