#pragma once

#include <QByteArray>
#include <QString>

// Folders reached through descriptors rather than by path, for moves that must not be carried
// elsewhere by a link planted after the checks: once a folder is open, what lies below it is
// reached by name from that descriptor, each step refusing a link.
namespace FolderAt {

// A descriptor closed when it goes out of scope; moving it hands the descriptor over.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Fd& operator=(Fd&& other) noexcept;
    int get() const { return m_fd; }
    // Gives the descriptor up to the caller, who closes it; this one then holds none.
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd;
};

// A folder to work within, opened for reading. The folder itself is followed when it is a link
// (a user folder may be one); what lies below it is reached through the descriptor only.
int openFolder(const QString& path);
// The folder `name` inside dir, opened for reading; refused (ELOOP or ENOTDIR) when that name is
// a link.
int openBelow(int dir, const QByteArray& name);
// The folder at `relative` ("a/b/c", no "." or ".." parts) below dir, every part opened by name
// from the one before without following a link; the descriptor only locates (O_PATH), which is
// all the *at calls need, so a folder without read permission on the way is no obstacle. An
// empty relative reaches dir itself. -1 with errno: ELOOP or ENOTDIR when a part is a link or
// not a folder, EINVAL for a "." or ".." part.
int reachBelow(int dir, const QByteArray& relative);

} // namespace FolderAt
