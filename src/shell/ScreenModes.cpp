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

PENDREL_RAW_VALUES(DiskMode, kDiskModes)

PENDREL_RAW_VALUES(FoldersMode, kFoldersModes)

PENDREL_RAW_VALUES(DuplicatesMode, kDuplicatesModes)

PENDREL_RAW_VALUES(CompareMode, kCompareModes)

PENDREL_RAW_VALUES(DevPane, kDevPanes)

PENDREL_RAW_VALUES(AppsPane, kAppsPanes)

QString title(DiskMode mode) {
    return rawValueOf(kDiskModeTitles, mode);
}
QString title(DevPane pane) {
    return rawValueOf(kDevPaneTitles, pane);
}
QString title(AppsPane pane) {
    return rawValueOf(kAppsPaneTitles, pane);
}
