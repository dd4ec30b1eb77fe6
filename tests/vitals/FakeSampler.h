#pragma once

#include "vitals/SnapshotSampler.h"

#include <atomic>
#include <functional>
#include <memory>
#include <QSemaphore>

// A sampler whose samples are made by a function, shared by every sampler a factory makes.
// It records how many samples and free-memory runs happened, how many samplers were made,
// and the most samplers that were ever busy at once. With `holdSamples` set, each sample waits
// for a release of `gate` before it returns.
struct FakeSamplerState {
    std::atomic<int> samplersMade{0};
    std::atomic<int> samplersAlive{0};
    std::atomic<int> samples{0};
    std::atomic<int> relieves{0};
    std::atomic<int> busy{0};
    std::atomic<int> mostBusy{0};
    std::atomic<bool> holdSamples{false};
    std::atomic<bool> holdRelieve{false};
    QSemaphore gate;
    // (sampler number, 0 for the first made; sample number from 1) → snapshot
    std::function<SystemSnapshot(int, int)> make = [](int, int) { return SystemSnapshot(); };
};

class FakeSampler final : public SnapshotSampler {
public:
    FakeSampler(std::shared_ptr<FakeSamplerState> state, int number)
        : m_state(std::move(state)), m_number(number) {
        ++m_state->samplersAlive;
    }
    ~FakeSampler() override { --m_state->samplersAlive; }

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

    static std::function<std::unique_ptr<SnapshotSampler>()>
    factory(const std::shared_ptr<FakeSamplerState>& state) {
        return [state] {
            const int number = state->samplersMade++;
            return std::make_unique<FakeSampler>(state, number);
        };
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
