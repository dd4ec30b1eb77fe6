#pragma once

#include "vitals/SnapshotSampler.h"
#include "vitals/SystemSnapshot.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <QList>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

// The live vitals: the latest sample of the machine and two short histories, sampled every
// 3 seconds off the main thread, plus the free-memory action. Created once by the app; screens
// read the published fields and are told of every change. All published fields change on the
// main thread only.
//
// Sampling runs on one worker thread of the service's own, one job at a time, so the
// long-lived sampler is never used by two threads and samples are applied in the order taken.
// A request that arrives while a job runs waits; further requests of the same kind wait with
// it as one (timer ticks and Refresh coalesce into one pending sample; a second free-memory
// request is ignored), so a slow machine never builds a backlog. A waiting free-memory run goes
// before a waiting sample.
//
// Destroying the service waits for the job under way (at most one sample or one free-memory run)
// and drops whatever was waiting.
class AppState : public QObject {
    Q_OBJECT
    Q_PROPERTY(SystemSnapshot snapshot READ snapshot NOTIFY snapshotChanged)
    Q_PROPERTY(bool hasFirstSample READ hasFirstSample NOTIFY hasFirstSampleChanged)
    Q_PROPERTY(bool isFreeingMemory READ isFreeingMemory NOTIFY isFreeingMemoryChanged)
    Q_PROPERTY(
        std::optional<qint64> lastFreedBytes READ lastFreedBytes NOTIFY lastFreedBytesChanged)
    Q_PROPERTY(QList<double> memoryHistory READ memoryHistory NOTIFY memoryHistoryChanged)
    Q_PROPERTY(QList<double> diskUsedHistory READ diskUsedHistory NOTIFY diskUsedHistoryChanged)
public:
    // Makes a sampler. Called once at start for the long-lived sampler, and once per free-memory
    // run for that run's own sampler (on the worker thread).
    using SamplerFactory = std::function<std::unique_ptr<SnapshotSampler>()>;

    struct Options {
        SamplerFactory makeSampler; // empty: the live machine's SystemStatsSampler
        int intervalMs = 3000;
        bool startSampling = true; // false: no first sample and no timer until start()
    };

    static constexpr int historyLimit = 60;

    // The live service: samples this machine at once and then every 3 seconds.
    explicit AppState(QObject* parent = nullptr);
    explicit AppState(Options options, QObject* parent = nullptr);
    ~AppState() override;

    // Takes the first sample and starts the timer (done by the constructor unless
    // Options::startSampling is false). Calling it again does nothing.
    void start();

    // The latest published sample; the empty snapshot until the first one arrives.
    const SystemSnapshot& snapshot() const { return m_snapshot; }
    bool hasFirstSample() const { return m_hasFirstSample; }
    bool isFreeingMemory() const { return m_isFreeingMemory; }
    // Free memory gained by the last finished free-memory run, never negative; none before the
    // first run finishes and while a run is under way.
    std::optional<qint64> lastFreedBytes() const { return m_lastFreedBytes; }
    // Available memory, (cached + free) / total, one point per periodic sample, oldest first,
    // at most 60 points (0 when the total is 0).
    const QList<double>& memoryHistory() const { return m_memoryHistory; }
    // How full the home volume is for the user (1 − SystemSnapshot::diskFreeFraction),
    // alongside.
    const QList<double>& diskUsedHistory() const { return m_diskUsedHistory; }

    // Refresh: takes a sample now with the long-lived sampler and publishes it like a timer
    // tick does (histories included). Coalesces with a sample already waiting.
    void sampleAndPublish();

    // Frees memory unless a run is already under way: runs the free-memory routine and a sample
    // with a fresh sampler (so its CPU figures are 0), publishes that sample and the gain in
    // free memory. Adds nothing to the histories and does not count as the first sample.
    void freeMemory();

signals:
    void snapshotChanged(const SystemSnapshot& snapshot);
    void hasFirstSampleChanged(bool hasFirstSample);
    void isFreeingMemoryChanged(bool isFreeingMemory);
    void lastFreedBytesChanged(std::optional<qint64> lastFreedBytes);
    void memoryHistoryChanged(const QList<double>& history);
    void diskUsedHistoryChanged(const QList<double>& history);
    // Emitted by the worker; delivered to the main thread, where the result is collected.
    void jobHandedOver(QPrivateSignal);

private:
    struct FinishedJob {
        bool freeMemory = false;
        SystemSnapshot snapshot;
        qint64 freeBefore = 0;
    };

    void runNextJob();
    void startPeriodicJob();
    void startFreeMemoryJob();
    void handOver(FinishedJob job);
    void collectFinishedJob();
    void applySample(const SystemSnapshot& snapshot);
    void recordHistory(const SystemSnapshot& snapshot);
    void publishFreedMemory(const SystemSnapshot& snapshot, qint64 freeBefore);

    SamplerFactory m_makeSampler;
    std::unique_ptr<SnapshotSampler> m_sampler;
    QThreadPool m_worker;
    QTimer m_timer;
    bool m_started = false;

    // The worker leaves its result here and asks the main thread to collect it; the lock is
    // held across the request so the hand-over is ordered for every observer, race detectors
    // included.
    std::mutex m_handOverLock;
    std::optional<FinishedJob> m_handedOver;

    bool m_jobRunning = false;
    bool m_samplePending = false;
    bool m_freePending = false;
    qint64 m_freeBefore = 0;

    SystemSnapshot m_snapshot;
    bool m_hasFirstSample = false;
    bool m_isFreeingMemory = false;
    std::optional<qint64> m_lastFreedBytes;
    QList<double> m_memoryHistory;
    QList<double> m_diskUsedHistory;
};
