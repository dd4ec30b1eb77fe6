#include "cleaning/CleanupScanner.h"

// The category tables arrive with the cleaners; until then each table is empty.
QList<CleanCategory> CleanCategory::diskCategories() {
    return {};
}
QList<CleanCategory> CleanCategory::devCategories() {
    return {};
}
QList<CleanCategory> MailCleanupScanner::locations() {
    return {};
}
QList<CleanCategory> ScreenshotCleanupScanner::categories() {
    return {};
}
