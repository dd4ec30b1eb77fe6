#include "vitals/PerformanceMode.h"

#include "platform/RawValueTable.h"

namespace {

constexpr std::array<const char*, 3> kRaw = {"overview", "sensors", "fans"};
constexpr std::array<const char*, 3> kTitles = {"Overview", "Sensors", "Fans"};

} // namespace

QString rawValue(PerformanceMode mode) {
    return RawValueDetail::rawValueOf(kRaw, mode);
}

QString title(PerformanceMode mode) {
    return RawValueDetail::rawValueOf(kTitles, mode);
}

template <> std::optional<PerformanceMode> fromRawValue<PerformanceMode>(const QString& raw) {
    return RawValueDetail::fromRaw<PerformanceMode>(kRaw, raw);
}

template <> const QList<PerformanceMode>& allCases<PerformanceMode>() {
    static const QList<PerformanceMode> cases = RawValueDetail::casesOf<PerformanceMode>(kRaw);
    return cases;
}
