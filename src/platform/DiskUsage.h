#pragma once

#include "platform/CancelToken.h"

#include <QByteArray>
#include <QString>

// The system's disk-usage tool: the size of a whole folder in one call, for the measurements
// that do not need the files themselves.
class DiskUsage {
public:
    virtual ~DiskUsage() = default;

    // Bytes the tool reports for path: its kilobytes × 1,024. 0 when the tool cannot be started,
    // fails, times out, prints something that is not a number, or the token is cancelled (the
    // tool is then stopped). Thread-safe; blocks the calling thread while the tool runs.
    virtual qint64 sizeOf(const QString& path, const CancelToken& cancel) const = 0;
};

// `du -sk -- <path>` as a child process, with a timeout.
class DuDiskUsage : public DiskUsage {
public:
    // program: the tool to run ("du" is looked up in PATH, then /usr/bin/du is tried).
    explicit DuDiskUsage(QString program = QString(), int timeoutMs = 5 * 60 * 1000);

    qint64 sizeOf(const QString& path, const CancelToken& cancel) const override;

    // The tool's output ("12\t/path\n") as bytes: the first whitespace-separated piece read as
    // a decimal count of kilobytes, times 1,024. 0 for empty, undecodable or non-numeric output.
    static qint64 parseOutput(const QByteArray& output);

private:
    QString m_program;
    int m_timeoutMs;
};
