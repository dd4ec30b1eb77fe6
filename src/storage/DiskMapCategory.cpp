#include "storage/DiskMapCategory.h"

#include "platform/RawValueTable.h"

using namespace RawValueDetail;

namespace {

constexpr std::array<const char*, 7> kRaw = {
    "clientWork", "personal", "media", "downloadsLimbo", "code", "adminFinance", "unknown"};
constexpr std::array<const char*, 7> kTitles = {
    "Client work", "Personal",          "Photos and video", "Downloads and limbo",
    "Code",        "Admin and finance", "Not sure yet"};
constexpr std::array<const char*, 7> kDescriptions = {
    "Work that looks like it belongs to a named client.",
    "Your own things, not work.",
    "Photos, video and audio.",
    "Things that landed here and never moved on.",
    "Projects, repositories and build folders.",
    "Invoices, receipts, tax, contracts.",
    "Pendrel could not tell. It will leave these alone unless you say otherwise."};

} // namespace

PENDREL_RAW_VALUES(DiskMapCategory, kRaw)

QString title(DiskMapCategory category) {
    return rawValueOf(kTitles, category);
}

QString description(DiskMapCategory category) {
    return rawValueOf(kDescriptions, category);
}

size_t qHash(DiskMapCategory category, size_t seed) noexcept {
    return qHash(rawValue(category), seed);
}
