#pragma once

#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

// What every benchmark does with the programs it compares: run them, time them (hyperfine when
// installed, else a wall clock), and measure their peak memory. Timings are medians of five runs
// after one warm-up, as the benchmarks' RESULT lines promise.
// Header-only: each benchmark is one program with no library of its own.
namespace BenchProcess {

inline std::optional<QByteArray> run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(30 * 60 * 1000) ||
        p.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return p.readAllStandardOutput();
}

inline QString commandLine(const QStringList& argv) {
    QStringList parts;
    for (const QString& a : argv) {
        QString q = a;
        q.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
        parts.append(QLatin1Char('\'') + q + QLatin1Char('\''));
    }
    return parts.join(QLatin1Char(' '));
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline double timeProcess(const QStringList& argv) {
    run(argv.first(), argv.mid(1));
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        run(argv.first(), argv.mid(1));
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return median(ms);
}

inline std::vector<double> hyperfine(const std::vector<QStringList>& commands,
                                     bool ignoreExitCodes = false) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("hyperfine"));
    if (tool.isEmpty())
        return {};
    QTemporaryDir dir;
    const QString json = dir.filePath(QStringLiteral("times.json"));
    QStringList args = {QStringLiteral("-N"),
                        QStringLiteral("--warmup"),
                        QStringLiteral("1"),
                        QStringLiteral("--runs"),
                        QStringLiteral("5"),
                        QStringLiteral("--style"),
                        QStringLiteral("none"),
                        QStringLiteral("--export-json"),
                        json};
    if (ignoreExitCodes)
        args.append(QStringLiteral("-i"));
    for (const QStringList& c : commands)
        args.append(commandLine(c));
    if (!run(tool, args))
        return {};
    QFile f(json);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    std::vector<double> out;
    for (const QJsonValue& r :
         QJsonDocument::fromJson(f.readAll()).object().value(QStringLiteral("results")).toArray())
        out.push_back(r.toObject().value(QStringLiteral("median")).toDouble() * 1000.0);
    return out.size() == commands.size() ? out : std::vector<double>{};
}

inline long peakMegabytes(const QStringList& argv) {
    std::vector<QByteArray> bytes;
    for (const QString& a : argv)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char*> cargv;
    for (QByteArray& b : bytes)
        cargv.push_back(b.data());
    cargv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return -1;
    return (usage.ru_maxrss + 1023) / 1024;
}

} // namespace BenchProcess
