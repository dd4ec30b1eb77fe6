#include "platform/TamsoSafety.h"

#include "platform/RawValueTable.h"

namespace {

constexpr std::array<const char*, 4> kRaw = {"safe", "checkFirst", "risky", "keep"};
constexpr std::array<const char*, 4> kTitles = {"Safe", "Caution", "Risky", "Keep these"};

} // namespace

PENDREL_RAW_VALUES(TamsoSafety, kRaw)

QString title(TamsoSafety safety) {
    return RawValueDetail::rawValueOf(kTitles, safety);
}
