#include "platform/StallLog.h"
#include "platform/ThreadUse.h"

#include <algorithm>
#include <QDateTime>

namespace {

double threadCpuMs() {
    return double(ThreadUse::now().cpuNs) / 1e6;
}

QByteArray stamp() {
    return QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8();
}

QByteArray ms(double value) {
    return QByteArray::number(value, 'f', 1);
}

} // namespace

double TickLateness::tick(double atMs) {
    const double late = atMs - m_last - m_intervalMs;
    m_longest = std::max(m_longest, late);
    m_last = atMs;
    return late;
}

std::unique_ptr<StallLog> StallLog::start(const QString& path, QString* error) {
    if (path.isEmpty())
        return nullptr;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error)
            *error = file->errorString();
        return nullptr;
    }
    return std::unique_ptr<StallLog>(new StallLog(std::move(file)));
}

StallLog::StallLog(std::unique_ptr<QFile> file) : m_file(std::move(file)) {
    writeLine(stamp() + " start tick_ms=" + QByteArray::number(kTickMs) +
              " logged_over_ms=" + QByteArray::number(kLoggedOverMs, 'f', 0));
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &StallLog::tick);
    m_clock.start();
    m_lateness.restart(nowMs());
    m_lastCpuMs = threadCpuMs();
    m_timer.start();
}

StallLog::~StallLog() {
    finish();
}

void StallLog::tick() {
    const double cpu = threadCpuMs();
    const double gapCpu = cpu - m_lastCpuMs;
    m_lastCpuMs = cpu;
    const double before = m_lateness.longest();
    const double late = m_lateness.tick(nowMs());
    if (late > before)
        m_longestCpuMs = gapCpu;
    if (late <= kLoggedOverMs)
        return;
    ++m_gaps;
    writeLine(stamp() + " late_ms=" + ms(late) + " cpu_ms=" + ms(gapCpu));
}

void StallLog::finish() {
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    writeLine(stamp() + " quit longest_ms=" + ms(longestMs()) + " cpu_ms=" + ms(m_longestCpuMs) +
              " gaps=" + QByteArray::number(m_gaps));
    m_file->close();
}

void StallLog::writeLine(const QByteArray& text) {
    // A full disk or a vanished file costs the log, never the app.
    m_file->write(text + '\n');
    m_file->flush();
}
