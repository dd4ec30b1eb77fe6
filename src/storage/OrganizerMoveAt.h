#pragma once

#include <QByteArray>
#include <QString>

// The organizer's moves at the level of open folders: a file is renamed from one open folder
// into another without ever replacing what is at its new name, or copied across file systems
// under a temporary name and renamed into place once complete, checked and synced. Paths are
// reached through descriptors so that a link planted after the checks carries nothing elsewhere.
namespace OrganizerMoveAt {

// The system's text for an errno value.
QString systemReason(int error);
// A path as the system's bytes (NativePath).
QByteArray native(const QString& path);

// mkdir -p; 0 or the error of the step that failed. A link to a folder on the way counts as the
// folder: the bounds were checked before anything is created.
int makeFolders(const QString& path);

// A descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd;
};

// A folder to move within. The folder itself is followed when it is a link (a user folder may
// be one); what lies below it is reached through this descriptor only.
int openFolder(const QString& path);
// The folder `name` inside dir, refused (ELOOP or ENOTDIR) when that name is a link.
int openBelow(int dir, const QByteArray& name);

// The temporary name a copy has beside its destination while it is made.
QByteArray partialName(const QByteArray& name);
// OrganizerFiles::copyThenRemove within open folders.
QString copyThenRemoveAt(int fromDir, const QByteArray& from, int toDir, const QByteArray& to);
// Renames within open folders without ever replacing; across file systems the file is copied.
// Empty on success, else why not.
QString moveNoReplaceAt(int fromDir, const QByteArray& from, int toDir, const QByteArray& to);

} // namespace OrganizerMoveAt
