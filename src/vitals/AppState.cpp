#include "vitals/AppState.h"

#include "vitals/SystemStatsSampler.h"

#include <algorithm>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

AppState::AppState(QObject* parent) : AppState(Options{}, parent) {}

AppState::AppState(Options options, QObject* parent)
    : QObject(parent), m_makeSampler(std::move(options.makeSampler)),
      m_shutdownWaitMs(std::max(0, options.shutdownWaitMs)), m_shared(std::make_shared<Shared>()) {
    if (!m_makeSampler)
        m_makeSampler = [] { return std::make_unique<SystemStatsSampler>(); };
    m_sampler = m_makeSampler();
    m_shared->receiver = this;
    // One worker: jobs never overlap, whatever the main thread asks for.
    m_worker = std::thread(&AppState::work, m_shared);
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
    std::unique_lock lock(m_shared->lock);
    // From here on nothing new starts, and a finishing job hands its result to no one. (What
    // was waiting never reached the worker: requests wait as flags on this side.)
    m_shared->receiver = nullptr;
    m_shared->handedOver.reset();
    m_shared->stopping = true;
    m_shared->wake.notify_all();
    const bool left = m_shared->gone.wait_for(lock, std::chrono::milliseconds(m_shutdownWaitMs),
                                              [this] { return m_shared->exited; });
    lock.unlock();
    if (left) {
        m_worker.join();
        return;
    }
    // The job under way holds its own references to what it uses; it ends on its own.
    m_worker.detach();
    qWarning("Pendrel: a vitals sample did not finish within %d ms; not waiting for it",
             m_shutdownWaitMs);
}

void AppState::work(const std::shared_ptr<Shared>& shared) {
    // Sampling is background work: below the interface in the scheduler's eyes.
    ::setpriority(PRIO_PROCESS, id_t(::gettid()), 10);
    std::unique_lock lock(shared->lock);
    for (;;) {
        shared->wake.wait(lock, [&] { return shared->stopping || !shared->jobs.empty(); });
        // A job handed over before the service went is the one under way: it still runs.
        if (shared->jobs.empty())
            break;
        std::function<void()> job = std::move(shared->jobs.front());
        shared->jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr; // its references (the sampler) go before the lock is taken again
        lock.lock();
    }
    shared->exited = true;
    shared->gone.notify_all();
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
    std::lock_guard lock(m_shared->lock);
    m_shared->jobs.push_back([shared = m_shared, sampler = m_sampler] {
        handOver(shared, {false, sampler->takeSample(), 0});
    });
    m_shared->wake.notify_one();
}

void AppState::startFreeMemoryJob() {
    m_jobRunning = true;
    const qint64 before = m_freeBefore;
    std::lock_guard lock(m_shared->lock);
    m_shared->jobs.push_back([shared = m_shared, make = m_makeSampler, before] {
        std::unique_ptr<SnapshotSampler> sampler = make();
        sampler->relieveMemoryPressure();
        SystemSnapshot snapshot = sampler->takeSample();
        sampler.reset();
        handOver(shared, {true, std::move(snapshot), before});
    });
    m_shared->wake.notify_one();
}

void AppState::handOver(const std::shared_ptr<Shared>& shared, FinishedJob job) {
    std::lock_guard lock(shared->lock);
    if (!shared->receiver)
        return;
    shared->handedOver = std::move(job);
    emit shared->receiver->jobHandedOver(QPrivateSignal());
}

void AppState::collectFinishedJob() {
    std::optional<FinishedJob> job;
    {
        std::lock_guard lock(m_shared->lock);
        job.swap(m_shared->handedOver);
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
