#pragma once

#include <QString>

struct SystemSnapshot;

// The live answers of the catalog records that have one, each built from one sample. Byte
// counts are in file style (formatBytes); percentages are whole numbers.
namespace FeatureReplies {

// Explain My Mac, the answer to "why is my Mac slow?": the snapshot's headline, then the figures
// that slow a machine down — the CPU load (with the app behind it above 50 % or when warm),
// memory in use (with its biggest user above 70 %) and a disk less than a tenth free — and, when
// none of them is strained, that nothing is slowing it down.
QString explain(const SystemSnapshot& snapshot);

// Home: the snapshot's headline, memory in use against the total, the biggest memory user
// (with a hint to quit it above 70 % used) and the CPU load.
QString dashboard(const SystemSnapshot& snapshot);

// Storage: free and total disk space, and that cleaning explains first and goes to the Trash.
QString disk(const SystemSnapshot& snapshot);

// Developer: a fixed explanation of what is measured and how keep-awake ends; the sample is
// not read.
QString devClean(const SystemSnapshot& snapshot);

// Performance: CPU load and thermal pressure, the CPU temperature when known, the fastest fan
// (or that there are none), then either the app that is the main load (when the machine is
// warm or above 50 % CPU) or a sentence on the thermal pressure, never both.
QString performance(const SystemSnapshot& snapshot);

} // namespace FeatureReplies
