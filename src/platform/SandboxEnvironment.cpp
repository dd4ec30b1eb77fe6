#include "platform/SandboxEnvironment.h"
#include "platform/NativePath.h"

#include <QDir>
#include <QFile>

SandboxEnvironment::SandboxEnvironment()
    : m_dir(QDir::tempPath() + QStringLiteral("/pendrel-sandbox-XXXXXX")),
      m_originalHome(qEnvironmentVariable("HOME")) {
    if (!m_dir.isValid())
        return;
    const QString h = home();
    const struct {
        const char* name;
        QString path;
    } vars[] = {
        {"HOME", h},
        {"XDG_CONFIG_HOME", h + QStringLiteral("/.config")},
        {"XDG_DATA_HOME", h + QStringLiteral("/.local/share")},
        {"XDG_CACHE_HOME", h + QStringLiteral("/.cache")},
        {"XDG_STATE_HOME", h + QStringLiteral("/.local/state")},
        {"XDG_RUNTIME_DIR", root() + QStringLiteral("/run")},
    };
    for (const auto& v : vars) {
        QDir().mkpath(v.path);
        qputenv(v.name, NativePath::encode(v.path));
    }
    QFile::setPermissions(root() + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Lists of folders are searched as well as the home ones; keep them off the user's.
    qputenv("XDG_DATA_DIRS", NativePath::encode(root() + QStringLiteral("/share")));
    qputenv("XDG_CONFIG_DIRS", NativePath::encode(root() + QStringLiteral("/etc-xdg")));
    // No session bus: nothing may reach the user's desktop services (notifications, keyring).
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/pendrel-sandbox-bus");
}
