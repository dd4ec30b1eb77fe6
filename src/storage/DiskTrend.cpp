#include "storage/DiskTrend.h"

#include "platform/Clock.h"
#include "platform/JsonFields.h"
#include "vitals/AppState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QLatin1String kDate("date");
const QLatin1String kUsedBytes("usedBytes");

// The largest byte count a JSON number holds exactly.
constexpr double kMaxBytes = 9007199254740992.0; // 2^53

} // namespace

QJsonObject DiskTrend::Point::toJson() const {
    QJsonObject o;
    o.insert(kDate, secondsSinceReferenceDate(date));
    o.insert(kUsedBytes, double(usedBytes));
    return o;
}

std::optional<DiskTrend::Point> DiskTrend::Point::fromJson(const QJsonObject& object) {
    const std::optional<double> date = JsonFields::date(object, kDate);
    const QJsonValue used = object.value(kUsedBytes);
    if (!date || !used.isDouble())
        return std::nullopt;
    const double bytes = used.toDouble();
    if (!std::isfinite(bytes) || bytes < 0 || bytes > kMaxBytes || std::trunc(bytes) != bytes)
        return std::nullopt;
    return Point{dateFromReferenceSeconds(*date), qint64(bytes)};
}

DiskTrend::DiskTrend(AppState& appState, CacheFolder folder, std::shared_ptr<const Clock> clock,
                     QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_clock(std::move(clock)) {
    const auto load = m_folder.loadJSON<QList<Point>>(fileName(), &DiskTrend::decode, maxFileBytes);
    if (load.value)
        m_points = *load.value;
    connect(&appState, &AppState::snapshotChanged, this, &DiskTrend::record);
}

QString DiskTrend::fileName() {
    return QStringLiteral("disk-trend.json");
}

std::optional<QList<DiskTrend::Point>> DiskTrend::decode(const QByteArray& bytes) {
    std::optional<QList<Point>> points = CacheFolder::decodeArray<Point>(bytes);
    if (!points)
        return points;
    std::stable_sort(points->begin(), points->end(),
                     [](const Point& a, const Point& b) { return a.date < b.date; });
    if (points->size() > maxPoints)
        points->remove(0, points->size() - maxPoints);
    return points;
}

qint64 DiskTrend::usedBytes(const SystemSnapshot& snapshot) {
    if (snapshot.diskUsedBytes && *snapshot.diskUsedBytes >= 0)
        return *snapshot.diskUsedBytes;
    return std::max<qint64>(snapshot.diskTotalBytes - std::max<qint64>(snapshot.diskFreeBytes, 0),
                            0);
}

void DiskTrend::record(const SystemSnapshot& snapshot) {
    if (snapshot.diskTotalBytes < 1)
        return;
    // Whole seconds, so a point reads back from the file exactly as it was recorded.
    const QDateTime now = QDateTime::fromSecsSinceEpoch(m_clock->now().toSecsSinceEpoch(), Qt::UTC);
    const qsizetype before = m_points.size();
    while (!m_points.isEmpty() && m_points.last().date > now)
        m_points.removeLast();
    if (m_points.size() == before && !m_points.isEmpty() &&
        m_points.last().date.secsTo(now) < intervalSeconds)
        return;
    const QDateTime oldest = now.addDays(-keepDays);
    m_points.erase(std::remove_if(m_points.begin(), m_points.end(),
                                  [&](const Point& p) { return p.date < oldest; }),
                   m_points.end());
    m_points.append(Point{now, usedBytes(snapshot)});
    if (m_points.size() > maxPoints)
        m_points.remove(0, m_points.size() - maxPoints);
    (void)m_folder.writeJSON(m_points, fileName()); // a failure is logged; the points stay
    emit pointsChanged(m_points);
}

std::optional<qint64> DiskTrend::growthPerDay(const QList<Point>& trend, qint64 usedNow,
                                              const QDateTime& now) {
    const QDateTime windowStart = now.addDays(-keepDays);
    const auto base = std::find_if(trend.begin(), trend.end(), [&](const Point& p) {
        return p.date >= windowStart && p.date <= now;
    });
    if (base == trend.end())
        return std::nullopt;
    const qint64 span = base->date.secsTo(now);
    if (span < 86400)
        return std::nullopt;
    // In integers: 3 GB over two days is 1.5 GB a day, not a byte less.
    const __int128 perDay = (__int128(usedNow) - base->usedBytes) * 86400 / span;
    if (perDay <= 0)
        return 0; // flat or shrinking
    return qint64(std::min<__int128>(perDay, std::numeric_limits<qint64>::max()));
}

std::optional<qint64> DiskTrend::growthPerDay(const SystemSnapshot& snapshot) const {
    return growthPerDay(m_points, usedBytes(snapshot), m_clock->now());
}
