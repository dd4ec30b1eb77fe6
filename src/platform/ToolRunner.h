#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What one run of an outside program gave.
struct ToolResult {
    // False when the program could not be started at all (missing, not executable); then
    // startError holds the system's description and nothing else is meaningful.
    bool started = false;
    QString startError;
    // True when the program was stopped for overrunning its time; it counts as failed.
    bool timedOut = false;
    // True when the program ended normally; exitCode is meaningful only then.
    bool exitedNormally = false;
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;

    bool succeeded() const { return started && !timedOut && exitedNormally && exitCode == 0; }
};

// Runs outside programs: a program path and an argument list (never a shell line), both output
// channels read in full, and a time limit after which the program is killed.
//
// Safe to call from any thread, from several threads at once; each call blocks its caller until
// the program has ended or been killed.
class ToolRunner {
public:
    static constexpr int DefaultTimeoutMs = 15'000;

    virtual ~ToolRunner() = default;
    virtual ToolResult run(const QString& program, const QStringList& arguments,
                           int timeoutMs = DefaultTimeoutMs) = 0;
};

// The real thing, through QProcess. The child gets the caller's environment and no standard
// input.
class ProcessToolRunner final : public ToolRunner {
public:
    ToolResult run(const QString& program, const QStringList& arguments,
                   int timeoutMs = DefaultTimeoutMs) override;
};
