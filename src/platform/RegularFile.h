#pragma once

#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

class QFile;

// A plain file opened for reading with system calls, for code that reads whatever path a user
// chose. Opening never blocks: a FIFO, socket, device or folder is refused (the open itself is
// non-blocking, so a FIFO without a writer cannot hang it), as is anything unreadable. Closed on
// destruction; a failure to close is of no interest to a reader.
//
// Reading is not opening: the age rules report the later of a file's access and modification
// times, so no read of ours may move the access time. Every open here asks the kernel not to
// (O_NOATIME), which it grants for the caller's own files; a file the caller may read but does
// not own is opened without it.
class RegularFile {
public:
    // What a path named at one moment: which file (device and inode), how long it was, and when
    // its content (modified) and its inode (changed) last changed, in nanoseconds since 1970.
    // Every write moves both times; anyone may set the modification time back, nobody the change
    // time, so a file whose stamp is the same at two moments was, as far as the system tells,
    // left alone in between. A default stamp names no file and equals no real one.
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };

    explicit RegularFile(const QString& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // True when the path named a regular file that could be opened.
    bool isOpen() const { return m_fd >= 0; }
    // The size when it was opened.
    qint64 size() const { return m_size; }

    // Fills `buffer` with up to `capacity` bytes, fewer only at the end of the file. Gives the
    // count read (0 at the end), or -1 when the read failed.
    qsizetype read(char* buffer, qsizetype capacity);

    // The open file's stamp now; nothing when not open.
    std::optional<Stamp> stamp() const;
    // When the open file was created, where the file system keeps that; otherwise nothing.
    std::optional<QDateTime> birthTime() const;

    // A name that opens this very file for as long as this object keeps it open
    // ("/proc/self/fd/N"), for a reader here that opens by name (PhotoImage): that then reads the
    // file opened and checked here, whatever bytes its own name holds and whatever happened to
    // that name since. Only for readers that open through this class again: a library opening
    // the name itself would move the access time. Empty when not open.
    QString descriptorPath() const;

    // Hands the open descriptor to `file`, which reads it from where this object stands and
    // closes it; this object is closed afterwards. For a reader that takes a QIODevice (an image
    // reader, a PDF parser). False, and `file` untouched, when not open.
    bool moveInto(QFile& file);
    // Gives up the open descriptor to a caller that then owns it (a library that takes one);
    // -1 when not open. This object is closed afterwards.
    int release();

    // open(2) or openat(2) for reading a user's file, with O_NOATIME added where the kernel
    // grants it: without it when the file is not the caller's (EPERM). `flags` must not ask for
    // writing. The descriptor, or -1 with errno set.
    static int openForReading(const char* nativePath, int flags);
    static int openForReadingAt(int folder, const char* name, int flags);

    // Whether the path names a regular file now (following links), without opening it.
    static bool isRegular(const QString& path);

    // The stamp of the regular file the path itself names now. A symlink is not followed: it,
    // like a missing path or anything but a regular file, gives nothing. `nativePath` is the
    // path's bytes as the system takes them.
    static std::optional<Stamp> stampOf(const QString& path);
    static std::optional<Stamp> stampAt(const QByteArray& nativePath);

private:
    int m_fd = -1;
    qint64 m_size = 0;
};
