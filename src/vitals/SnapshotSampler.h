#pragma once

#include "vitals/SystemSnapshot.h"

// What the live-vitals service needs of a sampler: full samples and the free-memory routine.
// A sampler keeps state between samples (the previous CPU counters), so one instance is never
// used by two threads at once; the owner serialises its calls.
class SnapshotSampler {
public:
    virtual ~SnapshotSampler() = default;

    // One full sample, measured in the fixed order: memory, CPU, disk, battery, the largest
    // memory processes (6), the busiest CPU processes (5), the thermal state. Never fails: a
    // step that cannot read its source leaves the empty snapshot's values.
    virtual SystemSnapshot takeSample() = 0;

    // The free-memory routine (see MemoryRelief.h). Blocks for as long as it runs.
    virtual void relieveMemoryPressure() = 0;
};
