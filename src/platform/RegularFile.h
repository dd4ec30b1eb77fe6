#pragma once

#include <QString>
#include <QtGlobal>

// A plain file opened for reading with system calls, for code that reads whatever path a user
// chose. Opening never blocks: a FIFO, socket, device or folder is refused (the open itself is
// non-blocking, so a FIFO without a writer cannot hang it), as is anything unreadable. Closed on
// destruction; a failure to close is of no interest to a reader.
class RegularFile {
public:
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

    // Whether the path names a regular file now (following links), without opening it.
    static bool isRegular(const QString& path);

private:
    int m_fd = -1;
    qint64 m_size = 0;
};
