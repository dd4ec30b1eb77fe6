#pragma once

#include "platform/CacheFolder.h"

#include <memory>
#include <optional>
#include <QDateTime>
#include <QList>
#include <QObject>

class AppState;
class Clock;
struct SystemSnapshot;

// How much of the home volume was in use over the last days: one point an hour, kept in the
// data folder ("disk-trend.json"), so the full-disk prediction rests on a span that means
// something rather than on the last minutes of samples, and carries over from one run to the
// next.
//
// A point is recorded from AppState's samples: the first sample of a run whose clock is an hour
// or more past the newest point (or the first ever) adds one. Points older than keepDays are
// dropped when one is added; a point dated after the clock (the clock was set back) is dropped
// too, so the points stay in time order. At most maxPoints are kept, the newest, in memory and in
// the file alike, so loading and rewriting it stay small. Every change is written at once through
// CacheFolder; a write that fails keeps the points in memory. A file that cannot be read or
// decoded, or that is larger than maxFileBytes (more than this app ever writes), is moved aside
// unread by CacheFolder and the trend starts empty. Main thread only.
class DiskTrend : public QObject {
    Q_OBJECT
public:
    struct Point {
        QDateTime date;       // UTC
        qint64 usedBytes = 0; // df's Used of the home volume

        QJsonObject toJson() const;
        // None for a record that is not exactly this shape: a finite date, a whole number of
        // bytes from 0 to 2^53.
        static std::optional<Point> fromJson(const QJsonObject& object);
        bool operator==(const Point&) const = default;
    };

    static constexpr qint64 intervalSeconds = 3600;
    static constexpr int keepDays = 7;
    // A week of hourly points.
    static constexpr int maxPoints = keepDays * 24;
    // maxPoints take about 10 KB as written and under 20 KB indented; the bound leaves room for
    // any layout of them and keeps the read at launch short.
    static constexpr qint64 maxFileBytes = 64 * 1024;

    // Follows appState's samples from now on; reads the points the folder holds.
    DiskTrend(AppState& appState, CacheFolder folder, std::shared_ptr<const Clock> clock,
              QObject* parent = nullptr);

    // Oldest first.
    const QList<Point>& points() const { return m_points; }

    // Adds a point for this sample when one is due (see above). A sample of a volume with no
    // size adds nothing.
    void record(const SystemSnapshot& snapshot);

    // Bytes a day the disk fills: the rise from the oldest point of the last keepDays to the
    // bytes in use now, over the time between them, truncated. None while that span is under a
    // day (too short to mean anything; points dated after now are not used); 0 for a flat or
    // shrinking disk; at most the largest 64-bit count.
    static std::optional<qint64> growthPerDay(const QList<Point>& trend, qint64 usedNow,
                                              const QDateTime& now);
    // The same for this sample, now.
    std::optional<qint64> growthPerDay(const SystemSnapshot& snapshot) const;

    // The bytes in use in a sample: df's Used when the sample has it, else size less free.
    static qint64 usedBytes(const SystemSnapshot& snapshot);
    static QString fileName(); // "disk-trend.json"
    // The points of a file, oldest first, the newest maxPoints of them.
    static std::optional<QList<Point>> decode(const QByteArray& bytes);

signals:
    void pointsChanged(const QList<DiskTrend::Point>& points);

private:
    CacheFolder m_folder;
    std::shared_ptr<const Clock> m_clock;
    QList<Point> m_points;
};
