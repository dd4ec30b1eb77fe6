#pragma once

#include <QDateTime>

// Where services read the current moment, so that rules measured in seconds (duplicate guards,
// schedules) can be tested against a clock the test moves by hand.
class Clock {
public:
    virtual ~Clock() = default;
    // The current moment, in UTC.
    virtual QDateTime now() const = 0;
};

// The machine's wall clock.
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
};
