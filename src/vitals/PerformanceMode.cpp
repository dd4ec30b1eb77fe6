#include "vitals/PerformanceMode.h"

#include "platform/RawValueTable.h"

namespace {

constexpr std::array<const char*, 3> kRaw = {"overview", "sensors", "fans"};
constexpr std::array<const char*, 3> kTitles = {"Overview", "Sensors", "Fans"};

} // namespace

PENDREL_RAW_VALUES(PerformanceMode, kRaw)

QString title(PerformanceMode mode) {
    return RawValueDetail::rawValueOf(kTitles, mode);
}
