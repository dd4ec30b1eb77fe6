#pragma once

#include <optional>
#include <QString>

// One fan's speed. Identified by `id`, the fan's index 0 to 3 (an index may be missing from the
// middle of a list when the machine has no fan there); equal when all six fields are equal.
struct FanReading {
    int id = 0;
    QString name;              // the fan's own label, or "Fan <id + 1>"
    int rpm = 0;               // never negative
    std::optional<int> minRPM; // absent when the machine does not report it
    std::optional<int> maxRPM;
    std::optional<int> targetRPM;

    // "Idle / off", "Near maximum", "Active", "Gentle" or "Low": judged against the maximum when
    // one of at least 1 RPM is known, else by fixed speeds.
    QString stateLabel() const;
    // One sentence about the speed, naming the target when it differs by more than 200 RPM,
    // else the maximum when known.
    QString explanation() const;

    bool operator==(const FanReading&) const = default;
};
