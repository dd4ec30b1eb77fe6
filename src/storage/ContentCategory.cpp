#include "storage/ContentCategory.h"

#include "platform/RawValueTable.h"

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
    "Pendrel could not tell what this is."};

} // namespace

PENDREL_RAW_VALUES(ContentCategory, kRaw)

using namespace RawValueDetail;

QString title(ContentCategory category) {
    return rawValueOf(kTitles, category);
}

QString description(ContentCategory category) {
    return rawValueOf(kDescriptions, category);
}
