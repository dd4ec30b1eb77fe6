#include "storage/ContentCategory.h"

#include "platform/RawValueTable.h"

namespace {

constexpr std::array<const char*, 7> kRaw = {
    "clientWork", "personal", "media", "downloadsLimbo", "code", "adminFinance", "unknown"};

} // namespace

PENDREL_RAW_VALUES(ContentCategory, kRaw)
