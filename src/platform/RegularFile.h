#pragma once

#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// A plain file opened for reading with system calls, for code that reads whatever path a user
// chose. Opening never blocks: a FIFO, socket, device or folder is refused (the open itself is
// non-blocking, so a FIFO without a writer cannot hang it), as is anything unreadable. Closed on
// destruction; a failure to close is of no interest to a reader.
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
    // ("/proc/self/fd/N"), for a library that only opens by name, such as an image reader: that
    // then reads the file opened and checked here, whatever bytes its own name holds and
    // whatever happened to that name since. Empty when not open.
    QString descriptorPath() const;

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
