#pragma once

#include "vitals/AppState.h"
#include "vitals/SnapshotSampler.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <QSemaphore>

// What every FakeSnapshotSampler made by one factory shares: how samples are made, and what the
// samplers did. Samplers run on AppState's worker thread, so everything here is thread-safe;
// set() and setMake() may be called while samples are being taken.
//
// With `holdSamples` (or `holdRelieve`) set, each sample (or free-memory run) waits for a release
// of `gate` before it returns, so a test or a screenshot can catch the app mid-way.
struct FakeSamplerState {
    // (sampler number, 0 for the first made; sample number from 1) → snapshot
    using Make = std::function<SystemSnapshot(int sampler, int sample)>;

    std::atomic<int> samplersMade{0};
    std::atomic<int> samplersAlive{0}; // made and not yet destroyed
    std::atomic<int> samples{0};
    std::atomic<int> relieves{0};
    std::atomic<int> busy{0};
    std::atomic<int> mostBusy{0};
    std::atomic<bool> holdSamples{false};
    std::atomic<bool> holdRelieve{false};
    QSemaphore gate;

    // Every sample from now on is this snapshot.
    void set(const SystemSnapshot& snapshot) {
        setMake([snapshot](int, int) { return snapshot; });
    }
    void setMake(Make make) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_make = std::move(make);
    }
    SystemSnapshot make(int sampler, int sample) {
        Make make;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            make = m_make;
        }
        return make ? make(sampler, sample) : SystemSnapshot();
    }

private:
    std::mutex m_lock;
    Make m_make;
};

// A SnapshotSampler that reads nothing of the machine: samples come from the shared state, and
// a free-memory run only counts itself (a Make may look at `relieves` to show memory freed).
class FakeSnapshotSampler final : public SnapshotSampler {
public:
    FakeSnapshotSampler(std::shared_ptr<FakeSamplerState> state, int number)
        : m_state(std::move(state)), m_number(number) {
        ++m_state->samplersAlive;
    }
    ~FakeSnapshotSampler() override { --m_state->samplersAlive; }

    SystemSnapshot takeSample() override {
        enter();
        if (m_state->holdSamples)
            m_state->gate.acquire();
        const int n = ++m_state->samples;
        SystemSnapshot s = m_state->make(m_number, n);
        --m_state->busy;
        return s;
    }
    void relieveMemoryPressure() override {
        enter();
        if (m_state->holdRelieve)
            m_state->gate.acquire();
        ++m_state->relieves;
        --m_state->busy;
    }

    // The factory AppState::Options::makeSampler expects, numbering the samplers it makes.
    static std::function<std::unique_ptr<SnapshotSampler>()>
    factory(const std::shared_ptr<FakeSamplerState>& state) {
        return [state] {
            const int number = state->samplersMade++;
            return std::make_unique<FakeSnapshotSampler>(state, number);
        };
    }
    // An AppState on these samplers that takes a sample only when asked (its timer waits an
    // hour), and with startSampling false not even the first one.
    static AppState::Options appStateOptions(const std::shared_ptr<FakeSamplerState>& state,
                                             bool startSampling = false) {
        return AppState::Options{
            .makeSampler = factory(state), .intervalMs = 3'600'000, .startSampling = startSampling};
    }

private:
    void enter() {
        const int now = ++m_state->busy;
        int seen = m_state->mostBusy;
        while (now > seen && !m_state->mostBusy.compare_exchange_weak(seen, now)) {
        }
    }

    std::shared_ptr<FakeSamplerState> m_state;
    int m_number;
};
