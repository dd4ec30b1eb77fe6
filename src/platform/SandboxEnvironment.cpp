#include "platform/SandboxEnvironment.h"
#include "platform/MountRoot.h"
#include "platform/NativePath.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Removes everything in the folder open as fd. An entry is unlinked where it stands, so a link
// goes as a link; a folder is entered only through openat(O_NOFOLLOW), and only when it is of the
// same file system and no mount root, so nothing outside the tree is ever reached.
void emptyFolder(int fd, dev_t device) {
    const int listed = ::dup(fd);
    DIR* dir = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        return;
    }
    while (const dirent* d = ::readdir(dir)) {
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        if (::unlinkat(fd, name, 0) == 0 || (errno != EISDIR && errno != EPERM))
            continue;
        const int child = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0)
            continue;
        struct stat st {};
        if (::fstat(child, &st) == 0 && st.st_dev == device && !MountRoot::isOpened(child, fd)) {
            // A test may leave a folder read-only; its owner could still empty it.
            if ((st.st_mode & S_IRWXU) != S_IRWXU)
                ::fchmod(child, st.st_mode | S_IRWXU);
            emptyFolder(child, device);
        }
        ::close(child);
        ::unlinkat(fd, name, AT_REMOVEDIR);
    }
    ::closedir(dir);
}

} // namespace

SandboxEnvironment::SandboxEnvironment()
    : SandboxEnvironment(QDir::tempPath() + QStringLiteral("/pendrel-sandbox-XXXXXX"),
                         Name::Random) {}

SandboxEnvironment::SandboxEnvironment(const QString& path, Name name)
    : m_originalHome(qEnvironmentVariable("HOME")) {
    QByteArray bytes = NativePath::encode(QDir::cleanPath(path));
    if (name == Name::Random) {
        if (!::mkdtemp(bytes.data()))
            return;
    } else if (::mkdir(bytes.constData(), 0700) != 0) {
        m_taken = errno == EEXIST;
        return;
    }
    m_root = NativePath::decode(bytes);
    m_fd = ::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    pointAtRoot();
}

SandboxEnvironment::~SandboxEnvironment() {
    if (m_fd < 0)
        return;
    if (!m_keep)
        removeMade();
    ::close(m_fd);
}

// Empties the folder made, through the descriptor opened when it was made, then unlinks its name
// only while the name still stands for that folder.
void SandboxEnvironment::removeMade() {
    struct stat made {};
    if (::fstat(m_fd, &made) != 0)
        return;
    ::fchmod(m_fd, S_IRWXU);
    emptyFolder(m_fd, made.st_dev);
    const QByteArray path = NativePath::encode(m_root);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray parentPath = slash <= 0 ? QByteArray("/") : path.left(slash);
    const QByteArray name = path.mid(slash + 1);
    const int parent = ::open(parentPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return;
    struct stat named {};
    if (::fstatat(parent, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == made.st_dev && named.st_ino == made.st_ino)
        ::unlinkat(parent, name.constData(), AT_REMOVEDIR);
    ::close(parent);
}

void SandboxEnvironment::pointAtRoot() {
    if (!isValid())
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
