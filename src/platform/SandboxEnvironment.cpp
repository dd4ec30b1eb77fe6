#include "platform/SandboxEnvironment.h"
#include "platform/NativePath.h"

#include <QDir>
#include <QFile>

SandboxEnvironment::SandboxEnvironment()
    : m_random(std::in_place, QDir::tempPath() + QStringLiteral("/pendrel-sandbox-XXXXXX")),
      m_root(m_random->path()), m_valid(m_random->isValid()),
      m_originalHome(qEnvironmentVariable("HOME")) {
    pointAtRoot();
}

SandboxEnvironment::SandboxEnvironment(const QString& root)
    : m_root(QDir::cleanPath(root)), m_originalHome(qEnvironmentVariable("HOME")) {
    QDir(m_root).removeRecursively();
    m_valid = !QDir(m_root).exists() && QDir().mkpath(m_root);
    pointAtRoot();
}

SandboxEnvironment::~SandboxEnvironment() {
    if (m_random)
        m_random->setAutoRemove(!m_keep);
    else if (m_valid && !m_keep)
        QDir(m_root).removeRecursively();
}

void SandboxEnvironment::pointAtRoot() {
    if (!m_valid)
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
