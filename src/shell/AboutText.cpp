#include "shell/AboutText.h"

#include "platform/TextConstant.h"

namespace AboutText {

PENDREL_TEXT(windowTitle, "About")
PENDREL_TEXT(appName, "Pendrel")
PENDREL_TEXT(tagline, "The operating intelligence layer for your Mac. Pendrel understands, "
                      "explains, predicts and improves — so you never need technical knowledge.")
PENDREL_TEXT(appearanceTitle, "Appearance")
PENDREL_TEXT(privacyTitle, "Privacy and AI")

QString versionLine(const QString& version, const QString& build) {
    return QStringLiteral("Version %1 (%2)").arg(version, build);
}

} // namespace AboutText
