#include "platform/DiskUsage.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>

DuDiskUsage::DuDiskUsage(QString program, int timeoutMs) : m_timeoutMs(timeoutMs) {
    if (program.isEmpty()) {
        program = QStandardPaths::findExecutable(QStringLiteral("du"));
        if (program.isEmpty())
            program = QStringLiteral("/usr/bin/du");
    }
    m_program = program;
}

qint64 DuDiskUsage::parseOutput(const QByteArray& output) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(output);
    if (utf8.hasError())
        return 0;
    const QStringList pieces =
        text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (pieces.isEmpty())
        return 0;
    bool ok = false;
    const qint64 kilobytes = pieces.first().toLongLong(&ok, 10);
    if (!ok || kilobytes < 0)
        return 0;
    return kilobytes * 1024;
}

qint64 DuDiskUsage::sizeOf(const QString& path, const CancelToken& cancel) const {
    QProcess du;
    du.setProgram(m_program);
    du.setArguments({QStringLiteral("-sk"), QStringLiteral("--"), path});
    // Unreadable subfolders make du complain on stderr; it still prints its total.
    du.setStandardErrorFile(QProcess::nullDevice());
    du.start(QIODevice::ReadOnly);
    if (!du.waitForStarted(10000))
        return 0;
    QByteArray output;
    const QDeadlineTimer deadline(m_timeoutMs);
    while (!du.waitForFinished(100)) {
        output += du.readAllStandardOutput();
        if (du.state() == QProcess::NotRunning)
            break;
        if (cancel.isCancelled() || deadline.hasExpired()) {
            du.kill();
            du.waitForFinished(2000);
            return 0;
        }
    }
    output += du.readAllStandardOutput();
    // A nonzero exit with a total (some subfolder unreadable) still measures what du could see.
    if (du.exitStatus() != QProcess::NormalExit)
        return 0;
    return parseOutput(output);
}
