#include "platform/ToolRunner.h"

#include <QDeadlineTimer>
#include <QProcess>

ToolResult ProcessToolRunner::run(const QString& program, const QStringList& arguments,
                                  int timeoutMs) {
    ToolResult result;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(timeoutMs)) {
        result.startError = process.errorString();
        return result;
    }
    result.started = true;
    // Reading as it comes keeps a chatty program from stalling on a full pipe.
    QDeadlineTimer deadline(timeoutMs);
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            process.kill();
            process.waitForFinished(1000);
            result.timedOut = true;
            break;
        }
        process.waitForFinished(
            int(qBound<qint64>(qint64(1), deadline.remainingTime(), qint64(100))));
        result.standardOutput += process.readAllStandardOutput();
        result.standardError += process.readAllStandardError();
    }
    result.standardOutput += process.readAllStandardOutput();
    result.standardError += process.readAllStandardError();
    if (!result.timedOut) {
        result.exitedNormally = process.exitStatus() == QProcess::NormalExit;
        result.exitCode = process.exitCode();
    }
    return result;
}
