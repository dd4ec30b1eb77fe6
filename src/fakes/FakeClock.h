#pragma once

#include "platform/Clock.h"

// A clock that stands still until the test sets or advances it. Starts at 1 June 2026 09:00 UTC
// unless given another moment.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 6, 1), QTime(9, 0), Qt::UTC))
        : m_now(std::move(start)) {}

    QDateTime now() const override { return m_now; }
    void set(const QDateTime& moment) { m_now = moment; }
    void advance(double seconds) { m_now = m_now.addMSecs(qint64(seconds * 1000.0)); }

private:
    QDateTime m_now;
};
