#include "home/HeadroomText.h"

#include "platform/ByteFormat.h"
#include "vitals/SystemSnapshot.h"

#include <algorithm>
#include <span>

namespace {

using P = ThermalSnapshot::Pressure;

// A row of a check: a figure past `edge` takes `pointsOff` off the score of 100 and adds
// `line`. Which side of the edge counts is the check's own; the first row that applies counts.
struct Cut {
    double edge;
    int pointsOff;
    const char* line;
};
enum class Past { Below, Above };

// The free share of the home volume below the edge; above every row the score starts at 100.
constexpr Cut kStorage[] = {
    {0.08, 30, "Storage critically low"},
    {0.15, 18, "Storage getting tight"},
    {0.25, 8, "Storage worth watching"},
};
constexpr const char* kStorageRoomy = "Storage has room";

// A share (memory in use) or a percentage (CPU) above the edge.
constexpr Cut kMemory[] = {
    {0.9, 25, "Memory under heavy pressure"},
    {0.8, 15, "Memory elevated"},
    {0.7, 6, "Memory filling up"},
};
constexpr const char* kMemoryCalm = "Memory comfortable";
// A CPU below every row adds no line.
constexpr Cut kCpu[] = {
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

const Cut* firstPast(std::span<const Cut> rows, double value, Past side) {
    const auto row = std::find_if(rows.begin(), rows.end(), [value, side](const Cut& c) {
        return side == Past::Below ? value < c.edge : value > c.edge;
    });
    return row == rows.end() ? nullptr : &*row;
}

// The row's line, its points taken off the score.
QString take(int& score, const Cut& cut) {
    score -= cut.pointsOff;
    return QString::fromUtf8(cut.line);
}

} // namespace

namespace HeadroomText {

Headroom headroom(const SystemSnapshot& s, qint64 junkBytes) {
    Headroom h;

    int score = 100;
    const Cut* storage =
        s.diskTotalBytes >= 1 ? firstPast(kStorage, s.diskFreeFraction(), Past::Below) : nullptr;
    h.findings << (storage ? take(score, *storage) : QString::fromUtf8(kStorageRoomy));

    const Cut* memory =
        s.memTotalBytes != 0
            ? firstPast(kMemory, double(s.memUsedBytes) / double(s.memTotalBytes), Past::Above)
            : nullptr;
    h.findings << (memory ? take(score, *memory) : QString::fromUtf8(kMemoryCalm));

    if (const Cut* cpu = firstPast(kCpu, s.cpuPercent, Past::Above))
        h.findings << take(score, *cpu);

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
