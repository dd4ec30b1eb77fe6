#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes of the app's own small files (settings, desktop entries, JSON
// stores), and the "move aside" step that keeps a file we could not use before anything
// replaces it.
namespace AtomicFile {

// Writes the bytes to a temporary file beside path, makes sure every byte reached the disk (no
// write error can hide, the data and then the folder entry are synced) and only then renames it
// over path. True only when all of that worked; otherwise the file at path is exactly what it
// was before (or still absent), no temporary file is left behind, and error, when given, holds
// the system's one-line reason ("No space left on device"). The one exception: when only the
// final sync of the folder fails, the new contents are already in place but false is returned,
// since they might not survive a power cut.
//
// Missing parent folders are created for the owner alone (0700), and the file is the owner's
// alone (0600) from its first byte, whatever the umask: a replaced file keeps its owner's
// permission bits, never anyone else's. When path is a symbolic link, the file it names is
// replaced and the link stays.
[[nodiscard]] bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

struct ReadResult {
    enum class Status {
        Missing, // nothing at path (or a parent folder is missing)
        Read,    // bytes holds the whole file
        Failed,  // something is there but could not be read; error says why
    };
    Status status = Status::Missing;
    QByteArray bytes;
    QString error;
};

// Reads the whole file at path. Only a regular file is read: a FIFO, device or folder at its
// place is a failure and is never waited on, and so is a file larger than maxBytes.
ReadResult read(const QString& path, qsizetype maxBytes = 16 * 1024 * 1024);

// Renames path to "<path>.corrupt-<yyyyMMdd-hhmmss>" (a numeric suffix keeps earlier copies) and
// returns the new path, or an empty string when the rename failed or there was no file.
QString moveAsideCorrupt(const QString& path);

// Writes every byte to an open descriptor, through short writes and interruptions. False with
// errno set when the system refuses (a write of nothing sets EIO).
[[nodiscard]] bool writeFully(int fd, const QByteArray& bytes);

} // namespace AtomicFile
