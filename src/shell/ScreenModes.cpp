#include "shell/ScreenModes.h"

#include "platform/RawValueTable.h"

using namespace RawValueDetail;

namespace {

constexpr std::array<const char*, 7> kDiskModes = {"hub",         "system",  "mail",     "growth",
                                                   "screenshots", "diskMap", "organizer"};
constexpr std::array<const char*, 2> kFoldersModes = {"browse", "biggest"};
constexpr std::array<const char*, 2> kDuplicatesModes = {"exact", "similar"};
constexpr std::array<const char*, 5> kCompareModes = {"none", "text", "image", "binary", "tooBig"};
constexpr std::array<const char*, 4> kDevPanes = {"hub", "cleanup", "models", "awake"};
constexpr std::array<const char*, 2> kAppsPanes = {"hub", "uninstall"};

constexpr std::array<const char*, 7> kDiskModeTitles = {
    "Overview", "Safe cleanup", "Mail", "Where did it go?", "Screenshots", "Disk Map", "Organizer"};
constexpr std::array<const char*, 4> kDevPaneTitles = {"Overview", "Cleanup", "AI models",
                                                       "Keep awake"};
constexpr std::array<const char*, 2> kAppsPaneTitles = {"Overview", "Uninstall"};

} // namespace

QString rawValue(DiskMode mode) {
    return rawValueOf(kDiskModes, mode);
}
QString rawValue(FoldersMode mode) {
    return rawValueOf(kFoldersModes, mode);
}
QString rawValue(DuplicatesMode mode) {
    return rawValueOf(kDuplicatesModes, mode);
}
QString rawValue(CompareMode mode) {
    return rawValueOf(kCompareModes, mode);
}
QString rawValue(DevPane pane) {
    return rawValueOf(kDevPanes, pane);
}
QString rawValue(AppsPane pane) {
    return rawValueOf(kAppsPanes, pane);
}

template <> std::optional<DiskMode> fromRawValue<DiskMode>(const QString& raw) {
    return fromRaw<DiskMode>(kDiskModes, raw);
}
template <> std::optional<FoldersMode> fromRawValue<FoldersMode>(const QString& raw) {
    return fromRaw<FoldersMode>(kFoldersModes, raw);
}
template <> std::optional<DuplicatesMode> fromRawValue<DuplicatesMode>(const QString& raw) {
    return fromRaw<DuplicatesMode>(kDuplicatesModes, raw);
}
template <> std::optional<CompareMode> fromRawValue<CompareMode>(const QString& raw) {
    return fromRaw<CompareMode>(kCompareModes, raw);
}
template <> std::optional<DevPane> fromRawValue<DevPane>(const QString& raw) {
    return fromRaw<DevPane>(kDevPanes, raw);
}
template <> std::optional<AppsPane> fromRawValue<AppsPane>(const QString& raw) {
    return fromRaw<AppsPane>(kAppsPanes, raw);
}

template <> const QList<DiskMode>& allCases<DiskMode>() {
    static const QList<DiskMode> cases = casesOf<DiskMode>(kDiskModes);
    return cases;
}
template <> const QList<FoldersMode>& allCases<FoldersMode>() {
    static const QList<FoldersMode> cases = casesOf<FoldersMode>(kFoldersModes);
    return cases;
}
template <> const QList<DuplicatesMode>& allCases<DuplicatesMode>() {
    static const QList<DuplicatesMode> cases = casesOf<DuplicatesMode>(kDuplicatesModes);
    return cases;
}
template <> const QList<CompareMode>& allCases<CompareMode>() {
    static const QList<CompareMode> cases = casesOf<CompareMode>(kCompareModes);
    return cases;
}
template <> const QList<DevPane>& allCases<DevPane>() {
    static const QList<DevPane> cases = casesOf<DevPane>(kDevPanes);
    return cases;
}
template <> const QList<AppsPane>& allCases<AppsPane>() {
    static const QList<AppsPane> cases = casesOf<AppsPane>(kAppsPanes);
    return cases;
}

QString title(DiskMode mode) {
    return rawValueOf(kDiskModeTitles, mode);
}
QString title(DevPane pane) {
    return rawValueOf(kDevPaneTitles, pane);
}
QString title(AppsPane pane) {
    return rawValueOf(kAppsPaneTitles, pane);
}
