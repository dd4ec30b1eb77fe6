#pragma once

#include <memory>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

// How late the ticks of a repeating timer come. A tick is due one interval after the tick before
// it; one that comes later was held up by whatever ran on its thread in between, so the lateness
// of a main-thread timer is how long the event loop could not answer. The UI benchmark's stall
// meter and the app's stall log both read the main thread through it.
class TickLateness {
public:
    explicit TickLateness(double intervalMs) : m_intervalMs(intervalMs) {}

    // Counts afresh from a tick at `atMs`: nothing late yet.
    void restart(double atMs) {
        m_last = atMs;
        m_longest = 0;
    }
    // Takes up counting from `atMs` after a pause, keeping the longest so far: the paused time is
    // no lateness.
    void resumeAt(double atMs) { m_last = atMs; }
    // The tick that came at `atMs` (same clock as restart's): how late it came, negative when it
    // came early, and the longest lateness since restart() grows to it.
    double tick(double atMs);
    // The most any tick came late since restart(); 0 when none came late.
    double longest() const { return m_longest; }

private:
    double m_intervalMs;
    double m_last = 0;
    double m_longest = 0;
};

// The running app's heartbeat: a precise 5 ms timer on the main thread, and every tick that comes
// more than 50 ms late written to a log file as one line, flushed at once, so a stall is on disk
// even if the app is killed right after it:
//
//   2026-12-11T13:50:01.123 late_ms=118.6 cpu_ms=117.9
//
// (the local time the tick came, how late it came, and the CPU time the main thread used between
// the tick before it and this one: near the lateness when the thread itself was busy, near 0
// when it waited on something else). The first line says the log started; the last, written when
// the log ends (at quit), gives the longest lateness of the whole run and that gap's CPU time:
//
//   2026-12-11T13:49:58.001 start tick_ms=5 logged_over_ms=50
//   2026-12-11T13:55:12.456 quit longest_ms=118.6 cpu_ms=117.9 gaps=1
//
// Writes only the named file, never beside it. Lives on the main thread.
class StallLog : public QObject {
public:
    static constexpr int kTickMs = 5;
    static constexpr double kLoggedOverMs = 50;

    // Starts the heartbeat writing to `path` (emptied first). None for an empty path: no timer,
    // no file. None too when the file cannot be opened, with the reason in `error`.
    static std::unique_ptr<StallLog> start(const QString& path, QString* error = nullptr);
    // Writes the closing line (see finish()).
    ~StallLog() override;

    // Stops the timer and writes the closing line; later calls do nothing.
    void finish();
    // The most a tick has come late so far.
    double longestMs() const { return m_lateness.longest(); }

private:
    explicit StallLog(std::unique_ptr<QFile> file);
    void tick();
    void writeLine(const QByteArray& text);
    double nowMs() const { return double(m_clock.nsecsElapsed()) / 1e6; }

    std::unique_ptr<QFile> m_file;
    QTimer m_timer;
    QElapsedTimer m_clock;
    TickLateness m_lateness{kTickMs};
    double m_lastCpuMs = 0;
    double m_longestCpuMs = 0;
    int m_gaps = 0;
    bool m_finished = false;
};
