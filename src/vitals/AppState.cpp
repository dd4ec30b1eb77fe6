#include "vitals/AppState.h"

#include "vitals/SystemStatsSampler.h"

#include <algorithm>
#include <limits>
#include <QThread>

AppState::AppState(QObject* parent) : AppState(Options{}, parent) {}

AppState::AppState(Options options, QObject* parent)
    : QObject(parent), m_makeSampler(std::move(options.makeSampler)) {
    if (!m_makeSampler)
        m_makeSampler = [] { return std::make_unique<SystemStatsSampler>(); };
    m_sampler = m_makeSampler();
    // One worker: jobs never overlap, whatever the main thread asks for.
    m_worker.setMaxThreadCount(1);
    m_worker.setThreadPriority(QThread::LowPriority);
    m_timer.setInterval(std::max(1, options.intervalMs));
    connect(&m_timer, &QTimer::timeout, this, &AppState::sampleAndPublish);
    // Queued: the worker emits, the main thread collects.
    connect(this, &AppState::jobHandedOver, this, &AppState::collectFinishedJob,
            Qt::QueuedConnection);
    if (options.startSampling)
        start();
}

AppState::~AppState() {
    m_timer.stop();
    m_worker.clear();
    m_worker.waitForDone();
    std::lock_guard lock(m_handOverLock); // orders the worker's last writes before teardown
}

void AppState::start() {
    if (m_started)
        return;
    m_started = true;
    sampleAndPublish();
    m_timer.start();
}

void AppState::sampleAndPublish() {
    m_samplePending = true;
    runNextJob();
}

void AppState::freeMemory() {
    if (m_isFreeingMemory)
        return;
    m_isFreeingMemory = true;
    emit isFreeingMemoryChanged(true);
    if (m_lastFreedBytes) {
        m_lastFreedBytes.reset();
        emit lastFreedBytesChanged(m_lastFreedBytes);
    }
    m_freeBefore = qint64(
        std::min<quint64>(m_snapshot.memFreeBytes, quint64(std::numeric_limits<qint64>::max())));
    m_freePending = true;
    runNextJob();
}

void AppState::runNextJob() {
    if (m_jobRunning)
        return;
    if (m_freePending) {
        m_freePending = false;
        startFreeMemoryJob();
    } else if (m_samplePending) {
        m_samplePending = false;
        startPeriodicJob();
    }
}

void AppState::startPeriodicJob() {
    m_jobRunning = true;
    SnapshotSampler* sampler = m_sampler.get(); // outlives the job: the destructor waits
    m_worker.start([this, sampler] { handOver({false, sampler->takeSample(), 0}); });
}

void AppState::startFreeMemoryJob() {
    m_jobRunning = true;
    const qint64 before = m_freeBefore;
    SamplerFactory make = m_makeSampler;
    m_worker.start([this, make, before] {
        std::unique_ptr<SnapshotSampler> sampler = make();
        sampler->relieveMemoryPressure();
        SystemSnapshot snapshot = sampler->takeSample();
        sampler.reset();
        handOver({true, std::move(snapshot), before});
    });
}

void AppState::handOver(FinishedJob job) {
    std::lock_guard lock(m_handOverLock);
    m_handedOver = std::move(job);
    emit jobHandedOver(QPrivateSignal());
}

void AppState::collectFinishedJob() {
    std::optional<FinishedJob> job;
    {
        std::lock_guard lock(m_handOverLock);
        job.swap(m_handedOver);
    }
    if (!job)
        return;
    if (job->freeMemory)
        publishFreedMemory(job->snapshot, job->freeBefore);
    else
        applySample(job->snapshot);
    m_jobRunning = false;
    runNextJob();
}

void AppState::applySample(const SystemSnapshot& snapshot) {
    m_snapshot = snapshot;
    emit snapshotChanged(m_snapshot);
    if (!m_hasFirstSample) {
        m_hasFirstSample = true;
        emit hasFirstSampleChanged(true);
    }
    recordHistory(snapshot);
}

void AppState::recordHistory(const SystemSnapshot& s) {
    const double memoryPoint =
        s.memTotalBytes == 0
            ? 0.0
            : std::clamp(double(s.memCachedBytes + s.memFreeBytes) / double(s.memTotalBytes), 0.0,
                         1.0);
    const double diskPoint = 1.0 - s.diskFreeFraction();
    m_memoryHistory.append(memoryPoint);
    m_diskUsedHistory.append(diskPoint);
    while (m_memoryHistory.size() > historyLimit)
        m_memoryHistory.removeFirst();
    while (m_diskUsedHistory.size() > historyLimit)
        m_diskUsedHistory.removeFirst();
    emit memoryHistoryChanged(m_memoryHistory);
    emit diskUsedHistoryChanged(m_diskUsedHistory);
}

void AppState::publishFreedMemory(const SystemSnapshot& snapshot, qint64 freeBefore) {
    m_snapshot = snapshot;
    emit snapshotChanged(m_snapshot);
    const qint64 after = qint64(
        std::min<quint64>(snapshot.memFreeBytes, quint64(std::numeric_limits<qint64>::max())));
    m_lastFreedBytes = std::max<qint64>(after - freeBefore, 0);
    emit lastFreedBytesChanged(m_lastFreedBytes);
    m_isFreeingMemory = false;
    emit isFreeingMemoryChanged(false);
}
