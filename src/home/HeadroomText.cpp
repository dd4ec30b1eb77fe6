#include "home/HeadroomText.h"

#include "platform/ByteFormat.h"
#include "vitals/SystemSnapshot.h"

#include <algorithm>

namespace {

using P = ThermalSnapshot::Pressure;

// Free share of the home volume below `below`: the starting score and the line. Above every
// row the score starts at 100.
struct StorageCut {
    double below;
    int score;
    const char* line;
};
constexpr StorageCut kStorage[] = {
    {0.08, 70, "Storage critically low"},
    {0.15, 82, "Storage getting tight"},
    {0.25, 92, "Storage worth watching"},
};
constexpr const char* kStorageRoomy = "Storage has room";

// A share (memory in use) or a percentage (CPU) above `above`: the points taken off and the
// line. The first row that applies counts.
struct LoadCut {
    double above;
    int pointsOff;
    const char* line;
};
constexpr LoadCut kMemory[] = {
    {0.9, 25, "Memory under heavy pressure"},
    {0.8, 15, "Memory elevated"},
    {0.7, 6, "Memory filling up"},
};
constexpr const char* kMemoryCalm = "Memory comfortable";
// A CPU below every row adds no line.
constexpr LoadCut kCpu[] = {
    {85.0, 15, "CPU very busy"},
    {60.0, 7, "CPU elevated"},
};

struct ThermalCut {
    int pointsOff;
    const char* line;
};
ThermalCut thermalCut(P pressure) {
    switch (pressure) {
    case P::Fair:
        return {6, "Mac warming up"};
    case P::Serious:
        return {14, "Mac running hot"};
    case P::Critical:
        return {20, "Thermal pressure critical"};
    case P::Unknown:
        // No thermal zone reports a pressure here; the temperature tile says the same.
        return {0, "Thermal status unavailable"};
    case P::Nominal:
        break;
    }
    return {0, "Thermals comfortable"};
}

// Junk above this many bytes (decimal, as the check counts) takes points off and adds its line.
constexpr qint64 kJunkLineAbove = 5'000'000'000;
constexpr int kJunkPointsOff = 5;

// The title of a score: the first row whose floor it reaches; below every row, the last title.
struct TitleCut {
    int atLeast;
    const char* title;
};
constexpr TitleCut kTitles[] = {
    {85, "Excellent headroom"},
    {70, "Good headroom"},
    {50, "Fair headroom"},
    {30, "Limited headroom"},
};
constexpr const char* kLowestTitle = "Needs attention";

constexpr int kLowestScore = 5;

const LoadCut* firstAbove(const LoadCut* begin, const LoadCut* end, double value) {
    const LoadCut* row =
        std::find_if(begin, end, [value](const LoadCut& c) { return value > c.above; });
    return row == end ? nullptr : row;
}

} // namespace

namespace HeadroomText {

Headroom headroom(const SystemSnapshot& s, qint64 junkBytes) {
    Headroom h;

    int score = 100;
    QString storage = QString::fromUtf8(kStorageRoomy);
    if (s.diskTotalBytes >= 1) {
        const double free = s.diskFreeFraction();
        for (const StorageCut& cut : kStorage) {
            if (free < cut.below) {
                score = cut.score;
                storage = QString::fromUtf8(cut.line);
                break;
            }
        }
    }
    h.findings << storage;

    QString memory = QString::fromUtf8(kMemoryCalm);
    if (s.memTotalBytes != 0) {
        const double used = double(s.memUsedBytes) / double(s.memTotalBytes);
        if (const LoadCut* cut = firstAbove(std::begin(kMemory), std::end(kMemory), used)) {
            score -= cut->pointsOff;
            memory = QString::fromUtf8(cut->line);
        }
    }
    h.findings << memory;

    if (const LoadCut* cut = firstAbove(std::begin(kCpu), std::end(kCpu), s.cpuPercent)) {
        score -= cut->pointsOff;
        h.findings << QString::fromUtf8(cut->line);
    }

    const ThermalCut thermal = thermalCut(s.thermal.pressure);
    score -= thermal.pointsOff;
    h.findings << QString::fromUtf8(thermal.line);

    if (junkBytes > kJunkLineAbove) {
        score -= kJunkPointsOff;
        h.findings << formatBytes(junkBytes) + QStringLiteral(" could be cleared");
    }

    h.score = std::clamp(score, kLowestScore, 100);
    h.title = QString::fromUtf8(kLowestTitle);
    for (const TitleCut& cut : kTitles) {
        if (h.score >= cut.atLeast) {
            h.title = QString::fromUtf8(cut.title);
            break;
        }
    }

    int memoryPercent = 0;
    if (s.memTotalBytes != 0)
        memoryPercent =
            int(std::clamp(double(s.memUsedBytes) / double(s.memTotalBytes) * 100.0, 0.0, 100.0));
    const QString dot = QStringLiteral(" · ");
    h.detail = QString::number(h.score) + QStringLiteral(" headroom points") + dot +
               formatBytes(s.diskFreeBytes) + QStringLiteral(" free") + dot +
               QStringLiteral("memory ") + QString::number(memoryPercent) + QStringLiteral("%");
    return h;
}

} // namespace HeadroomText
