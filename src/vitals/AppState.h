#pragma once

#include "vitals/SnapshotSampler.h"
#include "vitals/SystemSnapshot.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <QList>
#include <QObject>
#include <QTimer>
#include <thread>

// The live vitals: the latest sample of the machine and two short histories, sampled every
// 3 seconds off the main thread, plus the free-memory action. Created once by the app; screens
// read the published fields and are told of every change. All published fields change on the
// main thread only.
//
// Sampling runs on one worker thread of the service's own, one job at a time, so the
// long-lived sampler is never used by two threads and samples are applied in the order taken.
// It is the app's one thread outside ScanJob (shell/ScanJob.h, which this layer cannot reach
// anyway): it runs at a lowered priority that must not leak into the shared pool's threads, and
// a read that never returns must hold no pool thread the scans need.
// A request that arrives while a job runs waits; further requests of the same kind wait with
// it as one (timer ticks and Refresh coalesce into one pending sample; a second free-memory
// request is ignored), so a slow machine never builds a backlog. A waiting free-memory run goes
// before a waiting sample.
//
// Destroying the service drops whatever was waiting and waits for the job under way (at most
// one sample or one free-memory run), but never longer than Options::shutdownWaitMs: a job
// stuck in a read that does not return (a hung file system, a driver that never answers) is
// left to finish on its own thread, keeping its sampler alive by itself and handing its result
// to no one, so quitting the app never hangs on it.
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
        int shutdownWaitMs = 2000; // the longest the destructor waits for the job under way
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
    // with a fresh sampler (its CPU figures measured over that sampler's first window), publishes
    // that sample and the gain in free memory. Adds nothing to the histories and does not count as
    // the first sample.
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

    // What the service shares with its worker thread. Jobs wait in `jobs` (one at a time, see
    // runNextJob()); the worker leaves each result in `handedOver` and asks the main thread to
    // collect it, holding the lock across the request, so the hand-over is ordered for every
    // observer (race detectors included) and the receiver cannot go away in the middle of it.
    // A destroyed service sets receiver to null and `stopping` first. The worker owns a
    // reference, so all of this outlives a service that stopped waiting for it.
    struct Shared {
        std::mutex lock;
        std::condition_variable wake; // a job arrived, or the service is going
        std::condition_variable gone; // the worker left its loop
        std::deque<std::function<void()>> jobs;
        bool stopping = false;
        bool exited = false;
        AppState* receiver = nullptr;
        std::optional<FinishedJob> handedOver;
    };

    static void work(const std::shared_ptr<Shared>& shared);
    void runNextJob();
    void startPeriodicJob();
    void startFreeMemoryJob();
    static void handOver(const std::shared_ptr<Shared>& shared, FinishedJob job);
    void collectFinishedJob();
    void applySample(const SystemSnapshot& snapshot);
    void recordHistory(const SystemSnapshot& snapshot);
    void publishFreedMemory(const SystemSnapshot& snapshot, qint64 freeBefore);

    SamplerFactory m_makeSampler;
    // Shared with the job that uses it, so a job left running at destruction keeps it alive.
    std::shared_ptr<SnapshotSampler> m_sampler;
    int m_shutdownWaitMs;
    QTimer m_timer;
    bool m_started = false;
    std::shared_ptr<Shared> m_shared;
    // Joined at destruction when it leaves in time, else detached with its own references.
    std::thread m_worker;

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
