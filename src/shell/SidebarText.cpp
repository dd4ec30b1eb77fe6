#include "shell/SidebarText.h"

#include "platform/TextConstant.h"

namespace SidebarText {

PENDREL_TEXT(appName, "Pendrel")
PENDREL_TEXT(tagline, "Understand your Mac")
PENDREL_TEXT(sectionListName, "Sections")

QString versionLine(const QString& version, const QString& build) {
    return QStringLiteral("Pendrel v%1 (%2)").arg(version, build);
}

} // namespace SidebarText
