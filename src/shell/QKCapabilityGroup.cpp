#include "shell/QKCapabilityGroup.h"

#include "platform/RawValueTable.h"

using namespace RawValueDetail;

namespace {

constexpr std::array<const char*, 9> kRawValues = {"tamsoCore",  "storage", "applications",
                                                   "developer",  "privacy", "performance",
                                                   "automation", "reports", "more"};
constexpr std::array<const char*, 9> kTitles = {"Pendrel",
                                                "Storage Intelligence",
                                                "Application Intelligence",
                                                "Developer Centre",
                                                "Privacy Centre",
                                                "Performance",
                                                "Automation",
                                                "Reports",
                                                "More"};
constexpr std::array<int, 9> kRanks = {0, 1, 2, 3, 4, 5, 6, 7, 99};

} // namespace

PENDREL_RAW_VALUES(QKCapabilityGroup, kRawValues)

QString title(QKCapabilityGroup group) {
    return rawValueOf(kTitles, group);
}

int rank(QKCapabilityGroup group) {
    const auto index = static_cast<std::size_t>(group);
    return index < kRanks.size() ? kRanks[index] : kRanks.back();
}
